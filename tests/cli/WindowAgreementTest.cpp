// The batch converter against the real window, driven offscreen: the same
// engine set-up bit for bit for every State Plane zone in both systems and
// for cones typed both ways or stored, and the same texts for the same points.
#include <cstring>
#include <sstream>

#include <sys/mman.h>
#include <unistd.h>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "tests/ui/WindowFixture.h"

namespace {

using namespace Tarvane_Module;
using Parameters = BatchProjection::ProjectionParameters;

class WindowAgreement : public WindowTest {
protected:
    // Whether the batch tool's set-up leaves the very record the window left.
    static bool SameEngine(const Parameters& p, const EngineState& window) {
        std::string error;
        EXPECT_TRUE(BatchProjection::Setup(p, error)) << error;
        return std::memcmp(&State, &window, sizeof window) == 0;
    }
    // A row of the batch tool, its cells from the third on.
    static std::vector<std::string> Row(const std::string& line, const BatchConvert::Format& f) {
        const int in = ::memfd_create("in", 0), out = ::memfd_create("out", 0), err = ::memfd_create("err", 0);
        EXPECT_TRUE(BatchConvert::WriteAll(in, line + "\n") && ::lseek(in, 0, SEEK_SET) == 0);
        EXPECT_EQ(BatchConvert::Run(in, out, err, f, false), 0);
        std::string row(static_cast<std::size_t>(::lseek(out, 0, SEEK_END)), '\0');
        EXPECT_EQ(::pread(out, row.data(), row.size(), 0), static_cast<ssize_t>(row.size()));
        for (const int fd : {in, out, err}) ::close(fd);
        if (!row.empty() && row.back() == '\n') row.pop_back();
        std::vector<std::string> cells;
        std::stringstream cellsOf(row.substr(row.find('\t', row.find('\t') + 1) + 1));
        for (std::string cell; std::getline(cellsOf, cell, '\t');) cells.push_back(cell);
        cells.resize(7);
        return cells;
    }
};

TEST_F(WindowAgreement, EveryZoneInBothSystemsGivesTheSameEngineAndTexts) {
    Tarvane& w = open();
    for (const bool is1927 : {false, true}) {
        click(w.optCoordSystem[is1927 ? 2 : 1]);
        const double perMetre = is1927 ? kFeetPerMetre : 1.0;
        for (int index = 0; index < w.cmbZone->count(); ++index) {
            choose(w.cmbZone, index);
            const auto zone = static_cast<std::int16_t>(w.cmbZone->currentData().toInt());
            SCOPED_TRACE(std::to_string(zone) + (is1927 ? " 1927" : " 1983"));
            w.cmdInit_Click();
            const EngineState windowRecord = State;
            Parameters p;
            std::string error;
            ASSERT_TRUE(BatchProjection::ZoneParameters(is1927, zone, p, error)) << error;
            EXPECT_EQ(p.unitsPerMetre, perMetre);
            ASSERT_TRUE(SameEngine(p, windowRecord));

            const std::string lat = std::to_string(int(State.ConeParallel * kRadToDeg)) + " 10 17.25 N";
            const std::string lon = std::to_string(int(-State.CentralMeridian * kRadToDeg)) + "\u00B012'3.5\"W";
            w.txtLat->setText(QString::fromStdString(lat));
            w.txtLon->setText(QString::fromStdString(lon));
            w.cmdConvert_Click(0);
            const auto forward = Row(lat + "\t" + lon, {.unitsPerMetre = perMetre, .precision = 2});
            EXPECT_EQ((std::vector{forward[0], forward[1], forward[2]}),
                      (std::vector{str(w.txtEasting->text()), str(w.txtNorthing->text()), str(w.lblScaleFactor->text())}));
            const std::string grid = forward[0] + " " + forward[1];
            w.txtLat->clear();
            w.cmdConvert_Click(1);
            const auto back = Row(grid, {.inverse = true, .dms = true, .unitsPerMetre = perMetre});
            EXPECT_EQ((std::vector{back[0], back[1], back[6]}),
                      (std::vector{str(w.txtLat->text()), str(w.txtLon->text()), str(w.lblTest->text())}));
        }
    }
}

// A cone the window starts with from its settings file, read by --settings
// and given as options in the same degrees, minutes and seconds.
TEST_F(WindowAgreement, TypedConesSetUpTheSameEngine) {
    const struct {
        TarvaneSettings typed;                 // as typed in the window and stored
        BatchProjection::ConeOptions options;  // as typed for the batch tool
    } cases[] = {
        {{0, -1, 1, 0, "", "", 2, "29 30 15.5 N", "28\u00B023'00.125\"N", "30:17N", "099 0 0.5 W", "4000000", "600000.25"},
         {"NAD83", "meter", "28 23 0.125 N", "30 17 N", "29 30 15.5 N", "", "", "99:0:0.5W", "4000000", "600000.25"}},
        {{0, -1, 2, 1, "", "", 2, "-23", "-33", "-45", "20", "10000000", "2000000"},
         {"NAD27", "USFeet", "33 S", "45S", "-23", "", "", "20 E", "10000000", "2000000"}},
        {{0, -1, 0, 1, "", "", 1, "31 0 0 N", "0,9999", "", "100 30 W", "0", "2000000.0 m"},
         {"WGS84", "USFeet", "", "", "", "31", "0.9999", "-100 30", "0", "2000000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.OriginLat);
        std::string error;
        ASSERT_TRUE(Write_Tarvane(c.typed, error)) << error;
        ASSERT_TRUE(open().isInitialized());  // it reads TARVANE.ini and initializes
        const EngineState windowRecord = State;
        TarvaneSettings read;
        Parameters stored, typed;
        ASSERT_TRUE(Read_Tarvane_File("TARVANE.ini", read) && BatchProjection::SettingsParameters(read, stored, error))
            << error;
        EXPECT_TRUE(SameEngine(stored, windowRecord));
        ASSERT_TRUE(BatchProjection::ConeParameters(c.options, typed, error)) << error;
        EXPECT_TRUE(SameEngine(typed, windowRecord));
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

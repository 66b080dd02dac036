// The batch converter against the real window, driven offscreen: the same
// engine set-up bit for bit for every State Plane zone in both systems and
// for cones typed both ways or stored, and the same texts for the same points.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "engine/Tarvane_Module.h"
#include "tests/ui/WindowFixture.h"

namespace {

using namespace Tarvane_Module;

bool SameBits(const EngineState& a, const EngineState& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class WindowAgreement : public WindowTest {
protected:
    // The engine record the window's initialize command leaves, and the one
    // the batch tool's set-up leaves.
    EngineState WindowInit() {
        window->cmdInit_Click();
        EXPECT_TRUE(window->isInitialized()) << str(messages.join(" | "));
        return State;
    }
    static EngineState BatchInit(const BatchProjection::ProjectionParameters& p) {
        std::string error;
        EXPECT_TRUE(BatchProjection::Setup(p, error)) << error;
        return State;
    }
    // A row of the batch tool, its cells from the third on.
    static std::vector<std::string> Row(const std::string& line, const BatchConvert::Format& f) {
        std::string row, error;
        EXPECT_TRUE(BatchConvert::ConvertLine(line, f, row, error)) << error;
        std::vector<std::string> cells;
        std::stringstream in(row);
        for (std::string cell; std::getline(in, cell, '\t');) cells.push_back(cell);
        cells.erase(cells.begin(), cells.begin() + std::min<std::size_t>(2, cells.size()));
        cells.resize(7);
        return cells;
    }
};

TEST_F(WindowAgreement, EveryZoneInBothSystemsGivesTheSameEngineAndTexts) {
    Tarvane& w = open();
    for (const bool is1927 : {false, true}) {
        w.optCoordSystem[is1927 ? 2 : 1]->setChecked(true);
        w.optCoordSystem_Click(is1927 ? 2 : 1);
        for (int index = 0; index < w.cmbZone->count(); ++index) {
            choose(w.cmbZone, index);
            const auto zone = static_cast<std::int16_t>(w.cmbZone->currentData().toInt());
            SCOPED_TRACE(std::to_string(zone) + (is1927 ? " 1927" : " 1983"));
            const EngineState windowRecord = WindowInit();
            BatchProjection::ProjectionParameters p;
            std::string error;
            ASSERT_TRUE(BatchProjection::ZoneParameters(is1927, zone, p, error)) << error;
            EXPECT_EQ(p.unitsPerMetre, is1927 ? kFeetPerMetre : 1.0);
            ASSERT_TRUE(SameBits(BatchInit(p), windowRecord));

            const int lat = static_cast<int>(State.ConeParallel * kRadToDeg);
            const int lon = static_cast<int>(-State.CentralMeridian * kRadToDeg);
            const std::string typedLat = std::to_string(lat) + " 10 17.25 N", typedLon = std::to_string(lon) + "\u00B012'3.5\"W";
            w.txtLat->setText(QString::fromStdString(typedLat));
            w.txtLon->setText(QString::fromStdString(typedLon));
            w.cmdConvert_Click(0);
            const auto forward = Row(typedLat + "\t" + typedLon, {.unitsPerMetre = is1927 ? kFeetPerMetre : 1.0, .precision = 2});
            EXPECT_EQ(forward[0], str(w.txtEasting->text()));
            EXPECT_EQ(forward[1], str(w.txtNorthing->text()));
            EXPECT_EQ(forward[2], str(w.lblScaleFactor->text()));

            const std::string grid = str(w.txtEasting->text() + " " + w.txtNorthing->text());
            w.txtLat->clear();
            w.cmdConvert_Click(1);
            const auto back = Row(grid, {.inverse = true, .dms = true, .unitsPerMetre = is1927 ? kFeetPerMetre : 1.0});
            EXPECT_EQ(back[0], str(w.txtLat->text()));
            EXPECT_EQ(back[1], str(w.txtLon->text()));
            EXPECT_EQ(back[6], str(w.lblTest->text()));
        }
    }
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

// A cone the window starts with from its settings file, read by --settings
// and given as options in the same degrees, minutes and seconds: the same
// engine all three ways.
TEST_F(WindowAgreement, TypedConesSetUpTheSameEngine) {
    const struct {
        TarvaneSettings typed;                  // as typed in the window and stored
        BatchProjection::ConeOptions options;   // as typed for the batch tool
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
        open();  // reads TARVANE.ini and initializes
        ASSERT_TRUE(window->isInitialized()) << str(messages.join(" | "));
        const EngineState windowRecord = State;
        TarvaneSettings read;
        BatchProjection::ProjectionParameters stored, typed;
        ASSERT_TRUE(Read_Tarvane_File("TARVANE.ini", read));
        ASSERT_TRUE(BatchProjection::SettingsParameters(read, stored, error)) << error;
        EXPECT_TRUE(SameBits(BatchInit(stored), windowRecord));
        ASSERT_TRUE(BatchProjection::ConeParameters(c.options, typed, error)) << error;
        EXPECT_TRUE(SameBits(BatchInit(typed), windowRecord));
    }
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

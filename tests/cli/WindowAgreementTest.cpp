// The batch converter against the real window, driven offscreen: the same
// projection set-up bit for bit, and the same numbers for the same points,
// for every State Plane zone in both systems, for cones typed both ways and
// for a stored settings file.

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "core/text/AngleInput.h"
#include "core/text/AngleText.h"
#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "core/text/NumberText.h"
#include "core/settings/Settings.h"
#include "ui/Tarvane.h"
#include "engine/Tarvane_Module.h"
#include "tests/ui/WindowFixture.h"

namespace {

using namespace Tarvane_Module;

template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<std::string> Columns(const std::string& row) {
    std::vector<std::string> cells;
    std::stringstream in(row);
    for (std::string cell; std::getline(in, cell, '\t');) cells.push_back(cell);
    return cells;
}

class WindowAgreement : public WindowTest {
protected:
    // The engine record that the window's initialize command leaves.
    EngineState WindowInit() {
        window->cmdInit_Click();
        EXPECT_TRUE(window->isInitialized()) << str(messages.join(" | "));
        return State;
    }
    static EngineState BatchInit(const ProjectionSetup::ParameterFields& fields) {
        std::string error;
        EXPECT_TRUE(BatchProjection::Setup(fields, error)) << error;
        return State;
    }
    // One row of the batch converter on the engine as the window left it.
    static std::vector<std::string> BatchRow(const std::string& line, BatchConvert::Format f, std::size_t columns) {
        std::string row, error;
        EXPECT_TRUE(BatchConvert::ConvertLine(line, f, row, error)) << error;
        auto cells = Columns(row);
        EXPECT_EQ(cells.size(), columns) << row;
        cells.resize(columns);
        return cells;
    }

    // The texts the window shows agree with the batch row, and the numbers
    // bit for bit with the engine called as the window's convert command calls it.
    void ExpectSameForward(const std::string& lat, const std::string& lon, bool usFeet) {
        SCOPED_TRACE(lat + " " + lon);
        Tarvane& w = *window;
        w.txtLat->setText(QString::fromStdString(lat));
        w.txtLon->setText(QString::fromStdString(lon));
        w.cmdConvert_Click(0);
        const auto c = BatchRow(lat + "\t" + lon, {.usFeet = usFeet, .precision = 2}, 8);
        EXPECT_EQ(c[2], str(w.txtEasting->text()));
        EXPECT_EQ(c[3], str(w.txtNorthing->text()));
        EXPECT_EQ(c[4], str(w.lblScaleFactor->text()));

        const auto noMessage = [](const std::string& m) { ADD_FAILURE() << m; };
        const double latRad = HmsHr(lat, "LAT", noMessage) * kDegToRad, lonRad = HmsHr(lon, "LON", noMessage) * kDegToRad;
        double e = 0.0, n = 0.0, latDeg = 0.0, lonDeg = 0.0;
        GeoToGrid(latRad, lonRad, e, n);
        if (usFeet) e = e * kFeetPerMetre, n = n * kFeetPerMetre;
        std::string why;
        ASSERT_TRUE(BatchInput::ReadAngle(lat, BatchInput::AngleKind::Latitude, latDeg, why) &&
                    BatchInput::ReadAngle(lon, BatchInput::AngleKind::Longitude, lonDeg, why));
        const BatchConvert::GridPoint p = BatchConvert::Forward(latDeg, lonDeg, usFeet);
        EXPECT_TRUE(SameBits(p.easting, e) && SameBits(p.northing, n));
        EXPECT_TRUE(SameBits(p.scaleFactor, PointScaleFactor(latRad)));
        EXPECT_TRUE(SameBits(p.meridianRadius, MeridianRadius(latRad)));
        EXPECT_TRUE(SameBits(p.normalRadius, PrimeVerticalRadius(latRad)));
    }
    void ExpectSameInverse(const std::string& easting, const std::string& northing, bool usFeet) {
        SCOPED_TRACE(easting + " " + northing);
        Tarvane& w = *window;
        w.txtEasting->setText(QString::fromStdString(easting));
        w.txtNorthing->setText(QString::fromStdString(northing));
        w.cmdConvert_Click(1);
        const auto c = BatchRow(easting + " " + northing, {.inverse = true, .dms = true, .usFeet = usFeet}, 9);
        EXPECT_EQ(c[2], str(w.txtLat->text()));
        EXPECT_EQ(c[3], str(w.txtLon->text()));
        EXPECT_EQ(c[4], str(w.lblScaleFactor->text()));
        EXPECT_EQ(c[8], str(w.lblTest->text()));

        double e = XVal(easting), n = XVal(northing), lat = 0.0, lon = 0.0;
        if (usFeet) n = n / kFeetPerMetre, e = e / kFeetPerMetre;
        std::int16_t iterations = 0;
        GridToGeo(e, n, lat, lon, iterations);
        const BatchConvert::GeoPoint p = BatchConvert::Inverse(std::stod(easting), std::stod(northing), usFeet);
        EXPECT_TRUE(SameBits(p.latitude, lat * kRadToDeg) &&
                    SameBits(p.longitude, lon * kRadToDeg));
        EXPECT_TRUE(SameBits(p.scaleFactor, PointScaleFactor(lat)));
        EXPECT_EQ(p.iterations, iterations);
    }
};

// The set-up and every conversion agree.
TEST_F(WindowAgreement, EveryZoneInBothSystems) {
    Tarvane& w = open();
    for (const bool is1927 : {false, true}) {
        const std::int16_t option = is1927 ? 2 : 1;
        w.optCoordSystem[option]->setChecked(true);
        w.optCoordSystem_Click(option);
        for (int index = 0; index < w.cmbZone->count(); ++index) {
            w.cmbZone->setCurrentIndex(index);
            w.cmbZone_Click();
            const auto zone = static_cast<std::int16_t>(w.cmbZone->currentText().left(4).trimmed().toInt());
            SCOPED_TRACE(std::to_string(zone) + (is1927 ? " 1927" : " 1983"));

            // Field texts matter only through the engine record, compared below;
            // the unit tag also decides the unit of the output.
            const auto f = BatchProjection::ZoneFields(is1927, zone);
            EXPECT_EQ(f.unitTag, str(w.unitTag()));
            const EngineState windowRecord = WindowInit();
            ASSERT_TRUE(SameBits(BatchInit(f), windowRecord));

            // Points around the origin, typed as the window's users type them.
            const double lat0 = State.ConeParallel * 57.29577951307855;
            const double lon0 = State.CentralMeridian * 57.29577951307855;
            for (const double dLat : {-1.25, 0.0, 0.5}) {
                for (const double dLon : {-1.5, 0.75}) {
                    const double lat = lat0 + dLat, lon = -(lon0 + dLon);
                    const int d = static_cast<int>(lat), m = static_cast<int>((lat - d) * 60);
                    const int dl = static_cast<int>(lon), ml = static_cast<int>((lon - dl) * 60);
                    ExpectSameForward(std::to_string(d) + " " + std::to_string(m) + " 17.25 N",
                                      std::to_string(dl) + "\u00B0" + std::to_string(ml) + "'3.5\"W", is1927);
                }
            }
            const double unit = is1927 ? 3.28083333333 : 1.0;
            for (const double dE : {-80000.0, 0.0, 65000.5}) {
                const double E = State.FalseEasting * unit + dE;
                const double N = (State.FalseNorthing + 150000.0) * unit - dE;
                ExpectSameInverse(std::to_string(E), std::to_string(N), is1927);
            }
        }
    }
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

// A user-defined cone typed into the window and given as options.
TEST_F(WindowAgreement, TypedConesSetUpTheSameEngine) {
    const struct {
        int datum, unit;
        bool oneParallel;
        const char *origin, *south, *north, *meridian, *fn, *fe;  // as typed in the window
        BatchProjection::ConeOptions options;                     // as typed for the batch tool
    } cases[] = {
        {0, 0, false, "23", "33", "45", "96 W", "0", "0",
         {"WGS84", "meter", "33", "45", "23", "", "", "-96", "0", "0"}},
        {1, 0, false, "29 30 15.5 N", "28\u00B023'00.125\"N", "30:17N", "099 0 0.5 W", "4000000", "600000.25",
         {"NAD83", "meter", "28 23 0.125 N", "30 17 N", "29 30 15.5 N", "", "", "99:0:0.5W", "4000000",
          "600000.25"}},
        {2, 1, false, "-23", "-33", "-45", "20", "10000000", "2000000",
         {"NAD27", "USFeet", "33 S", "45S", "-23", "", "", "20 E", "10000000", "2000000"}},
        {2, 1, true, "31 0 0 N", "0.9999", "", "100 30 W", "0", "2000000",
         {"NAD27", "USFeet", "", "", "", "31", "0.9999", "-100.5", "0", "2000000"}},
    };
    Tarvane& w = open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.origin);
        w.optCoordSystem[0]->setChecked(true);
        w.optCoordSystem_Click(0);
        w.cmbDatum->setCurrentIndex(c.datum);
        w.cmbDatum_Click();
        w.cmbUnit->setCurrentIndex(c.unit);
        w.cmbUnit_Click();
        const std::int16_t parallels = c.oneParallel ? 0 : 1;
        w.optParallel[parallels]->setChecked(true);
        w.optParallel_Click(parallels);
        w.txtParallel[0]->setText(c.origin);
        w.txtParallel[1]->setText(c.south);
        if (!c.oneParallel) w.txtParallel[2]->setText(c.north);
        w.txtCentralMeridian->setText(c.meridian);
        w.txtFalseNorthing->setText(c.fn);
        w.txtFalseEasting->setText(c.fe);
        const EngineState windowRecord = WindowInit();

        ProjectionSetup::ParameterFields fields;
        std::string error;
        ASSERT_TRUE(BatchProjection::ConeFields(c.options, fields, error)) << error;
        EXPECT_TRUE(SameBits(BatchInit(fields), windowRecord));
    }
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

// The window starts from a stored file; --settings reads the same file.
TEST_F(WindowAgreement, SettingsFileGivesTheWindowsProjection) {
    const TarvaneSettings stored[] = {
        // State Plane 1927, Texas South Central, as the window stores it.
        {2, 5, 2, 1, "28\u00B000'00.000\"N", "099\u00B000'00.000\"W", 2, "27\u00B050'00.000\"N",
         "28\u00B023'00.000\"N", "30\u00B017'00.000\"N", "099\u00B000'00.000\"W", "0", "2000000"},
        // A one-parallel cone with the window's own default length texts.
        {0, -1, 0, 0, "30\u00B000'00.000\"N", "080\u00B000'00.000\"W", 1, "40 30 N", "0,9996", "",
         "075\u00B000'00.000\"W", "1000000.0 m", "500000.0 m"},
    };
    for (const auto& s : stored) {
        SCOPED_TRACE(s.OriginLat);
        std::string reason;
        ASSERT_TRUE(Write_Tarvane(s, reason)) << reason;
        open();  // reads TARVANE.ini and initializes
        ASSERT_TRUE(window->isInitialized());
        const EngineState windowRecord = State;
        window.reset();

        TarvaneSettings read;
        ASSERT_TRUE(Read_Tarvane_File("TARVANE.ini", read));
        EXPECT_TRUE(SameBits(BatchInit(BatchProjection::SettingsFields(read)), windowRecord));
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

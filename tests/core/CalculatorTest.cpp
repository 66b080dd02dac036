// The rules of the form without a window: start-up, choices, the lost-focus
// rewrite, initialization and conversions, their messages and failures, and
// the values stored on exit. Worked points come from GeographicLib.
#include <GeographicLib/DMS.hpp>
#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/LambertConformalConic.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <regex>

#include "core/calc/Calculator.h"
#include "engine/Tarvane_Module.h"

namespace {

using F = Calc::Field;
using Texts = std::vector<std::string>;
using Tarvane_Module::State;
namespace fs = std::filesystem;

// What a run finds when nothing could be read, and zone 4204 of 1927 as the window stores it.
const TarvaneSettings kUnread = [] { TarvaneSettings s; s.iZone = -99; return s; }();
const TarvaneSettings kZone4204{2, 5, 2, 1, "29 30 15.5 N", "98 W", 2, "27°50'00.000\"N", "28°23'00.000\"N",
                                "30°17'00.000\"N", "099°00'00.000\"W", "0", "2000001"};

// A shown number: the whole text matches `pattern`, where "#" stands for the decimal separator.
double Number(std::string text, std::string pattern, char separator) {
    pattern.replace(pattern.find('#'), 1, separator == '.' ? "\\." : ",");
    EXPECT_TRUE(std::regex_match(text, std::regex(pattern))) << text;
    std::replace(text.begin(), text.end(), separator, '.');
    return std::stod(text);
}

class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override {  // TARVANE.ini lives in the working directory: a fresh one
        std::string dir = (fs::temp_directory_path() / "tarvane-calc-XXXXXX").string();
        ASSERT_NE(::mkdtemp(dir.data()), nullptr);
        fs::current_path(dir);
    }
    void TearDown() override {
        EXPECT_EQ(messages, Texts());  // a test that expects messages takes them
        Reset_Settings_File_Calls();
        fs::remove_all(fs::current_path());
    }
    // The choices and changing captions as shown, then the texts of the fields from `first` on.
    Texts Shown(F first = F::Lat) const {
        const Calc::FormState& s = calc.State();
        const char* systems[] = {"User Defined", "US State Plane 1983", "US State Plane 1927"};
        Texts shown = {systems[s.coordSystem], s.zone < 0 ? "" : s.zoneList[s.zone], kDatumNames[s.datum],
                       s.unitTag, s.lblUnit, s.lblParallel1};
        shown.insert(shown.end(), s.text.begin() + static_cast<int>(first), s.text.end());
        return shown;
    }
    void Type(std::initializer_list<std::pair<F, std::string>> fields) {
        for (const auto& [field, text] : fields) calc.Edit(field, text);
    }

    Texts messages;
    Calc::Calculator calc{'.', [this](const std::string& text) { messages.push_back(text); }};
};

// The stored values win over the zone table, without the grid position; an index out of its range, or a
// file the reader refused, gives the defaults. What is stored on exit is what was started from, and it
// goes to TARVANE.ini, or a message says why it cannot.
TEST_F(CalculatorTest, StartsFromTheStoredValuesOrTheDefaults) {
    const Texts defaults = {"User Defined", "", "WGS84", "meter", "meter", "Southern Standard Parallel",
        "30°00'00.000\"N", "080°00'00.000\"W", "0.0 m", "0.0 m", "25°00'00.000\"N", "20°00'00.000\"N",
        "40°00'00.000\"N", "075°00'00.000\"W", "1000000.0 m", "500000.0 m"};
    const TarvaneSettings firstRun{0, -1, 0, 0, defaults[6], defaults[7], 2, defaults[10], defaults[11],
                                   defaults[12], defaults[13], defaults[14], defaults[15]};
    TarvaneSettings one = kZone4204, zero = kZone4204, outOfRange = kZone4204;
    one.iParallels = 1, one.SouthernLat = "0.9996", zero.iParallels = 0, outOfRange.iUnit = 2;
    const auto stored = [](const TarvaneSettings& s) {
        return Texts{"US State Plane 1927", "4204 Texas South Central", "NAD27", "USFeet", "USFeet",
                     s.iParallels == 1 ? "ScaleFactor " : "Southern Standard Parallel", s.currentLat, s.currentLon,
                     "n/a", "n/a", s.OriginLat, s.SouthernLat, s.NorthernLat, s.CentralMeridian, s.FalseNorthing,
                     s.FalseEasting};
    };
    const struct { TarvaneSettings settings; Texts shown; TarvaneSettings stores; } cases[] = {
        {kUnread, defaults, firstRun}, {outOfRange, defaults, firstRun}, {kZone4204, stored(kZone4204), kZone4204},
        {one, stored(one), one}, {zero, stored(zero), kZone4204},  // any number but 1: two parallels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.SouthernLat + " " + std::to_string(c.settings.iParallels));
        calc.Start(c.settings);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(calc.Settings(), c.stores);
        const bool statePlane = c.shown[0] != "User Defined";
        const Calc::FormState& s = calc.State();
        EXPECT_TRUE(s.initialized && s.zoneListShown == statePlane && s.parametersEnabled != statePlane);
        EXPECT_NEAR(State.FalseEasting, statePlane ? 2000001 / 3.28083333333 : 500000, 1e-6);  // stored, in feet
    }
    calc.StartFromFile();  // no file yet
    EXPECT_EQ(calc.Settings(), firstRun);
    calc.Start(one);
    ASSERT_TRUE(calc.StoreToFile());
    calc.StartFromFile();
    EXPECT_EQ(calc.Settings(), one);
    // A save that fails says where and why.
    SettingsFileCalls failing;
    failing.create = [](const std::string&) { return errno = EACCES, -1; };
    Set_Settings_File_Calls(failing);
    EXPECT_FALSE(calc.StoreToFile());
    EXPECT_EQ(messages, Texts{"The settings could not be saved to " + (fs::current_path() / "TARVANE.ini").string() +
                              ": Permission denied. The settings file that was there before, if any, is unchanged."});
    messages.clear();
}

// Each step: the system and the zone (-1: the one chosen before), then the zone, datum and unit shown
// and the parameter fields, locked, on two parallels, with the zone list on the system's row. Back to
// User Defined, the zone's texts, datum and unit stay, editable; the same fields typed (a grid of the
// EPSG registry) give them too, initialized.
TEST_F(CalculatorTest, StatePlaneSystemsTakeTheirParametersFromTheZoneTable) {
    calc.Start(kUnread);
    const auto texas = [](const char* falseNorthing, const char* falseEasting) {
        return Texts{"27°50'00.000\"N", "28°23'00.000\"N", "30°17'00.000\"N", "099°00'00.000\"W", falseNorthing,
                     falseEasting};
    };
    const struct { int system, zone; const char *entry, *datum, *unit; Texts fields; } steps[] = {
        {2, -1, " 903 Florida North", "NAD27", "USFeet",
         {"29°00'00.000\"N", "29°35'00.000\"N", "30°45'00.000\"N", "084°30'00.000\"W", "0", "2000000"}},
        {2, 1, "1701 Louisiana North", "NAD27", "USFeet",
         {"30°40'00.000\"N", "31°10'00.000\"N", "32°40'00.000\"N", "092°30'00.000\"W", "0", "2000000"}},
        {1, -1, "1701 Louisiana North", "NAD83", "meter",
         {"30°30'00.000\"N", "31°10'00.000\"N", "32°40'00.000\"N", "092°30'00.000\"W", "0", "1000000"}},
        {1, 5, "4204 Texas South Central", "NAD83", "meter", texas("4000000", "600000")},
        {2, -1, "4204 Texas South Central", "NAD27", "USFeet", texas("0", "2000000")},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.entry);
        calc.ChooseSystem(s.system);
        if (s.zone >= 0) calc.ChooseZone(s.zone);
        Texts expected = {s.system == 1 ? "US State Plane 1983" : "US State Plane 1927", s.entry, s.datum, s.unit,
                          s.unit, "Southern Standard Parallel"};
        expected.insert(expected.end(), s.fields.begin(), s.fields.end());
        EXPECT_EQ(Shown(F::Parallel0), expected);
        const Calc::FormState& f = calc.State();
        EXPECT_TRUE(!f.initialized && !f.parametersEnabled && !f.oneParallel && f.zoneListShown);
        EXPECT_EQ(f.zoneListRow, s.system);
    }
    Texts before = Shown(F::Parallel0);
    before[0] = "User Defined";
    calc.ChooseSystem(0);
    EXPECT_EQ(Shown(F::Parallel0), before);
    EXPECT_TRUE(calc.State().parametersEnabled && !calc.State().zoneListShown);
    calc.ChooseSystem(1);
    calc.TypeFields(ProjectionSetup::ZoneFields(true, 4204, '.'));
    EXPECT_EQ(Shown(F::Parallel0), before);
    EXPECT_TRUE(calc.State().initialized && calc.State().parametersEnabled);
}

// Only the initialize command leaves the not-initialized state; a change of a choice or of a projection
// field returns to it, a text identical to the one held is no change, and the position is no parameter.
TEST_F(CalculatorTest, EveryChoiceAndProjectionEditAsksForANewInitialization) {
    calc.Start(kUnread);
    std::vector<std::tuple<std::string, std::function<void()>, bool>> steps;  // what, how, initialized after
    for (std::size_t i = 0; i < Calc::kFieldCount; ++i) {
        const auto field = static_cast<F>(i);
        steps.emplace_back("a blank after field " + std::to_string(i),
                           [this, field] { calc.Edit(field, calc.Text(field) + " "); }, field < F::Parallel0);
    }
    steps.insert(steps.end(), {
        {"the same text again", [this] { calc.Edit(F::FalseEasting, calc.Text(F::FalseEasting)); }, true},
        {"typing an angle", [this] { calc.Edit(F::CentralMeridian, "75 W"); }, false},
        {"leaving it rewrites it", [this] { calc.Leave(F::CentralMeridian); }, false},
        {"leaving it again", [this] { calc.Leave(F::CentralMeridian); }, true},
        {"converting forward", [this] { calc.Convert(0); }, true},
        {"converting back", [this] { calc.Convert(1); }, true},
        {"choosing a datum", [this] { calc.ChooseDatum(1); }, false},
        {"choosing a unit", [this] { calc.ChooseUnit(1); }, false},
        {"choosing one parallel", [this] { calc.ChooseParallels(0); }, false},
        {"choosing two parallels", [this] { calc.ChooseParallels(1); }, false},
        {"choosing State Plane 1983", [this] { calc.ChooseSystem(1); }, false},
        {"choosing a zone", [this] { calc.ChooseZone(3); }, false},
        {"choosing User Defined", [this] { calc.ChooseSystem(0); }, false},
    });
    for (const auto& [what, act, initializedAfter] : steps) {
        if (!calc.State().initialized) {  // parameters that give a cone
            Type({{F::Parallel1, calc.State().oneParallel ? "1.00" : "20 N"}, {F::Parallel2, "40 N"}});
            ASSERT_TRUE(calc.Initialize()) << what;
        }
        act();
        EXPECT_EQ(calc.State().initialized, initializedAfter) << what;
    }
    const auto texts = calc.State().text;
    EXPECT_FALSE(calc.Convert(0));  // not offered while not initialized
    EXPECT_EQ(calc.State().text, texts);
}

// Leaving a field reads it as its kind of angle, with the reader's messages in order, and rewrites it;
// a grid value is read only when converting. In one-parallel mode row 1 holds the scale factor, typed
// with either mark; it is left as typed, and row 2 is not read. A unit changes no number.
TEST_F(CalculatorTest, LeavingAnAngleFieldRewritesIt) {
    calc.Start(kUnread);
    const struct { F field; const char *typed, *shown; Texts messages; } cases[] = {
        {F::Lat, "29 30", "29°30'00.000\"N", {}},
        {F::Lon, "-95 15", "095°15'00.000\"W", {}},
        {F::Parallel0, "89 59 60", "90°00'00.000\"N",
         {"LATITUDE SECOND FORMAT ERROR. Max 59.9999 allowed", "LATITUDE MINUTE FORMAT ERROR. Max 59 allowed"}},
        {F::Parallel1, "-12", "12°00'00.000\"S", {}},
        {F::Parallel2, "45 30", "45°30'00.000\"N", {}},
        {F::CentralMeridian, "10 30 0 V", "010°30'00.000\"W", {}},
        {F::Northing, "12 x", "12 x", {}},
    };
    for (const auto& c : cases) {
        calc.Edit(c.field, c.typed);
        calc.Leave(c.field);
        EXPECT_EQ(calc.Text(c.field), c.shown) << c.typed;
        EXPECT_EQ(messages, c.messages) << c.typed;
        messages.clear();
    }
    Calc::Calculator comma(',', [](const std::string&) {});
    comma.Edit(F::Lat, "29 30 15,5");
    comma.Leave(F::Lat);
    EXPECT_EQ(comma.Text(F::Lat), "29°30'15,500\"N");

    calc.ChooseParallels(0);
    EXPECT_EQ(Texts({calc.State().lblParallel1, calc.Text(F::Parallel1)}), Texts({"ScaleFactor ", "1.00"}));
    EXPECT_FALSE(calc.State().northernRowShown);
    Type({{F::Parallel0, "30 N"}, {F::Parallel1, "0,9996"}, {F::Parallel2, "not read"}});
    calc.Leave(F::Parallel1);
    calc.ChooseUnit(1);  // the numbers stay, and count as US feet
    ASSERT_TRUE(calc.Initialize());
    EXPECT_EQ(Texts({calc.Text(F::Parallel1), calc.Text(F::FalseEasting)}), Texts({"0,9996", "500000.0 m"}));
    EXPECT_EQ(State.ScaleFactor, 0.9996);
    EXPECT_DOUBLE_EQ(State.FalseEasting, 500000 / 3.28083333333);
    // Two parallels again: both rows start from zero, so a scale factor is never read as a latitude.
    calc.ChooseParallels(1);
    EXPECT_EQ(Texts({calc.State().lblParallel1, calc.Text(F::Parallel1), calc.Text(F::Parallel2)}),
              Texts({"Southern Standard Parallel", "00°00'00.000\"N", "00°00'00.000\"N"}));
    EXPECT_TRUE(calc.State().northernRowShown);
}

// Both ways on zone 4204 of 1983 (metres) and 1927 (US feet, with a decimal comma) and on a cone of
// WGS84 (33° and 45°, origin 23° N 96° W, US feet), against GeographicLib: grid values "0.00" in the
// grid unit, the scale factor "0.000000000", the radii "0.0 m" in metres; the iteration count back
// (five for the cone of WGS84), "n/a" forward; and the position back to the thousandth of a second.
TEST_F(CalculatorTest, ConvertsBothWaysAsGeographicLib) {
    struct Cone { double a, f, lat1, lat2, lat0, lon0, perMetre; };
    const Cone grs80{6378137, 1 / 298.257222101, 28 + 23 / 60.0, 30 + 17 / 60.0, 27 + 50 / 60.0, -99, 1},
        clarke1866{6378206.4, (6378206.4 - 6356583.8) / 6378206.4, grs80.lat1, grs80.lat2, grs80.lat0, -99, 3937 / 1200.0},
        wgs84{6378137, 1 / 298.257223563, 33, 45, 23, -96, clarke1866.perMetre};
    const struct { TarvaneSettings settings; Cone cone; char separator; const char *lat, *lon, *iterations; } cases[] = {
        {{1, 5, 1, 0, "", "", 2, "27 50 N", "28 23 N", "30 17 N", "99 W", "4000000", "600000"}, grs80, '.',
         "29°30'15.500\"N", "098°15'30.250\"W", "[1-9]\\d*"},
        {{2, 5, 2, 1, "", "", 2, "27 50 N", "28 23 N", "30 17 N", "99 W", "0", "2000000"}, clarke1866, ',',
         "28°10'05,250\"N", "097°40'12,500\"W", "[1-9]\\d*"},
        {{0, -1, 0, 1, "", "", 2, "23 N", "33 N", "45 N", "96 W", "0", "0"}, wgs84, '.', "40°00'00.000\"N",
         "080°00'00.000\"W", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lat);
        Calc::Calculator calc(c.separator, [this](const std::string& text) { messages.push_back(text); });
        calc.Start(c.settings);
        const auto degrees = [](std::string text) {
            GeographicLib::DMS::flag hemisphere;
            return std::replace(text.begin(), text.end(), ',', '.'), GeographicLib::DMS::Decode(text, hemisphere);
        };
        const double lat = degrees(c.lat), lon = degrees(c.lon);
        const GeographicLib::LambertConformalConic cone(c.cone.a, c.cone.f, c.cone.lat1, c.cone.lat2, 1.0);
        const GeographicLib::Ellipsoid ellipsoid(c.cone.a, c.cone.f);
        double x, y, y0, gamma, k, unused;
        cone.Forward(c.cone.lon0, c.cone.lat0, c.cone.lon0, unused, y0);  // northings count from the origin
        cone.Forward(c.cone.lon0, lat, lon, x, y, gamma, k);
        const double northing = (y - y0) * c.cone.perMetre + std::stod(c.settings.FalseNorthing);
        const double easting = x * c.cone.perMetre + std::stod(c.settings.FalseEasting);

        calc.Edit(F::Lat, c.lat), calc.Edit(F::Lon, c.lon);
        ASSERT_TRUE(calc.Convert(0));
        const Calc::FormState& s = calc.State();
        EXPECT_NEAR(Number(s.text[2], "\\d+#\\d\\d", c.separator), northing, 0.006);
        EXPECT_NEAR(Number(s.text[3], "\\d+#\\d\\d", c.separator), easting, 0.006);
        EXPECT_NEAR(Number(s.lblScaleFactor, "\\d#\\d{9}", c.separator), k, 6e-10);
        EXPECT_NEAR(Number(s.lblMeridianRadius, "\\d+#\\d m", c.separator), ellipsoid.MeridionalCurvatureRadius(lat), 0.06);
        EXPECT_NEAR(Number(s.lblNormalRadius, "\\d+#\\d m", c.separator), ellipsoid.TransverseCurvatureRadius(lat), 0.06);

        char grid[2][32];
        std::snprintf(grid[0], sizeof grid[0], "%.3f", northing), std::snprintf(grid[1], sizeof grid[1], "%.3f", easting);
        calc.Edit(F::Lat, ""), calc.Edit(F::Northing, grid[0]), calc.Edit(F::Easting, grid[1]);
        calc.Convert(1);
        EXPECT_EQ(Texts({s.text[0], s.text[1]}), Texts({c.lat, c.lon}));
        EXPECT_TRUE(std::regex_match(s.lblTest, std::regex(c.iterations))) << s.lblTest;
        calc.Convert(0);
        EXPECT_EQ(s.lblTest, "n/a");
    }
}

// Conversions that fail keep the fields the failing step would have written and say what cannot be
// done; set-ups that fail leave the form not initialized: origin, row 1, row 2 (empty: one parallel).
TEST_F(CalculatorTest, FailuresSayWhatCannotBeDone) {
    calc.Start(kUnread);
    Type({{F::Parallel0, "23 N"}, {F::Parallel1, "33 N"}, {F::Parallel2, "45 N"}, {F::CentralMeridian, "96 W"},
          {F::FalseNorthing, "0"}, {F::FalseEasting, "0"}});
    ASSERT_TRUE(calc.Initialize());
    char apex[64];
    std::snprintf(apex, sizeof apex, "%.10f", State.ConeMapRadiusInv - State.NorthingOffset + State.FalseNorthing);
    const std::string grid = "The grid position cannot be converted: ";
    const struct { const char *lat, *northing, *easting; int button; std::string message; } converts[] = {
        {"90 N", "123", "456", 0, "The position cannot be converted: invalid argument. A latitude of 90° north or "
                                  "south has no grid position on a cone."},
        {"lat", apex, "0", 1, grid + "invalid operation. The point lies at the apex of the cone."},
        {"lat", apex, "1000", 1, grid + "division by zero. The point lies at the apex of the cone."},
        {"lat", "1e999", "0", 1, grid + "invalid argument. The point lies beyond the apex of the cone, or a value "
                                        "is not a finite number."},
    };
    for (const auto& c : converts) {
        Type({{F::Lat, c.lat}, {F::Northing, c.northing}, {F::Easting, c.easting}});
        EXPECT_FALSE(calc.Convert(c.button));
        EXPECT_EQ(messages, Texts{c.message});
        EXPECT_EQ(Texts({calc.Text(F::Lat), calc.Text(F::Northing)}), Texts({c.lat, c.northing}));
        EXPECT_TRUE(calc.State().initialized);
        messages.clear();
    }
    const std::string setUp = "The projection cannot be set up from these parameters: ";
    const struct { const char *p0, *p1, *p2; std::string message; } setUps[] = {
        {"0", "1.00", "", setUp + "division by zero. A standard parallel on the equator"},
        {"30", "30 N", "30 N", setUp + "invalid operation. Two equal standard parallels give no cone; for a single "
                                       "parallel choose \"One Standard Parallel\"."},
        {"90 S", "20 N", "40 N", setUp + "invalid argument."},  // the pole at the apex has a place; this one not
        // A thousandth of a second apart near the pole: the sine of the equivalent parallel rounds above 1.
        {"30", "89 58 31.857", "89 58 31.858", "ARCSINUS DATA ERROR"},
        {"30", "abc", "", "The scale factor \"abc\" is not a number. Type a decimal number such as 1.00 or 0.9996."},
    };
    for (const auto& c : setUps) {
        calc.ChooseParallels(*c.p2 ? 1 : 0);
        Type({{F::Parallel0, c.p0}, {F::Parallel1, c.p1}, {F::Parallel2, c.p2}});
        EXPECT_FALSE(calc.Initialize());
        ASSERT_EQ(messages.size(), 1u) << c.p1;
        EXPECT_EQ(messages[0].substr(0, c.message.size()), c.message);
        EXPECT_FALSE(calc.State().initialized);
        messages.clear();
    }
}

}  // namespace

// The batch tool sets up the very engine the window's calculator sets up: for
// every State Plane zone in both systems, and for a cone typed in the window
// (and stored) and given as options in the same degrees, minutes and seconds.
#include <gtest/gtest.h>

#include <cstring>

#include "cli/BatchProjection.h"
#include "core/calc/Calculator.h"
#include "engine/Tarvane_Module.h"

namespace {

using namespace Tarvane_Module;
using Parameters = BatchProjection::ProjectionParameters;

// Whether the batch tool's set-up leaves the record `window` holds.
bool SameEngine(const Parameters& p, const EngineState& window) {
    std::string error;
    EXPECT_TRUE(BatchProjection::Setup(p, error)) << error;
    return std::memcmp(&State, &window, sizeof window) == 0;
}

TEST(Agreement, EveryZoneInBothSystemsSetsUpTheSameEngine) {
    Calc::Calculator window('.', [](const std::string& m) { ADD_FAILURE() << m; });
    TarvaneSettings none;
    none.iZone = -99;  // the defaults
    window.Start(none);
    for (const int system : {1, 2}) {
        window.ChooseSystem(system);
        for (int index = 0; index < static_cast<int>(window.State().zoneList.size()); ++index) {
            window.ChooseZone(index);
            ASSERT_TRUE(window.Initialize());
            const EngineState record = State;
            Parameters p;
            std::string error;
            ASSERT_TRUE(BatchProjection::ZoneParameters(system == 2, window.ZoneNumber(index), p, error)) << error;
            EXPECT_EQ(p.unitsPerMetre, system == 2 ? kFeetPerMetre : 1.0);
            EXPECT_TRUE(SameEngine(p, record)) << window.ZoneNumber(index) << " of system " << system;
        }
    }
}

TEST(Agreement, TypedConesSetUpTheSameEngine) {
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
        Calc::Calculator window('.', [](const std::string& m) { ADD_FAILURE() << m; });
        window.Start(c.typed);
        ASSERT_TRUE(window.State().initialized);
        const EngineState record = State;
        Parameters stored, typed;
        std::string error;
        ASSERT_TRUE(BatchProjection::SettingsParameters(c.typed, stored, error)) << error;
        EXPECT_TRUE(SameEngine(stored, record));
        ASSERT_TRUE(BatchProjection::ConeParameters(c.options, typed, error)) << error;
        EXPECT_TRUE(SameEngine(typed, record));
    }
}

}  // namespace

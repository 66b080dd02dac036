// The seven State Plane zones that the calculator knows.
//
// Each angle is its decimal degrees rounded to ten places times
// 0.017453292519944444, and these exact doubles are kept: recomputing them
// from exact degrees and minutes gives slightly different numbers and would
// break agreement with stored results.

#include "engine/Tarvane_Module.h"

#include <array>

namespace Tarvane_Module {

namespace {

struct Zone {
    StatePlaneZone id;
    double centralMeridian;
    double originLat1983;
    double originLat1927;
    double southernParallel;
    double northernParallel;
    double falseEasting;  // metres, 1983
    double falseNorthing; // metres, 1983
};

// clang-format off
constexpr Zone kZones[] = {
    //  zone  name                   list name             EPSG 1983, 1927  central meridian     origin 1983           origin 1927           southern parallel     northern parallel     easting   northing
    {{ 903, "Florida Northern",    "Florida North",      26960, 26760}, -1.4748032179353054, 0.5061454830783889,  0.5061454830783889,  0.5163265703811081,  0.5366887449882917,  600000.0,       0.0},
    {{1701, "Louisiana Northern",  "Louisiana North",    26981, 26781}, -1.614429558094861,  0.5323254218583056,  0.5352343039455447,  0.5439609502055169,  0.5701408889854337, 1000000.0,       0.0},
    {{1702, "Louisiana Southern",  "Louisiana South",    26982, 26782}, -1.5940673834876775, 0.49741883681841664, 0.5003277189056559,  0.5113814708343722,  0.5358160803622944, 1000000.0,       0.0},
    {{1703, "Louisiana Offshore",  "Louisiana Offshore", 32199, 32099}, -1.5940673834876775, 0.4450589592585833,  0.4479678413458225,  0.45669448760579473, 0.48578330847120527, 1000000.0,      0.0},
    {{4203, "Texas Central",       "Texas Central",      32139, 32039}, -1.7511470161671776, 0.5177810114256003,  0.5177810114256003,  0.5256349930595753,  0.5564691431769803,  700000.0, 3000000.0},
    {{4204, "Texas South Central", "Texas South Central", 32140, 32040}, -1.7278759594745,    0.48578330847120527, 0.48578330847120527, 0.4953826193571747,  0.5285438751450692,  600000.0, 4000000.0},
    {{4205, "Texas Southern",      "Texas South",        32141, 32041}, -1.7191493132145277, 0.4479678413458225,  0.4479678413458225,  0.45669448760579473, 0.48578330847120527, 300000.0, 5000000.0},
};
// clang-format on

constexpr auto kZoneIds = [] {
    std::array<StatePlaneZone, std::size(kZones)> ids{};
    for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = kZones[i].id;
    return ids;
}();

} // namespace

std::span<const StatePlaneZone> StatePlaneZones() { return kZoneIds; }

void GetZoneParameters(const std::int16_t& is1927, const std::int16_t& zoneNumber, std::string& zoneName,
                       double& southernParallel, double& northernParallel, double& originLat,
                       double& centralMeridian, double& falseEasting, double& falseNorthing) {
    for (const Zone& z : kZones) {
        if (z.id.number != zoneNumber)
            continue;
        zoneName = z.id.name;
        centralMeridian = z.centralMeridian;
        originLat = is1927 != 0 ? z.originLat1927 : z.originLat1983;
        southernParallel = z.southernParallel;
        northernParallel = z.northernParallel;
        falseEasting = z.falseEasting;
        falseNorthing = z.falseNorthing;
        break;
    }
    // The 1927 grids all start at 2000000 US ft east, 0 north, even for a
    // zone that is not in the table.
    if (is1927 != 0) {
        falseEasting = 2000000.0;
        falseNorthing = 0.0;
    }
}

} // namespace Tarvane_Module

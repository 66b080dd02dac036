// The window's datums and grid units, with their names in one table, and
// its unit factors. The factors are these constants, not values of a
// full-precision pi (they equal 3.14159265359 / 180 and its inverse), so that
// results agree with files written earlier.
#pragma once

#include <array>
#include <optional>
#include <string_view>

inline constexpr double kDegToRad = 0.017453292519944444;
inline constexpr double kRadToDeg = 57.29577951307855;
inline constexpr double kFeetPerMetre = 3.28083333333;  // US survey feet

// The datums of the window's list, in its order; each selects its ellipsoid
// by the name the engine takes.
enum class Datum { WGS84, NAD83, NAD27 };
inline constexpr std::array<const char*, 3> kDatumNames = {"WGS84", "NAD83", "NAD27"};

// The grid units of the window's list, in its order, by their tags.
enum class GridUnit { Metre, USFeet };
inline constexpr std::array<const char*, 2> kUnitTags = {"meter", "USFeet"};

constexpr const char* DatumName(Datum d) { return kDatumNames[static_cast<std::size_t>(d)]; }
constexpr const char* UnitTag(GridUnit u) { return kUnitTags[static_cast<std::size_t>(u)]; }
constexpr double UnitsPerMetre(GridUnit u) { return u == GridUnit::USFeet ? kFeetPerMetre : 1.0; }

// The datum or unit of a name, exactly as the table spells it.
inline std::optional<Datum> DatumNamed(std::string_view name) {
    for (std::size_t k = 0; k < kDatumNames.size(); ++k)
        if (name == kDatumNames[k]) return static_cast<Datum>(k);
    return std::nullopt;
}
inline std::optional<GridUnit> UnitTagged(std::string_view tag) {
    for (std::size_t k = 0; k < kUnitTags.size(); ++k)
        if (tag == kUnitTags[k]) return static_cast<GridUnit>(k);
    return std::nullopt;
}

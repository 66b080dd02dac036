// The window's own unit factors. They are these constants, not values of a
// full-precision pi (they equal 3.14159265359 / 180 and its inverse), so that
// results agree with files written earlier.
#pragma once

inline constexpr double kDegToRad = 0.017453292519944444;
inline constexpr double kRadToDeg = 57.29577951307855;
inline constexpr double kFeetPerMetre = 3.28083333333;  // US survey feet

// Fixed-point number text: the grid values, factors and radii that every face
// shows.
#pragma once

#include <string>

// Writes `value` with `decimals` (0 to 15) digits after the point, rounded
// half to even on the exact binary value: the same text as std::to_chars
// with std::chars_format::fixed, several times faster for the magnitudes of
// grid co-ordinates. `first` needs room for 400 characters. Returns the end.
char* FormatFixed(char* first, double value, int decimals);

// How a value exactly halfway between two texts rounds: to the even digit,
// as std::to_chars does, or away from zero, as the window's patterns do.
enum class Ties { ToEven, AwayFromZero };

// Appends `value` as FormatFixed writes it, with `separator` as the decimal
// mark and no minus sign on a value that shows as zero ("-0.00" is "0.00").
void AppendFixed(std::string& out, double value, int decimals, char separator = '.', Ties ties = Ties::ToEven);

// The same, as a new text.
std::string FixedText(double value, int decimals, char separator = '.', Ties ties = Ties::ToEven);

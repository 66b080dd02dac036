// Fixed-point number text for the output columns.
#pragma once

namespace BatchConvert {

// Writes `value` with `decimals` (0 to 15) digits after the point, rounded
// half to even on the exact binary value: the same text as std::to_chars
// with std::chars_format::fixed, several times faster for the magnitudes of
// grid co-ordinates. `first` needs room for 400 characters. Returns the end.
char* FormatFixed(char* first, double value, int decimals);

}  // namespace BatchConvert

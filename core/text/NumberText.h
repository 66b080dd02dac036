// Decimal numbers typed into the length fields.
#pragma once

#include <string>

// Reads a decimal number with either a comma or a point as the decimal mark,
// whatever the C or C++ locale. Blanks, tabs and line feeds are skipped
// anywhere; the reading stops at the first character that cannot continue
// the number, and text that does not begin with one gives 0. A number beyond
// the range of a double gives plus or minus infinity, a tiny one 0 or a
// subnormal.
double XVal(const std::string& Instring);

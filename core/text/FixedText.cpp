#include "core/text/FixedText.h"

#include <algorithm>
#include <cmath>

void AppendFixed(std::string& out, double value, int decimals, char separator, Ties ties) {
    // A double exactly halfway at `decimals` decimals is an odd number of
    // halves of their last unit, (2n + 1) / 2^(decimals + 1): the next double
    // away from zero rounds away.
    if (ties == Ties::AwayFromZero && std::fabs(std::fmod(std::ldexp(value, decimals + 1), 2.0)) == 1.0)
        value = std::nextafter(value, value < 0 ? -HUGE_VAL : HUGE_VAL);
    char buffer[400];
    const char* end = FormatFixed(buffer, value, decimals);
    const char* begin = buffer;
    // No minus sign on a value that shows as zero.
    if (*begin == '-' && std::all_of(begin + 1, end, [](char c) { return c == '0' || c == '.'; })) ++begin;
    const std::size_t at = out.size();
    out.append(begin, end);
    if (separator != '.') std::replace(out.begin() + static_cast<std::ptrdiff_t>(at), out.end(), '.', separator);
}

std::string FixedText(double value, int decimals, char separator, Ties ties) {
    std::string text;
    AppendFixed(text, value, decimals, separator, ties);
    return text;
}

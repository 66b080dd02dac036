#include "core/text/FixedText.h"

#include <algorithm>

void AppendFixed(std::string& out, double value, int decimals, char separator) {
    char buffer[400];
    const char* end = FormatFixed(buffer, value, decimals);
    const char* begin = buffer;
    // No minus sign on a value that shows as zero.
    if (*begin == '-' && std::all_of(begin + 1, end, [](char c) { return c == '0' || c == '.'; })) ++begin;
    const std::size_t at = out.size();
    out.append(begin, end);
    if (separator != '.') std::replace(out.begin() + static_cast<std::ptrdiff_t>(at), out.end(), '.', separator);
}

std::string FixedText(double value, int decimals, char separator) {
    std::string text;
    AppendFixed(text, value, decimals, separator);
    return text;
}

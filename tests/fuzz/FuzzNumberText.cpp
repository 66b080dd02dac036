// XVal on arbitrary text: never NaN, and a comma reads as a point does. Any
// finite double (the input's first eight bytes) written as the shortest text
// that stands for it, with a point or with a comma, reads back bit for bit.

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/text/NumberText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

std::string Swapped(std::string text, char from, char to) {
    for (char& c : text) if (c == from) c = to;
    return text;
}

bool Same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double x = XVal(text);
    fuzz::Require(!std::isnan(x), "XVal gave NaN");
    fuzz::Require(Same(XVal(Swapped(text, ',', '.')), x), "a comma read unlike a point");
    double value;
    if (size < 8 || (std::memcpy(&value, data, 8), !std::isfinite(value))) return 0;
    char buffer[64];
    const std::string shortest(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
    fuzz::Require(Same(XVal(shortest), value), "a double's own text read back as another value");
    fuzz::Require(Same(XVal(Swapped(shortest, '.', ',')), value), "a double's text with a comma read back otherwise");
    return 0;
}

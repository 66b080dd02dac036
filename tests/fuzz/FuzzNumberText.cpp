// XVal on arbitrary text gives a number, never NaN; a finite double (the input's first eight bytes) written as
// the shortest text that stands for it reads back bit for bit, with a point and with a comma.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include "core/text/NumberText.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Require(!std::isnan(XVal(std::string(reinterpret_cast<const char*>(data), size))), "XVal gave NaN");
    double value;
    if (size < 8 || (std::memcpy(&value, data, 8), !std::isfinite(value))) return 0;
    char buffer[32];
    std::string text(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
    const auto same = [&] { return std::bit_cast<std::uint64_t>(XVal(text)) == std::bit_cast<std::uint64_t>(value); };
    fuzz::Require(same(), "a double's own text read back otherwise");
    std::replace(text.begin(), text.end(), '.', ',');
    fuzz::Require(same(), "a double's text with a comma read back otherwise");
    return 0;
}

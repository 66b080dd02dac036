// XVal on arbitrary text, against a reading written here from the rules of
// the length fields:
// - every comma is a point; blanks, tabs and line feeds are skipped anywhere;
// - then an optional sign, digits with at most one point (at least one
//   digit), and an optional exponent: E or e, an optional sign and at least
//   one digit; the reading stops at the first character that cannot go on;
// - text that does not begin with a number gives 0; no hexadecimal or octal;
// - the value is the decimal number correctly rounded to a double, and a
//   number beyond the range of a double gives plus or minus infinity.
// The two agree when they are equal (0 and -0 alike, infinities of one sign
// alike); NaN is never right.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <system_error>

#include "tests/fuzz/FuzzSupport.h"
#include "core/text/NumberText.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

double ReferenceReading(const std::string& text) {
    std::string clean;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') clean += c == ',' ? '.' : c;
    }
    std::size_t i = 0, digits = 0, point = std::string::npos;
    bool negative = false;
    if (i < clean.size() && (clean[i] == '+' || clean[i] == '-')) negative = clean[i++] == '-';
    const std::size_t mantissa = i;
    for (; i < clean.size(); ++i) {
        if (IsDigit(clean[i])) {
            ++digits;
        } else if (clean[i] == '.' && point == std::string::npos) {
            point = i;
        } else {
            break;
        }
    }
    if (digits == 0) return 0;
    if (point == std::string::npos) point = i;

    // The exponent counts only with a digit; clamped far beyond any double
    // (the text is never long enough to bring it back).
    long long exponent = 0;
    std::size_t end = i;
    if (i < clean.size() && (clean[i] == 'e' || clean[i] == 'E')) {
        std::size_t k = i + 1;
        bool negativeExponent = false;
        if (k < clean.size() && (clean[k] == '+' || clean[k] == '-')) negativeExponent = clean[k++] == '-';
        if (k < clean.size() && IsDigit(clean[k])) {
            for (; k < clean.size() && IsDigit(clean[k]); ++k)
                exponent = std::min(exponent * 10 + (clean[k] - '0'), 1'000'000'000'000LL);
            if (negativeExponent) exponent = -exponent;
            end = k;
        }
    }

    // std::from_chars rounds correctly; it takes no plus sign.
    const std::string number = (negative ? "-" : "") + clean.substr(mantissa, end - mantissa);
    double value = 0;
    const auto [stop, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (stop != number.data() + number.size()) fuzz::Fail("reference: from_chars stopped early on " + number);
    if (ec != std::errc::result_out_of_range) return value;

    // Out of range: far above 1 or far below, by the place of the first
    // nonzero digit.
    const std::size_t first = clean.find_first_of("123456789", mantissa);
    if (first == std::string::npos || first >= end) fuzz::Fail("reference: zero out of range: " + number);
    const long long place =
        (first < point ? static_cast<long long>(point - first) - 1 : -static_cast<long long>(first - point)) + exponent;
    const double magnitude = place >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double x = XVal(text), reference = ReferenceReading(text);
    if (!(x == reference)) {
        char message[200];
        std::snprintf(message, sizeof message, " = %.17g, the rules give %.17g", x, reference);
        fuzz::Fail("XVal(\"" + text + "\")" + message);
    }
    return 0;
}

// HmsHr reads arbitrary text, as a latitude and as a longitude, to a finite angle within 90 or 180 degrees. HrHms
// writes it, and the text's first eight bytes as a double, in a text HmsHr reads back without a message within half
// a unit of the last digit; byte 0 picks the decimals (bits 0-2, modulo 5), a comma (bit 3) and the file's mark (4).
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include "core/text/AngleText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {
void WriteAndReadBack(double angle, const char* typ, std::uint8_t rendering) {
    const auto n = static_cast<std::int16_t>((rendering & 7) % 5);
    const std::string text = HrHms(angle, typ, rendering & 16 ? "FILE" : "FORM", n, rendering & 8 ? ',' : '.');
    const double back = HmsHr(text, typ, [&](const std::string& m) { fuzz::Fail("\"" + text + "\" read back: " + m); });
    // Half a unit of the last digit, a float rounding of the seconds each way (2^-19 s near 60), the arithmetic.
    if (!(std::fabs(back - angle) <= (0.5 * std::pow(10.0, -n) + std::ldexp(1.0, -18) + 1e-9) / 3600))
        fuzz::Fail("\"" + text + "\" read back as " + std::to_string(back) + ", not " + std::to_string(angle));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    for (const char* typ : {"LAT", "LON"}) {
        const double limit = std::string(typ) == "LAT" ? 90 : 180, degrees = HmsHr(text, typ, nullptr);
        fuzz::Require(std::fabs(degrees) <= limit, "HmsHr gave an angle beyond its limit or not finite");
        WriteAndReadBack(degrees, typ, data[0]);
        double angle;
        if (text.size() >= 8 && (std::memcpy(&angle, text.data(), 8), std::fabs(angle) <= limit))
            WriteAndReadBack(angle, typ, data[0]);
    }
    return 0;
}

// Angle text both ways on arbitrary input. HmsHr, reading the text as a
// latitude and as a longitude, gives a finite angle within 90 or 180 degrees
// and messages in UTF-8 that name the field. HrHms writes that angle, and the
// text's first eight bytes as a double, in a text that HmsHr reads back
// without a message (so never 60 seconds or minutes) within half a unit of
// the last digit shown. Byte 0 picks the rendering: bits 0-2 the decimals
// (modulo 5), bit 3 a decimal comma, bit 4 the file's degree mark.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/text/AngleText.h"
#include "core/text/Cp1252.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

double Read(const std::string& text, bool lat, std::vector<std::string>& messages) {
    return HmsHr(text, lat ? "LAT" : "LON", [&](const std::string& m) { messages.push_back(m); });
}

void WriteAndReadBack(double angle, bool lat, std::uint8_t rendering) {
    const auto n = static_cast<std::int16_t>((rendering & 7) % 5);
    const std::string text = HrHms(angle, lat ? "LAT" : "LON", rendering & 16 ? "FILE" : "FORM", n,
                                   rendering & 8 ? ',' : '.');
    std::vector<std::string> messages;
    const double back = Read(text, lat, messages);
    if (!messages.empty()) fuzz::Fail("own text \"" + text + "\" read back with the message " + messages[0]);
    // Half a unit of the last digit, a float rounding of the seconds each way
    // (2^-19 s near 60) and the double arithmetic; in degrees.
    if (!(std::fabs(back - angle) <= (0.5 * std::pow(10.0, -n) + std::ldexp(1.0, -18) + 1e-9) / 3600))
        fuzz::Fail("own text \"" + text + "\" read back as " + std::to_string(back) + ", not " + std::to_string(angle));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    for (const bool lat : {true, false}) {
        std::vector<std::string> messages;
        const double degrees = Read(text, lat, messages), limit = lat ? 90 : 180;
        fuzz::Require(std::isfinite(degrees), "HmsHr returned a value that is not finite");
        fuzz::Require(std::fabs(degrees) <= limit, "HmsHr returned an angle beyond its limit");
        for (const auto& m : messages) {
            fuzz::Require(Cp1252::IsValidUtf8(m), "HmsHr showed a message that is not UTF-8");
            fuzz::Require(m.find(lat ? "LATITUDE" : "LONGITUDE") != std::string::npos,
                          "HmsHr showed a message without the field name");
        }
        WriteAndReadBack(degrees, lat, data[0]);
        double angle;
        if (text.size() >= 8 && (std::memcpy(&angle, text.data(), 8), std::fabs(angle) <= limit))
            WriteAndReadBack(angle, lat, data[0]);
    }
    return 0;
}

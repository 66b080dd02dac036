// Angle text both ways on arbitrary input. HmsHr reads the text as a latitude
// and as a longitude: a finite angle within 90 or 180 degrees, at most one
// message per step, each naming its field. HrHms then writes that angle: the
// fixed layout, never 60 seconds or 60 minutes, within half a unit of its
// last digit, and read back by HmsHr without a message. An exception from
// either terminates, which fails the run.
//
// Input: byte 0 picks the rendering (bits 0-2 the decimals, modulo 5; bit 3 a
// comma as the decimal separator; bit 4 the file rendering); the rest is the
// text, whose first eight bytes, if any, are also written as a double.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/text/AngleText.h"
#include "core/text/Cp1252.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

struct Rendering {
    std::int16_t decimals;
    char separator;
    bool file;
};

// Half a unit of the last digit, one float rounding of the seconds (2^-19 s
// near 60, doubled for slack) and the double arithmetic; in degrees.
double Tolerance(const Rendering& r) {
    return (0.5 * std::pow(10.0, -r.decimals) + std::ldexp(1.0, -18) + 1e-9) / 3600;
}

// Checks the layout of HrHms's text and that it stands for `angle`, reading
// it by hand so that the check does not lean on HmsHr.
void CheckRendered(const std::string& text, double angle, bool lat, const Rendering& r) {
    std::size_t i = 0;
    const auto fail = [&](const char* what) { fuzz::Fail(std::string(what) + " in \"" + text + "\""); };
    const auto digit = [&] { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    const auto take = [&](const std::string& s, const char* what) {
        if (text.compare(i, s.size(), s) != 0) fail(what);
        i += s.size();
    };
    const auto twoDigits = [&](const char* what) {
        int value = 0;
        for (int k = 0; k < 2; ++k, ++i) {
            if (!digit()) fail(what);
            value = value * 10 + (text[i] - '0');
        }
        if (value >= 60) fail("60 minutes or seconds");
        return value;
    };

    long degrees = 0;
    for (; digit(); ++i) degrees = degrees * 10 + (text[i] - '0');
    if (i < (lat ? 2u : 3u)) fail("too few degree digits");
    take(r.file ? "\u00F8" : "\u00B0", "no degree mark");
    const int minutes = twoDigits("no two-digit minutes");
    take("'", "no minute mark");
    double seconds = twoDigits("no two-digit seconds");
    if (r.decimals > 0) take(std::string(1, r.separator), "no decimal separator");
    double unit = 1;
    for (int k = 0; k < r.decimals; ++k, ++i) {
        if (!digit()) fail("too few decimals");
        seconds += (text[i] - '0') * (unit /= 10);
    }
    take("\"", "no second mark");
    take(std::string(1, angle < 0 ? (lat ? 'S' : 'W') : (lat ? 'N' : 'E')), "wrong hemisphere letter");
    if (i != text.size()) fail("text after the hemisphere letter");

    const double shown = static_cast<double>(degrees) + minutes / 60.0 + seconds / 3600;
    if (!(std::fabs(shown - std::fabs(angle)) <= Tolerance(r)))
        fuzz::Fail("\"" + text + "\" does not stand for " + std::to_string(angle));
}

double Read(const std::string& text, bool lat, std::vector<std::string>& messages) {
    return HmsHr(text, lat ? "LAT" : "LON", [&](const std::string& m) { messages.push_back(m); });
}

void WriteAndReadBack(double angle, bool lat, const Rendering& r) {
    const std::string text = HrHms(angle, lat ? "LAT" : "LON", r.file ? "FILE" : "FORM", r.decimals, r.separator);
    CheckRendered(text, angle, lat, r);
    if (std::fabs(angle) > (lat ? 90 : 180)) return;  // beyond the limit HmsHr rightly corrects it
    std::vector<std::string> messages;
    const double back = Read(text, lat, messages);
    if (!messages.empty()) fuzz::Fail("own text \"" + text + "\" read back with the message " + messages[0]);
    if (!(std::fabs(back - angle) <= Tolerance(r)))
        fuzz::Fail("own text \"" + text + "\" read back as " + std::to_string(back));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Rendering r{static_cast<std::int16_t>((data[0] & 7) % 5), (data[0] & 8) ? ',' : '.', (data[0] & 16) != 0};
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    for (const bool lat : {true, false}) {
        std::vector<std::string> messages;
        const double degrees = Read(text, lat, messages);
        fuzz::Require(std::isfinite(degrees), "HmsHr returned a value that is not finite");
        fuzz::Require(std::fabs(degrees) <= (lat ? 90 : 180), "HmsHr returned an angle beyond its limit");
        fuzz::Require(messages.size() <= 5, "HmsHr showed more than one message per step");
        for (const auto& m : messages) {
            fuzz::Require(Cp1252::IsValidUtf8(m), "HmsHr showed a message that is not UTF-8");
            fuzz::Require(m.find(lat ? "LATITUDE" : "LONGITUDE") != std::string::npos,
                          "HmsHr showed a message without the field name");
        }
        WriteAndReadBack(degrees, lat, r);
    }
    if (text.size() >= 8) {
        double angle;
        std::memcpy(&angle, text.data(), 8);
        if (std::fabs(angle) <= 180) WriteAndReadBack(angle, true, r), WriteAndReadBack(angle, false, r);
    }
    return 0;
}

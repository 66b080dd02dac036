// Angle text both ways on arbitrary input.
//
// HmsHr reads the text as a latitude and as a longitude: it must never throw
// and must return a finite angle within 90 or 180 degrees. HrHms then writes
// that angle: the text must have the fixed layout, never show 60 seconds or
// 60 minutes, stand for the angle within half a unit of its last digit, and
// read back through HmsHr without a message.
//
// Input: byte 0 picks the rendering (bits 0-2 the decimals, taken modulo 5;
// bit 3 a comma as the decimal separator; bit 4 the file rendering); the rest
// is the text. When it holds at least eight bytes, they are also taken as a
// double and, if within 180 degrees, written and checked the same way.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "AngleText.h"
#include "Cp1252.h"
#include "FuzzSupport.h"

namespace {

struct Rendering {
    std::int16_t decimals;
    char separator;
    bool file;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the layout of HrHms's text and that it stands for `angle`. The text
// is read here by hand, so that the check does not lean on HmsHr.
void CheckRendered(const std::string& text, double angle, bool lat, const Rendering& r) {
    const std::string where = " in \"" + text + "\"";
    std::size_t i = 0;
    long degrees = 0;
    while (i < text.size() && IsDigit(text[i])) degrees = degrees * 10 + (text[i++] - '0');
    if (i < (lat ? 2u : 3u)) fuzz::Fail("too few degree digits" + where);
    const std::string mark = r.file ? "\u00F8" : "\u00B0";
    if (text.compare(i, mark.size(), mark) != 0) fuzz::Fail("no degree mark" + where);
    i += mark.size();

    const auto twoDigits = [&](const char* field) {
        if (i + 2 > text.size() || !IsDigit(text[i]) || !IsDigit(text[i + 1]))
            fuzz::Fail(std::string("no two-digit ") + field + where);
        const int value = (text[i] - '0') * 10 + (text[i + 1] - '0');
        if (value >= 60) fuzz::Fail(std::string("60 or more ") + field + where);
        i += 2;
        return value;
    };
    const int minutes = twoDigits("minutes");
    if (i >= text.size() || text[i++] != '\'') fuzz::Fail("no minute mark" + where);
    double seconds = twoDigits("seconds");
    if (r.decimals > 0) {
        if (i >= text.size() || text[i++] != r.separator) fuzz::Fail("no decimal separator" + where);
        double unit = 1;
        for (int k = 0; k < r.decimals; ++k, ++i) {
            if (i >= text.size() || !IsDigit(text[i])) fuzz::Fail("too few decimals" + where);
            unit /= 10;
            seconds += (text[i] - '0') * unit;
        }
    }
    if (i >= text.size() || text[i++] != '"') fuzz::Fail("no second mark" + where);
    const char letter = angle < 0 ? (lat ? 'S' : 'W') : (lat ? 'N' : 'E');
    if (i + 1 != text.size() || text[i] != letter) fuzz::Fail("wrong hemisphere letter" + where);

    // Half a unit of the last digit, one float rounding of the seconds
    // (2^-19 s near 60, doubled for slack), and the double arithmetic.
    const double tolerance = (0.5 * std::pow(10.0, -r.decimals) + std::ldexp(1.0, -18) + 1e-9) / 3600;
    const double shown = static_cast<double>(degrees) + minutes / 60.0 + seconds / 3600;
    if (!(std::fabs(shown - std::fabs(angle)) <= tolerance))
        fuzz::Fail("text does not stand for " + std::to_string(angle) + where);
}

struct Read {
    double degrees;
    std::vector<std::string> messages;
};

Read ReadAngle(const std::string& text, const char* typ) {
    Read r{};
    try {
        r.degrees = HmsHr(text, typ, [&](const std::string& m) { r.messages.push_back(m); });
    } catch (...) {
        fuzz::Fail(std::string("HmsHr threw on \"") + text + "\" as " + typ);
    }
    return r;
}

void WriteAndReadBack(double angle, bool lat, const Rendering& r) {
    const char* typ = lat ? "LAT" : "LON";
    std::string text;
    try {
        text = HrHms(angle, typ, r.file ? "FILE" : "FORM", r.decimals, r.separator);
    } catch (...) {
        fuzz::Fail("HrHms threw on " + std::to_string(angle));
    }
    CheckRendered(text, angle, lat, r);
    if (std::fabs(angle) > (lat ? 90 : 180)) return;  // beyond the limit HmsHr rightly corrects it
    const Read back = ReadAngle(text, typ);
    if (!back.messages.empty()) fuzz::Fail("own text \"" + text + "\" read back with the message " + back.messages[0]);
    const double tolerance = (0.5 * std::pow(10.0, -r.decimals) + std::ldexp(1.0, -18) + 1e-9) / 3600;
    if (!(std::fabs(back.degrees - angle) <= tolerance))
        fuzz::Fail("own text \"" + text + "\" read back as " + std::to_string(back.degrees));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const Rendering r{static_cast<std::int16_t>((options & 7) % 5), (options & 8) ? ',' : '.', (options & 16) != 0};
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    for (const bool lat : {true, false}) {
        const Read read = ReadAngle(text, lat ? "LAT" : "LON");
        fuzz::Require(std::isfinite(read.degrees), "HmsHr returned a value that is not finite");
        fuzz::Require(std::fabs(read.degrees) <= (lat ? 90 : 180), "HmsHr returned an angle beyond its limit");
        fuzz::Require(read.messages.size() <= 5, "HmsHr showed more than one message per step");
        for (const auto& m : read.messages) {
            fuzz::Require(Cp1252::IsValidUtf8(m), "HmsHr showed a message that is not UTF-8");
            fuzz::Require(m.find(lat ? "LATITUDE" : "LONGITUDE") != std::string::npos,
                          "HmsHr showed a message without the field name");
        }
        WriteAndReadBack(read.degrees, lat, r);
    }

    if (text.size() >= 8) {
        double angle;
        std::memcpy(&angle, text.data(), 8);
        if (std::fabs(angle) <= 180) {
            WriteAndReadBack(angle, true, r);
            WriteAndReadBack(angle, false, r);
        }
    }
    return 0;
}

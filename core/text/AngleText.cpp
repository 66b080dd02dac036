#include "core/text/AngleText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>
#include <vector>

#include <fmt/format.h>

#include "core/text/Cp1252.h"
#include "core/text/Floats.h"

namespace {

constexpr std::string_view kDegreeMark = "\u00B0";      // °
constexpr std::string_view kFileDegreeMark = "\u00F8";  // ø, code 248 of Windows-1252
constexpr int kFileDegreeCode = 248;

bool EqualsIgnoreCase(const std::string& text, std::string_view upper) {
    return std::equal(text.begin(), text.end(), upper.begin(), upper.end(), [](char a, char b) {
        return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 32) : a) == b;
    });
}

AngleKind KindOf(const std::string& Typ) { return EqualsIgnoreCase(Typ, "LAT") ? AngleKind::Latitude : AngleKind::Longitude; }

void AppendPadded(std::string& out, std::string_view digits, std::size_t width) {
    if (digits.size() < width) out.append(width - digits.size(), '0');
    out.append(digits);
}

// One character of the typed text, classed by its Windows-1252 code; -1 for
// a character the code page cannot hold and for an invalid UTF-8 byte, which
// thereby separate fields like any other non-digit.
struct Char {
    int code;
    char32_t codePoint;  // U+FFFD for an invalid byte, so messages stay valid UTF-8
};

bool IsDigit(const Char& c) { return c.code >= '0' && c.code <= '9'; }
bool IsSecondsChar(const Char& c) { return IsDigit(c) || c.code == ',' || c.code == '.'; }

using Text = std::vector<Char>;

Text Decode(const std::string& utf8) {
    Text text;
    for (const auto& c : Cp1252::DecodeUtf8(utf8)) {
        text.push_back({c.valid ? Cp1252::FromUnicode(c.codePoint) : -1, c.codePoint});
    }
    return text;
}

// Only the blank itself is a space here; a tab is an ordinary separator.
std::size_t SkipSpaces(const Text& text, std::size_t b, std::size_t e) {
    while (b < e && text[b].code == ' ') ++b;
    return b;
}

// Whole degrees and minutes are 16-bit counts: false when the digits exceed 32767.
bool ReadCount(const Text& text, std::size_t b, std::size_t e, int& count) {
    count = 0;
    for (std::size_t k = b; k < e; ++k) {
        count = count * 10 + (text[k].code - '0');
        if (count > 32767) return false;
    }
    return true;
}

// The seconds: the longest leading number of digits and at most one point
// (a comma counting as a point), held as a 32-bit float. False when it lies
// beyond the float range; a value too small for a float is 0.
bool ReadSeconds(const Text& text, std::size_t b, std::size_t e, float& seconds) {
    std::string whole, fraction;
    bool point = false;
    for (std::size_t k = b; k < e; ++k) {
        if (IsDigit(text[k])) {
            (point ? fraction : whole) += static_cast<char>(text[k].code);
        } else if (point) {
            break;  // a second point ends the number
        } else {
            point = true;
        }
    }
    const std::string number = (whole.empty() ? "0" : whole) + "." + (fraction.empty() ? "0" : fraction);
    seconds = 0.0f;
    const auto [end, ec] = ParseFloat(number.data(), number.data() + number.size(), seconds, FloatForm::Fixed);
    if (ec == std::errc::result_out_of_range) {
        seconds = 0.0f;
        return whole.find_first_not_of('0') == std::string::npos;
    }
    return true;
}

std::string Utf8(const Text& text, std::size_t b, std::size_t e) {
    std::string out;
    for (std::size_t k = b; k < e; ++k) Cp1252::AppendUtf8(out, text[k].codePoint);
    return out;
}

// How the reading of the fields ended.
enum class Outcome { Fault, Checks, Letter };

}  // namespace

std::string HrHms(const double& Coo, const std::string& Typ, const std::string& Opt,
                  const std::int16_t& iDecimals, char decimalSeparator) {
    return HrHms(Coo, KindOf(Typ), EqualsIgnoreCase(Opt, "FILE") ? AngleStyle::File : AngleStyle::Form, iDecimals,
                 decimalSeparator);
}

std::string HrHms(double Coo, AngleKind kind, AngleStyle style, std::int16_t iDecimals, char decimalSeparator) {
    const bool lat = kind == AngleKind::Latitude;
    const int n = std::clamp<int>(iDecimals, 0, 4);
    const double a = std::fabs(Coo);

    // T = 60 - 5 * 10^-(n+1): the smallest seconds value that would show as 60.
    double T = 59;
    for (int i = 1; i <= n; ++i) T += 9 * std::pow(10.0, -i);
    T += 5 * std::pow(10.0, -(n + 1));

    // Whole degrees are kept as an integral double rather than the 16-bit
    // count: exact for every input, so a huge angle neither wraps nor
    // overflows. Infinity and NaN keep their names in the degree field.
    double D = std::floor(a);
    int M = 0;
    float S = 0;
    if (std::isfinite(a)) {
        M = static_cast<int>(std::floor((a - D) * 60));
        S = static_cast<float>(((a - D) * 60 - M) * 60);
    }
    if (S >= T) {
        S = 0;
        M = M + 1;
    }
    if (M == 60) {
        M = 0;
        D = D + 1;
    }

    // Seconds rounded half up to n decimals. The float times 10^n is exact in
    // a double (24 + 14 bits), so the halfway cases are decided on the float's
    // own value.
    constexpr std::int64_t kScale[5] = {1, 10, 100, 1000, 10000};
    const std::int64_t scale = kScale[n];
    const auto units = static_cast<std::int64_t>(std::floor(static_cast<double>(S) * scale + 0.5));

    char buffer[400];
    std::string out;
    AppendPadded(out, std::string_view(buffer, fmt::format_to(buffer, "{:.0f}", D) - buffer), lat ? 2 : 3);
    out += style == AngleStyle::File ? kFileDegreeMark : kDegreeMark;
    auto r = std::to_chars(buffer, buffer + sizeof buffer, M);
    AppendPadded(out, std::string_view(buffer, r.ptr - buffer), 2);
    out += '\'';
    r = std::to_chars(buffer, buffer + sizeof buffer, units / scale);
    AppendPadded(out, std::string_view(buffer, r.ptr - buffer), 2);
    if (n > 0) {
        // A separator outside ASCII is taken as its Windows-1252 character,
        // so the text stays valid UTF-8.
        Cp1252::AppendUtf8(out, Cp1252::ToUnicode(static_cast<unsigned char>(decimalSeparator)));
        r = std::to_chars(buffer, buffer + sizeof buffer, units % scale);
        AppendPadded(out, std::string_view(buffer, r.ptr - buffer), static_cast<std::size_t>(n));
    }
    out += '"';
    out += Coo < 0 ? (lat ? 'S' : 'W') : (lat ? 'N' : 'E');
    return out;
}

double HmsHr(const std::string& Coord, const std::string& Typ,
             const std::function<void(const std::string&)>& showMessage) {
    return HmsHr(Coord, KindOf(Typ), showMessage);
}

double HmsHr(const std::string& Coord, AngleKind kind, const std::function<void(const std::string&)>& showMessage) {
    const bool lat = kind == AngleKind::Latitude;
    const std::string field = lat ? "LATITUDE" : "LONGITUDE";
    const auto show = [&](const std::string& message) {
        if (showMessage) showMessage(message);
    };

    const Text text = Decode(Coord);
    std::size_t b = SkipSpaces(text, 0, text.size());
    std::size_t e = text.size();
    while (e > b && text[e - 1].code == ' ') --e;
    if (b == e) {
        show(field + " FORMAT ERROR. ");
        return 0;
    }

    char32_t H = lat ? U'N' : U'E';
    if (text[b].code == '-') {
        H = lat ? U'S' : U'W';
        b = SkipSpaces(text, b + 1, e);
    }

    // Degrees, minutes and seconds, each ended by its first separator. A
    // separator that is the last character is either the field's own mark,
    // ending the text without a letter, or the letter itself.
    int D = 0, M = 0;
    float S = 0;
    std::size_t letterBegin = b, letterEnd = e;
    const auto readFields = [&]() {
        if (b == e) return Outcome::Letter;  // a lone "-": an empty letter text
        const int marks[3] = {kFileDegreeCode, '\'', '"'};
        for (int f = 0; f < 3; ++f) {
            std::size_t i = b;
            while (i < e && (f == 2 ? IsSecondsChar(text[i]) : IsDigit(text[i]))) ++i;
            const bool ok = f == 0 ? ReadCount(text, b, i, D)
                          : f == 1 ? ReadCount(text, b, i, M)
                                   : ReadSeconds(text, b, i, S);
            if (!ok) return Outcome::Fault;
            if (i == e) return Outcome::Checks;
            if (i + 1 == e) {
                if (text[i].code == marks[f]) return Outcome::Checks;
                letterBegin = i;
                return Outcome::Letter;
            }
            b = SkipSpaces(text, i + 1, e);
        }
        letterBegin = b;  // what follows the seconds' separator
        return Outcome::Letter;
    };

    const Outcome outcome = readFields();
    if (outcome == Outcome::Fault) {
        show(field + " FORMAT ERROR. ");
        return 0;
    }
    if (outcome == Outcome::Letter) {
        if (letterEnd - letterBegin == 1) {
            const Char& c = text[letterBegin];
            const auto code = static_cast<unsigned char>(c.code);
            H = c.code < 0 ? c.codePoint : Cp1252::ToUnicode(Cp1252::UpperCase(code));
            // Ø and V, the Scandinavian east (øst) and west (vest).
            if (!lat && H == U'\u00D8') H = U'E';
            if (!lat && H == U'V') H = U'W';
        } else {
            show(Utf8(text, letterBegin, letterEnd) + "!   " + field + " CHARACTER FORMAT ERROR. Default, " +
                 (lat ? "N" : "E") + ", used");
            H = lat ? U'N' : U'E';
        }
    }

    // Limits are checked on the angle as typed; seconds and minutes beyond 59
    // are not carried, only bumped by one.
    const double V = static_cast<double>(S) / 60 / 60 + (static_cast<double>(M) / 60 + D);
    if (lat && V > 90) {
        show(field + " FORMAT ERROR. Max 90 deg allowed");
        D = 90, M = 0, S = 0;
    }
    if (!lat && V > 180) {
        show(field + " FORMAT ERROR. Max 180 deg allowed");
        D = 180, M = 0, S = 0;
    }
    if (S >= 60) {
        show(field + " SECOND FORMAT ERROR. Max 59.9999 allowed");
        M = M + 1, S = 0;
    }
    if (M >= 60) {
        show(field + " MINUTE FORMAT ERROR. Max 59 allowed");
        D = D + 1, M = 0;
    }
    if (lat && H != U'N' && H != U'S') {
        show(field + " FORMAT ERROR. Default, N, used");
        H = U'N';
    }
    if (!lat && H != U'E' && H != U'W') {
        show(field + " FORMAT ERROR. Default, E, used");
        H = U'E';
    }

    double R = static_cast<double>(S) / 60 / 60 + (static_cast<double>(M) / 60 + D);
    if (H == U'S' || H == U'W') R = -R;
    return R;
}

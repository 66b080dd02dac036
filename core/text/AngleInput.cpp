#include "core/text/AngleInput.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "core/text/Floats.h"

namespace BatchInput {

namespace {

constexpr std::size_t kQuoteLimit = 40;  // bytes of input shown in a message

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Hemisphere(char c) {
    const char u = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return (u == 'N' || u == 'S' || u == 'E' || u == 'W') ? u : 0;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The mark that may follow the k-th number (0 degrees, 1 minutes, 2 seconds)
// at the start of s: its length in bytes and which number it belongs to, or
// length 0 when s does not start with a mark.
struct Mark {
    std::size_t length = 0;
    int belongsTo = -1;
};
Mark MarkAt(std::string_view s) {
    if (s.starts_with("\u00B0")) return {2, 0};  // °
    if (s.starts_with("\xB0")) return {1, 0};    // ° in Windows-1252
    if (s.starts_with("'")) return {1, 1};
    if (s.starts_with("\u2032")) return {3, 1};  // ′
    if (s.starts_with("\"")) return {1, 2};
    if (s.starts_with("\u2033")) return {3, 2};  // ″
    return {};
}

// The first comma, semicolon or tab (a plain loop: this runs for every line).
std::size_t FindSeparator(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ',' || s[i] == ';' || s[i] == '\t') return i;
    }
    return std::string_view::npos;
}

const char* const kMarkNames[3] = {"the degree mark", "the minute mark", "the second mark"};

}  // namespace

std::string Quote(std::string_view text) {
    std::size_t cut = text.size();
    if (cut > kQuoteLimit) {
        cut = kQuoteLimit;
        // Never cut a UTF-8 character in two.
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    }
    std::string quoted(1, '"');
    quoted.append(text.substr(0, cut));
    if (cut < text.size()) quoted.append("...");
    quoted.push_back('"');
    return quoted;
}

namespace {

// An angle's text in pieces: its sign, up to three numbers, its letter.
struct Pieces {
    struct Number {
        std::size_t begin, end;
        bool point;
    };
    Number numbers[3]{};
    int count = 0;
    char letter = 0;
    bool sign = false, negative = false;
};

// One number and the mark or colon after it, from text[i]; the reason where
// the text cannot be an angle there.
const char* ScanNumber(std::string_view text, std::size_t& i, Pieces& p) {
    if (p.count == 3) return "more than three numbers";
    const std::size_t begin = i, n = text.size();
    bool point = false;
    int digits = 0;
    for (; i < n && (IsDigit(text[i]) || (text[i] == '.' && !point)); ++i) {
        if (text[i] == '.') point = true;
        else ++digits;
    }
    if (digits == 0) return "a point without digits";
    p.numbers[p.count] = {begin, i, point};
    const Mark mark = MarkAt(text.substr(i));
    if (mark.length > 0) {
        if (mark.belongsTo != p.count) return nullptr;  // the caller names the mark
        i += mark.length;
    } else if (i < n && text[i] == ':') {
        ++i;
        if (i == n || !(IsDigit(text[i]) || text[i] == '.')) return "no number after ':'";
    }
    ++p.count;
    while (i < n && IsBlank(text[i])) ++i;
    return "";
}

// The pieces of an angle's text, or the reason it has none.
std::string Scan(std::string_view text, Pieces& p) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        p.sign = true;
        p.negative = text[i] == '-';
        ++i;
    }
    while (i < n) {
        const char c = text[i];
        if (IsDigit(c) || c == '.') {
            const char* reason = ScanNumber(text, i, p);
            if (!reason) {
                const Mark mark = MarkAt(text.substr(i));
                return std::string(kMarkNames[mark.belongsTo]) + " after the " +
                       (p.count == 0 ? "degrees" : p.count == 1 ? "minutes" : "seconds");
            }
            if (*reason) return reason;
        } else if (p.count > 0 && Hemisphere(c)) {
            p.letter = Hemisphere(c);
            for (++i; i < n && IsBlank(text[i]);) ++i;
            if (i != n) return "text after the hemisphere letter";
        } else {
            return p.count == 0 ? "not a number" : "unexpected character";
        }
    }
    if (p.count == 0) return text.empty() ? "empty" : "no number";
    return {};
}

// Whether the pieces make one of the accepted forms, for a latitude or a longitude.
std::string CheckForm(const Pieces& p, bool lat) {
    if (p.letter) {
        if (p.sign) return "a sign and a hemisphere letter";
        if (lat && p.letter != 'N' && p.letter != 'S') return std::string(1, p.letter) + " is no hemisphere of a latitude";
        if (!lat && p.letter != 'E' && p.letter != 'W') return std::string(1, p.letter) + " is no hemisphere of a longitude";
    }
    for (int k = 0; k + 1 < p.count; ++k)
        if (p.numbers[k].point) return "only the last number may have decimals";
    if (p.count == 2 && p.numbers[1].point) return "decimal minutes; give the seconds as a third number";
    return {};
}

// The numbers of the pieces, as the window holds them.
std::string Values(std::string_view text, const Pieces& p, AngleParts& parts) {
    const auto span = [&](int k) {
        return std::pair(text.data() + p.numbers[k].begin, text.data() + p.numbers[k].end);
    };
    parts.count = p.count;
    if (p.count == 1) {
        const auto [b, e] = span(0);
        const auto r = ParseFloat(b, e, parts.decimalDegrees, FloatForm::Fixed);
        return r.ec != std::errc() || r.ptr != e ? "not a number" : "";
    }
    int* whole[2] = {&parts.degrees, &parts.minutes};
    for (int k = 0; k < 2; ++k) {
        const auto [b, e] = span(k);
        const auto r = std::from_chars(b, e, *whole[k]);
        if (r.ec != std::errc() || r.ptr != e) return "out of range";
    }
    if (parts.minutes >= 60) return "minutes must be below 60";
    if (p.count == 3) {
        const auto [b, e] = span(2);
        const auto r = ParseFloat(b, e, parts.seconds, FloatForm::Fixed);
        if (r.ec != std::errc() || r.ptr != e) return "out of range";
        // Checked on the float the window holds: 59.99999999 is 60 there.
        if (parts.seconds >= 60.0f) return "seconds must be below 60";
    }
    return {};
}

}  // namespace

bool ParseAngle(std::string_view text, AngleKind kind, AngleParts& parts, std::string& error) {
    parts = AngleParts{};
    const bool lat = kind == AngleKind::Latitude;
    text = Trim(text);
    Pieces p;
    std::string reason = Scan(text, p);
    if (reason.empty()) reason = CheckForm(p, lat);
    parts.negative = p.letter ? p.letter == 'S' || p.letter == 'W' : p.negative;
    if (reason.empty()) reason = Values(text, p, parts);
    if (reason.empty()) {
        const double magnitude = std::fabs(AngleDegrees(parts));
        if (lat && magnitude > 90.0) reason = "beyond 90 degrees";
        if (!lat && magnitude > 180.0) reason = "beyond 180 degrees";
    }
    if (reason.empty()) return true;
    error = std::string(lat ? "latitude " : "longitude ") + Quote(text) + ": " + reason;
    return false;
}

double AngleDegrees(const AngleParts& p) {
    double v = p.decimalDegrees;
    if (p.count > 1) {
        const double S = p.count == 3 ? static_cast<double>(p.seconds) : 0.0;
        v = S / 60 / 60 + (static_cast<double>(p.minutes) / 60 + p.degrees);
    }
    return p.negative ? -v : v;
}

bool ReadAngle(std::string_view text, AngleKind kind, double& degrees, std::string& error) {
    AngleParts parts;
    if (!ParseAngle(text, kind, parts, error)) return false;
    degrees = AngleDegrees(parts);
    return true;
}

bool ReadNumber(std::string_view text, double& value) {
    text = Trim(text);
    // from_chars takes no plus sign, but would take "inf", "nan" and "--5".
    std::size_t start = (!text.empty() && (text.front() == '+' || text.front() == '-')) ? 1 : 0;
    if (start == text.size() || !(IsDigit(text[start]) || text[start] == '.')) return false;
    if (text.front() == '+') text.remove_prefix(1);
    const char* end = text.data() + text.size();
    const auto r = ParseFloat(text.data(), end, value, FloatForm::General);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(value);
}

bool SplitLine(std::string_view line, bool angles, std::string_view& first, std::string_view& second,
               std::string& error) {
    line = Trim(line);
    const std::size_t cut = FindSeparator(line);
    if (cut != std::string_view::npos) {
        first = Trim(line.substr(0, cut));
        second = Trim(line.substr(cut + 1));
        if (FindSeparator(second) != std::string_view::npos) {
            error = "more than two fields";
            return false;
        }
        if (first.empty() || second.empty()) {
            error = "an empty field";
            return false;
        }
        return true;
    }

    // Blanks only: find the words.
    std::size_t words = 0, firstEnd = std::string_view::npos, secondBegin = 0;
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t begin = i;
        while (i < line.size() && line[i] != ' ') ++i;
        ++words;
        if (words == 1) firstEnd = i;
        if (words == 2) secondBegin = begin;
        while (i < line.size() && line[i] == ' ') ++i;
    }
    if (words == 2) {
        first = line.substr(0, firstEnd);
        second = line.substr(secondBegin);
        return true;
    }
    if (words < 2 || !angles) {
        error = "expected two co-ordinates, found " + std::to_string(words) +
                (words == 1 ? " field" : " fields");
        return false;
    }
    // Degree-minute-second text with blanks: the latitude ends at its letter.
    for (std::size_t i = 0; i < line.size();) {
        while (i < line.size() && line[i] != ' ') ++i;
        if (Hemisphere(line[i - 1])) {
            const std::string_view rest = Trim(line.substr(i));
            if (rest.empty()) break;
            first = line.substr(0, i);
            second = rest;
            return true;
        }
        while (i < line.size() && line[i] == ' ') ++i;
    }
    error = "cannot tell where the latitude ends: end it with its hemisphere letter, "
            "or separate the co-ordinates with a comma, semicolon or tab";
    return false;
}

}  // namespace BatchInput

// The settings reader on arbitrary contents of TARVANE.ini, in a private
// temporary directory. It must not crash or hang, and must either read all
// thirteen values or say iZone = -99 (its result saying the same). It runs
// twice, each time over other caller values: a read that claims success must
// have written every value, the same each time. Against the lines as split
// here: a file of thirteen lines of at most 4 KiB whose integer lines hold
// numbers in their ranges is read, and a file that is read is such a file;
// the texts are UTF-8 without line ends, and in a plain ASCII file they are
// the lines themselves.
//
// Input: the bytes of the file.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "core/text/Cp1252.h"
#include "tests/fuzz/FuzzSupport.h"
#include "core/settings/Settings.h"

namespace {

struct Directory {
    std::string path = "/tmp/tarvane-fuzz-settings-XXXXXX";
    Directory() { fuzz::Require(::mkdtemp(path.data()) != nullptr, "cannot make a temporary directory"); }
    ~Directory() { ::unlink((path + "/TARVANE.ini").c_str()), ::rmdir(path.c_str()); }
};

// Lines end at CR LF, LF or a lone CR; a last line without its end counts.
std::vector<std::string_view> SplitLines(std::string_view data) {
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < data.size() && lines.size() < 13;) {
        const std::size_t end = std::min(data.find_first_of("\r\n", pos), data.size());
        lines.push_back(data.substr(pos, end - pos));
        pos = end + (data.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// A whole number with blanks or tabs around it and an optional sign, in [min, max].
bool WholeNumber(std::string_view s, long min, long max, long& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    const bool negative = !s.empty() && s.front() == '-';
    if (!s.empty() && (s.front() == '+' || negative)) s.remove_prefix(1);
    if (s.empty()) return false;
    long v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        v = std::min(v * 10 + (c - '0'), 1'000'000L);
    }
    value = negative ? -v : v;
    return value >= min && value <= max;
}

// The integer lines with their ranges, and the text lines, in file order.
struct IntegerLine {
    std::size_t line;
    long min, max;
};
constexpr IntegerLine kIntegers[] = {{0, 0, 2}, {1, -1, 6}, {2, 0, 2}, {3, 0, 1}, {6, INT16_MIN, INT16_MAX}};
constexpr std::size_t kTextLines[] = {4, 5, 7, 8, 9, 10, 11, 12};

// Caller values that differ in every field between the two reads and that no file can give.
TarvaneSettings Sentinel(int k) {
    const auto n = static_cast<std::int16_t>(1000 + k);
    const std::string t = "\n" + std::to_string(k);
    return {n, n, n, n, t, t, static_cast<std::int16_t>(k + 1), t, t, t, t, t, t};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Directory directory;
    const std::string path = directory.path + "/TARVANE.ini";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::Require(static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes), "cannot write the file");

    TarvaneSettings read[2] = {Sentinel(0), Sentinel(1)};
    for (auto& s : read) fuzz::Require(Read_Tarvane_File(path, s) == (s.iZone != -99), "result and iZone disagree");
    const bool failed = read[0].iZone == -99;
    fuzz::Require(failed == (read[1].iZone == -99), "the same file read once with -99 and once without");

    const auto lines = SplitLines(bytes);
    bool readable = lines.size() == 13;
    for (const auto& [line, min, max] : kIntegers) {
        long v = 0;
        readable = readable && WholeNumber(lines[line], min, max, v);
    }
    for (const auto& line : lines) readable = readable && line.size() <= 4096;
    if (failed) {
        fuzz::Require(!readable, "a well-formed file gave iZone = -99");
        return 0;
    }

    const TarvaneSettings& s = read[0];
    fuzz::Require(s == read[1], "a read that claims success left a caller value in place");
    fuzz::Require(lines.size() == 13, "a file of fewer than thirteen lines was read");
    const long integers[] = {s.iOption, s.iZone, s.iDatum, s.iUnit, s.iParallels};
    for (std::size_t k = 0; k < 5; ++k)
        fuzz::Require(integers[k] >= kIntegers[k].min && integers[k] <= kIntegers[k].max,
                      "an integer was read outside its range");
    const std::string* texts[] = {&s.currentLat,  &s.currentLon,      &s.OriginLat,     &s.SouthernLat,
                                  &s.NorthernLat, &s.CentralMeridian, &s.FalseNorthing, &s.FalseEasting};
    for (const std::string* text : texts) {
        fuzz::Require(Cp1252::IsValidUtf8(*text), "a text was read that is not UTF-8");
        fuzz::Require(text->find_first_of("\r\n") == std::string::npos, "a text was read with a line end");
    }

    const auto high = [](std::string_view l) { return std::any_of(l.begin(), l.end(), [](char c) { return c & 0x80; }); };
    if (std::any_of(lines.begin(), lines.end(), high)) return 0;  // read as UTF-8 or as the code page
    for (std::size_t k = 0; k < 5; ++k) {
        long v = 0;
        fuzz::Require(WholeNumber(lines[kIntegers[k].line], INT16_MIN, INT16_MAX, v) && v == integers[k],
                      "an integer was read that its line does not hold");
    }
    for (std::size_t k = 0; k < 8; ++k)
        fuzz::Require(*texts[k] == lines[kTextLines[k]], "a text was read that is not its line");
    return 0;
}

// Read_Tarvane on arbitrary contents of TARVANE.ini, written into a private
// temporary directory.
//
// The reader must not crash or hang, and must either read all thirteen values
// or say iZone = -99. It runs twice over the same file, each time with other
// values in the caller's variables: a read that claims success must have
// written every one of them, the same each time. Beside that, checked against
// a reading of the lines done here: a file of at least thirteen lines whose
// integer lines hold in-range 16-bit numbers is read; a file that is read has
// at least thirteen lines; the texts are UTF-8 without line ends, and for a
// plain ASCII file they are the lines themselves.
//
// Input: the bytes of the file.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "Cp1252.h"
#include "FuzzSupport.h"
#include "Settings.h"

namespace {

constexpr std::size_t kLines = 13;

struct Directory {
    std::string path;
    Directory() {
        char name[] = "/tmp/tarvane-fuzz-settings-XXXXXX";
        if (!::mkdtemp(name)) fuzz::Fail("cannot make a temporary directory");
        path = name;
    }
    ~Directory() {
        ::unlink((path + "/TARVANE.ini").c_str());
        ::rmdir(path.c_str());
    }
};

const Directory& Scratch() {
    static const Directory directory;
    return directory;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) fuzz::Fail("cannot write " + path);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) fuzz::Fail("cannot write " + path);
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

// Read_Tarvane reads from the current directory. The directory is entered
// only around the call: libFuzzer opens its corpus files by the paths it was
// given, which may be relative.
void ReadIn(const std::string& directory, TarvaneSettings& s) {
    const int here = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (here < 0 || ::chdir(directory.c_str()) != 0) fuzz::Fail("cannot enter " + directory);
    Read_Tarvane(s.iOption, s.iZone, s.iDatum, s.iUnit, s.currentLat, s.currentLon, s.iParallels, s.OriginLat,
                 s.SouthernLat, s.NorthernLat, s.CentralMeridian, s.FalseNorthing, s.FalseEasting);
    if (::fchdir(here) != 0) fuzz::Fail("cannot go back to the working directory");
    ::close(here);
}

// Lines end at CR LF, LF or a lone CR; a last line without its end counts.
std::vector<std::string_view> SplitLines(std::string_view data) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < data.size() && lines.size() < kLines) {
        const std::size_t end = std::min(data.find_first_of("\r\n", pos), data.size());
        lines.push_back(data.substr(pos, end - pos));
        pos = end + (data.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// A 16-bit whole number with blanks or tabs around it and an optional sign.
bool WholeNumber(std::string_view s, long& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    long v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        v = std::min(v * 10 + (c - '0'), 1'000'000L);
    }
    value = negative ? -v : v;
    return value >= INT16_MIN && value <= INT16_MAX;
}

// Line index, range of an integer line.
struct IntegerLine {
    std::size_t line;
    long min, max;
};
constexpr IntegerLine kIntegers[] = {{0, 0, 2}, {1, -1, 6}, {2, 0, 2}, {3, 0, 1}, {6, INT16_MIN, INT16_MAX}};

std::vector<long> IntegersOf(const TarvaneSettings& s) {
    return {s.iOption, s.iZone, s.iDatum, s.iUnit, s.iParallels};
}
std::vector<const std::string*> TextsOf(const TarvaneSettings& s) {
    return {&s.currentLat, &s.currentLon, &s.OriginLat, &s.SouthernLat, &s.NorthernLat,
            &s.CentralMeridian, &s.FalseNorthing, &s.FalseEasting};
}
constexpr std::size_t kTextLines[] = {4, 5, 7, 8, 9, 10, 11, 12};

// Two sets of caller values that differ in every field and that no file can give.
TarvaneSettings Sentinel(int k) {
    const std::int16_t n = static_cast<std::int16_t>(1000 + k);
    const std::string t = "\n" + std::to_string(k);
    TarvaneSettings s{n, n, n, n, t, t, static_cast<std::int16_t>(k == 0 ? 1 : 2), t, t, t, t, t, t};
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& directory = Scratch().path;
    WriteFile(directory + "/TARVANE.ini", data, size);

    TarvaneSettings read[2] = {Sentinel(0), Sentinel(1)};
    for (auto& s : read) ReadIn(directory, s);

    const bool failed = read[0].iZone == -99;
    fuzz::Require(failed == (read[1].iZone == -99), "the same file read once with -99 and once without");

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = SplitLines(bytes);
    bool readable = lines.size() == kLines;
    for (const auto& [line, min, max] : kIntegers) {
        long v = 0;
        readable = readable && WholeNumber(lines[line], v) && v >= min && v <= max;
    }
    for (const auto& line : lines) readable = readable && line.size() <= 4096;
    if (failed) {
        fuzz::Require(!readable, "a well-formed file gave iZone = -99");
        return 0;
    }

    fuzz::Require(read[0] == read[1], "a read that claims success left a caller value in place");
    fuzz::Require(lines.size() == kLines, "a file of fewer than thirteen lines was read");
    const auto integers = IntegersOf(read[0]);
    for (std::size_t k = 0; k < integers.size(); ++k)
        fuzz::Require(integers[k] >= kIntegers[k].min && integers[k] <= kIntegers[k].max,
                      "an integer was read outside its range");
    const auto texts = TextsOf(read[0]);
    for (const std::string* text : texts) {
        fuzz::Require(Cp1252::IsValidUtf8(*text), "a text was read that is not UTF-8");
        fuzz::Require(text->find_first_of("\r\n") == std::string::npos, "a text was read with a line end");
    }

    const bool ascii = std::all_of(lines.begin(), lines.end(), [](std::string_view line) {
        return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    });
    if (ascii) {
        for (std::size_t k = 0; k < integers.size(); ++k) {
            long v = 0;
            fuzz::Require(WholeNumber(lines[kIntegers[k].line], v) && v == integers[k],
                          "an integer was read that its line does not hold");
        }
        for (std::size_t k = 0; k < texts.size(); ++k)
            fuzz::Require(*texts[k] == lines[kTextLines[k]], "a text was read that is not its line");
    }
    return 0;
}

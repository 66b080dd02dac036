// TARVANE.ini: the exact bytes, what reads back, what does not, and a save that fails at each step.
#include "core/settings/Settings.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;
const char* const kName = "TARVANE.ini";

// Each test works in a fresh directory of its own, since the file name is fixed.
class Settings : public ::testing::Test {
    void SetUp() override {
        std::string dir = (fs::temp_directory_path() / "tarvane-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(dir.data()), nullptr);
        fs::current_path(dir);
    }
    void TearDown() override { Reset_Settings_File_Calls(); fs::remove_all(fs::current_path()); }
};

void Put(const std::string& bytes) { std::ofstream(kName, std::ios::binary) << bytes; }
std::string Get() { return (std::ostringstream() << std::ifstream(kName, std::ios::binary).rdbuf()).str(); }

// What the caller holds before reading, and what a first run stores when the user leaves at once.
const TarvaneSettings kCaller{9, 9, 9, 9, "c5", "c6", 9, "c8", "c9", "c10", "c11", "c12", "c13"};
const TarvaneSettings kFirstRun{0, -1, 0, 0, "30°00'00.000\"N", "080°00'00.000\"W", 2, "25°00'00.000\"N",
                                "20°00'00.000\"N", "40°00'00.000\"N", "075°00'00.000\"W", "1000000.0 m", "500000.0 m"};
const std::vector<std::string> kFirstRunLines{
    " 0 ", "-1 ", " 0 ", " 0 ", "30\xB0" "00'00.000\"N", "080\xB0" "00'00.000\"W", " 2 ", "25\xB0" "00'00.000\"N",
    "20\xB0" "00'00.000\"N", "40\xB0" "00'00.000\"N", "075\xB0" "00'00.000\"W", "1000000.0 m", "500000.0 m"};

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    return std::accumulate(lines.begin(), lines.end(), std::string(), [&](auto s, auto& l) { return s + l + end; });
}

TarvaneSettings ReadFile() {
    TarvaneSettings s = kCaller;
    Read_Tarvane(s.iOption, s.iZone, s.iDatum, s.iUnit, s.currentLat, s.currentLon, s.iParallels, s.OriginLat,
                 s.SouthernLat, s.NorthernLat, s.CentralMeridian, s.FalseNorthing, s.FalseEasting);
    return s;
}

// The thirteen values as texts in file order, so that a read compares line by line.
std::vector<std::string> Fields(const TarvaneSettings& s) {
    const auto n = [](int v) { return std::to_string(v); };
    return {n(s.iOption), n(s.iZone), n(s.iDatum), n(s.iUnit), s.currentLat, s.currentLon, n(s.iParallels),
            s.OriginLat, s.SouthernLat, s.NorthernLat, s.CentralMeridian, s.FalseNorthing, s.FalseEasting};
}

// A read that fails on `line` keeps the values before it and the caller's after it; iZone is -99.
std::vector<std::string> FailedAt(int line) {
    std::vector<std::string> fields = Fields(kCaller), read = Fields(kFirstRun);
    std::copy_n(read.begin(), line - 1, fields.begin());
    fields[1] = "-99";
    return fields;
}

// The first run's exact bytes; then each text goes into all eight text fields at once, `back` being what is read.
TEST_F(Settings, WritesExactBytesThatReadBack) {
    const TarvaneSettings& d = kFirstRun;
    std::string reason;
    ASSERT_TRUE(Write_Tarvane(d, reason)) << reason;
    EXPECT_EQ(Get(), Join(kFirstRunLines));
    const struct { const char* text; const char* back; std::int16_t i[5] = {0, -1, 0, 0, 0}; } cases[] = {
        {"   ", "   ", {2, 6, 2, 1, -32768}}, {"", "", {1, 0, 1, 0, 32767}}, {"Ω 東", "? ?"} /* not in the code page */,
        {"a\r\nb\nc", "a  b c"} /* would shift every later line */, {"bad \xFF utf-8", "bad ? utf-8"},
    };
    for (const auto& [text, back, i] : cases) {
        const std::string t = text, b = back;
        ASSERT_TRUE(Write_Tarvane({i[0], i[1], i[2], i[3], t, t, i[4], t, t, t, t, t, t}, reason));
        EXPECT_EQ(ReadFile(), (TarvaneSettings{i[0], i[1], i[2], i[3], b, b, i[4], b, b, b, b, b, b})) << text;
    }
}

// Each file with what it reads as: files from other editors, files that end early or hold a line the reader
// refuses, and files it must not hang on.
TEST_F(Settings, ReadsEachFileAsFarAsItGoes) {
    EXPECT_EQ(Fields(ReadFile()), FailedAt(1)) << "no file";
    std::vector<std::string> utf8 = kFirstRunLines, signs = kFirstRunLines;
    for (int i : {4, 5, 7, 8, 9, 10}) utf8[i].replace(utf8[i].find('\xB0'), 1, "°");
    signs[0] = "\t+1\t", signs[2] = "-0", signs[6] = "0002";
    const std::vector<std::string> first = Fields(kFirstRun);
    const auto with = [&](int i, const std::string& value) { auto f = first; f[i] = value; return f; };
    const std::string crlf = Join(kFirstRunLines), twelve = Join({kFirstRunLines.begin(), kFirstRunLines.end() - 1});
    const std::string wide(4096, 'x');
    std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {Join(kFirstRunLines, "\n"), first},                  {Join(kFirstRunLines, "\r"), first},
        {crlf.substr(0, crlf.size() - 2), first},             {Join(utf8), first},
        {"\xEF\xBB\xBF" + Join(utf8, "\n"), first},           {Join(signs), with(0, "1")},
        {twelve, FailedAt(13)},                               {twelve.substr(0, twelve.size() - 2), FailedAt(13)},
        {"", FailedAt(1)},                                    {crlf.substr(0, crlf.rfind("500")) + "é", with(12, "Ã©")},
        {Join({utf8.begin(), utf8.end() - 1}) + "é\r\n\xFF junk", with(12, "é")},  // UTF-8 up to line 13 only
    };
    // Line and content: a line of 4096 bytes reads, every other content makes the read fail there.
    const std::pair<int, std::string> lines[] = {
        {8, wide}, {1, "3"}, {1, "-1"}, {2, "7"}, {2, "-2"}, {3, "3"}, {4, "2"}, {7, "40000"}, {7, "-32769"}, {7, "abc"},
        {7, ""}, {7, "1 2"}, {7, "1.0"}, {7, "0x10"}, {7, "+-1"}, {7, "99999999999999999999999"}, {5, wide + "x"},
        {13, std::string(4097, ' ')},
    };
    for (const auto& [line, content] : lines) {
        std::vector<std::string> file = kFirstRunLines;
        file[line - 1] = content;
        cases.emplace_back(Join(file), content == wide ? with(7, wide) : FailedAt(line));
    }
    for (const auto& [file, want] : cases) {
        Put(file);
        EXPECT_EQ(Fields(ReadFile()), want) << file.substr(0, 60);
    }
    for (const std::string& head : {crlf, std::string()}) {  // sparse, far beyond memory: only the head is read
        Put(head);
        ASSERT_EQ(::truncate(kName, std::int64_t{1} << 40), 0);
        EXPECT_EQ(Fields(ReadFile()), head.empty() ? FailedAt(1) : first) << "huge file";
    }
    for (const auto make : {+[] { return ::mkdir(kName, 0700); }, +[] { return ::mkfifo(kName, 0600); }}) {
        fs::remove(kName);
        ASSERT_EQ(make(), 0);
        EXPECT_EQ(Fields(ReadFile()), FailedAt(1)) << "not an ordinary file";  // a FIFO read that blocks times out
    }
}

// Each step of the save fails in turn: the old file, its permission bits and the directory are as they were,
// and the reason is the system's. A read-only directory or a full disk fail in these same steps.
TEST_F(Settings, FailedSaveKeepsOldFile) {
    const auto fail = [](int error) { errno = error; return -1; };
    bool first = true;
    SettingsFileCalls create, write, sync, close, rename;
    create.create = [&](const std::string&) { return fail(EACCES); };
    write.write = [&](int fd, const char* data, std::size_t size) -> long {  // short, then the disk is full
        return std::exchange(first, false) ? ::write(fd, data, size / 2) : fail(ENOSPC);
    };
    sync.sync = [&](int) { return fail(EIO); };
    close.close = [&](int fd) { ::close(fd); return fail(EDQUOT); };
    rename.rename = [&](const std::string&, const std::string&) { return fail(EROFS); };
    const std::pair<SettingsFileCalls, const char*> cases[] = {
        {create, "Permission denied"}, {write, "No space left on device"}, {sync, "Input/output error"},
        {close, "Disk quota exceeded"}, {rename, "Read-only file system"},
    };
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    const auto entries = [] { return std::distance(fs::directory_iterator("."), fs::directory_iterator()); };
    Put("old settings\r\n");
    fs::permissions(kName, mode);
    std::string reason;
    for (const auto& [calls, why] : cases) {
        Set_Settings_File_Calls(calls);
        EXPECT_FALSE(Write_Tarvane(kFirstRun, reason)) << why;
        EXPECT_EQ(reason, why);
        EXPECT_EQ(Get(), "old settings\r\n") << why;
        EXPECT_EQ(entries(), 1) << why;  // no new file left behind
    }
    Reset_Settings_File_Calls();
    ASSERT_TRUE(Write_Tarvane(kFirstRun, reason)) << reason;
    EXPECT_EQ(entries(), 1);
    EXPECT_EQ(fs::status(kName).permissions(), mode);
}
}  // namespace

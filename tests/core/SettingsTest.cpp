// TARVANE.ini: the exact bytes, what reads back, what does not, and a save
// that fails at each step.
#include "core/settings/Settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kName = "TARVANE.ini";

// Each test works in a fresh directory of its own, since the file name is fixed.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::current_path();
        std::string dir = (fs::temp_directory_path() / "tarvane-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(dir.data()), nullptr);
        fs::current_path(dir_ = dir);
    }
    void TearDown() override {
        Reset_Settings_File_Calls();
        fs::current_path(home_);
        fs::remove_all(dir_);
    }
    fs::path home_, dir_;
};

void Put(const std::string& bytes) { std::ofstream(kName, std::ios::binary) << bytes; }
std::string Get() {
    std::ifstream in(kName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
// Files in the directory: a failed save leaves no new file behind.
long Entries() { return std::distance(fs::directory_iterator("."), fs::directory_iterator()); }

// What the caller holds before reading; no file gives these values.
const TarvaneSettings kCaller{9, 9, 9, 9, "c5", "c6", 9, "c8", "c9", "c10", "c11", "c12", "c13"};

// What a first run stores when the user leaves at once, in memory and on disk.
const TarvaneSettings kFirstRun{0, -1, 0, 0, "30°00'00.000\"N", "080°00'00.000\"W", 2,
                                "25°00'00.000\"N", "20°00'00.000\"N", "40°00'00.000\"N",
                                "075°00'00.000\"W", "1000000.0 m", "500000.0 m"};
const std::vector<std::string> kFirstRunLines{
    " 0 ", "-1 ", " 0 ", " 0 ", "30\xB0" "00'00.000\"N", "080\xB0" "00'00.000\"W", " 2 ",
    "25\xB0" "00'00.000\"N", "20\xB0" "00'00.000\"N", "40\xB0" "00'00.000\"N",
    "075\xB0" "00'00.000\"W", "1000000.0 m", "500000.0 m"};

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string out;
    for (const auto& l : lines) out += l + end;
    return out;
}

// What a read that fails on `line` gives: the values of the lines before it,
// the caller's after it, and iZone -99.
TarvaneSettings FailedAt(int line) {
    TarvaneSettings s = kCaller;
    const auto keep = [&](auto... fields) {
        int l = 1;
        ((l++ < line ? void(s.*fields = kFirstRun.*fields) : void()), ...);
    };
    using T = TarvaneSettings;
    keep(&T::iOption, &T::iZone, &T::iDatum, &T::iUnit, &T::currentLat, &T::currentLon, &T::iParallels, &T::OriginLat,
         &T::SouthernLat, &T::NorthernLat, &T::CentralMeridian, &T::FalseNorthing, &T::FalseEasting);
    s.iZone = -99;
    return s;
}

TarvaneSettings ReadFile() {
    TarvaneSettings s = kCaller;
    Read_Tarvane(s.iOption, s.iZone, s.iDatum, s.iUnit, s.currentLat, s.currentLon, s.iParallels,
                 s.OriginLat, s.SouthernLat, s.NorthernLat, s.CentralMeridian, s.FalseNorthing,
                 s.FalseEasting);
    return s;
}

// The thirteen values as texts in file order, to compare a read line by line.
std::vector<std::string> Fields(const TarvaneSettings& s) {
    const auto n = [](int v) { return std::to_string(v); };
    return {n(s.iOption), n(s.iZone), n(s.iDatum), n(s.iUnit), s.currentLat, s.currentLon, n(s.iParallels),
            s.OriginLat, s.SouthernLat, s.NorthernLat, s.CentralMeridian, s.FalseNorthing, s.FalseEasting};
}

TEST_F(Settings, FirstRunFileIsByteExact) {
    const TarvaneSettings& d = kFirstRun;
    std::string reason;
    ASSERT_TRUE(Write_Tarvane(d.iOption, d.iZone, d.iDatum, d.iUnit, d.currentLat, d.currentLon,
                              d.iParallels, d.OriginLat, d.SouthernLat, d.NorthernLat,
                              d.CentralMeridian, d.FalseNorthing, d.FalseEasting, reason))
        << reason;
    EXPECT_EQ(Get(), Join(kFirstRunLines));
    EXPECT_EQ(ReadFile(), kFirstRun);
}

// Each text goes into all eight text fields at once; `back` is what is read.
TEST_F(Settings, ValuesSurviveWriteAndRead) {
    const struct { const char* text; const char* back; std::int16_t i[5] = {0, -1, 0, 0, 0}; } cases[] = {
        {"   ", "   ", {2, 6, 2, 1, -32768}},  {"", "", {1, 0, 1, 0, 32767}},
        {"\"quoted\", with, commas", "\"quoted\", with, commas"},
        {"€ œ ÿ Ø ø °", "€ œ ÿ Ø ø °"},  // the code page's upper half
        {"Ω 東", "? ?"},                 // not in the code page
        {"a\r\nb\nc", "a  b c"},         // would shift every later line
        {"bad \xFF utf-8", "bad ? utf-8"},
    };
    for (const auto& [text, back, i] : cases) {
        const std::string t = text, b = back;
        std::string reason;
        ASSERT_TRUE(Write_Tarvane({i[0], i[1], i[2], i[3], t, t, i[4], t, t, t, t, t, t}, reason));
        EXPECT_EQ(ReadFile(), (TarvaneSettings{i[0], i[1], i[2], i[3], b, b, i[4], b, b, b, b, b, b})) << text;
    }
}

// Each file with what it reads as: files from other editors, files that end
// early or hold a line the reader refuses, and files it must not hang on.
TEST_F(Settings, ReadsEachFileAsFarAsItGoes) {
    std::vector<std::string> utf8 = kFirstRunLines, signs = kFirstRunLines, wide = kFirstRunLines;
    for (int i : {4, 5, 7, 8, 9, 10}) utf8[i].replace(utf8[i].find('\xB0'), 1, "°");
    signs[0] = "\t+1\t", signs[2] = "-0", signs[6] = "0002";
    wide[7] = std::string(4096, 'x');
    TarvaneSettings signsRead = kFirstRun, wideRead = kFirstRun, accent = kFirstRun, mixed = kFirstRun;
    signsRead.iOption = 1;
    wideRead.OriginLat = wide[7];
    accent.FalseEasting = "é";
    mixed.FalseEasting = "Ã©";
    const std::string crlf = Join(kFirstRunLines), twelve = Join({kFirstRunLines.begin(), kFirstRunLines.end() - 1});
    std::vector<std::pair<std::string, TarvaneSettings>> cases = {
        {Join(kFirstRunLines, "\n"), kFirstRun},                   {Join(kFirstRunLines, "\r"), kFirstRun},
        {crlf.substr(0, crlf.size() - 2), kFirstRun},              {Join(utf8), kFirstRun},
        {"\xEF\xBB\xBF" + Join(utf8, "\n"), kFirstRun},            {Join(signs), signsRead},
        {Join(wide), wideRead},                                    {twelve, FailedAt(13)},
        {twelve.substr(0, twelve.size() - 2), FailedAt(13)},       {"", FailedAt(1)},
        {Join({utf8.begin(), utf8.end() - 1}) + "é\r\n\xFF junk", accent},  // UTF-8 up to line 13
        {crlf.substr(0, crlf.rfind("500")) + "é", mixed},          // not UTF-8 as a whole
    };
    const std::pair<int, std::string> badLines[] = {
        {1, "3"}, {1, "-1"}, {2, "7"}, {2, "-2"}, {3, "3"}, {4, "2"}, {7, "40000"}, {7, "-32769"},
        {7, "abc"}, {7, ""}, {7, "1 2"}, {7, "1.0"}, {7, "0x10"}, {7, "+-1"}, {7, "99999999999999999999999"},
        {5, std::string(4097, 'x')}, {13, std::string(4097, ' ')},
    };
    for (const auto& [line, content] : badLines) {
        std::vector<std::string> lines = kFirstRunLines;
        lines[line - 1] = content;
        cases.emplace_back(Join(lines), FailedAt(line));
    }
    for (const auto& [file, want] : cases) {
        Put(file);
        EXPECT_EQ(Fields(ReadFile()), Fields(want)) << file.substr(0, 60);
    }
    // No file; sparse files far larger than memory, of which only the head is
    // read; and files that are no ordinary file (a block is the test's timeout).
    fs::remove(kName);
    EXPECT_EQ(ReadFile(), FailedAt(1)) << "no file";
    Put(crlf);
    ASSERT_EQ(::truncate(kName, std::int64_t{1} << 40), 0);
    EXPECT_EQ(ReadFile(), kFirstRun) << "huge file with a valid head";
    Put("");
    ASSERT_EQ(::truncate(kName, std::int64_t{1} << 40), 0);
    EXPECT_EQ(ReadFile(), FailedAt(1)) << "huge file of one line";
    fs::remove(kName);
    fs::create_directory(kName);
    EXPECT_EQ(ReadFile(), FailedAt(1)) << "directory";
    fs::remove(kName);
    ASSERT_EQ(::mkfifo(kName, 0600), 0);
    EXPECT_EQ(ReadFile(), FailedAt(1)) << "FIFO with no writer";
}

// Each step of the save fails in turn: the old file, its permission bits and
// the directory are as they were, and the reason is the system's. A read-only
// directory or a full disk fail in these same steps.
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
    const struct { const char* step; SettingsFileCalls calls; const char* reason; } cases[] = {
        {"create", create, "Permission denied"},  {"write", write, "No space left on device"},
        {"sync", sync, "Input/output error"},     {"close", close, "Disk quota exceeded"},
        {"rename", rename, "Read-only file system"},
    };
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    Put("old settings\r\n");
    fs::permissions(kName, mode);
    std::string reason;
    for (const auto& c : cases) {
        Set_Settings_File_Calls(c.calls);
        EXPECT_FALSE(Write_Tarvane(kFirstRun, reason)) << c.step;
        EXPECT_EQ(reason, c.reason) << c.step;
        EXPECT_EQ(Get(), "old settings\r\n") << c.step;
        EXPECT_EQ(Entries(), 1) << c.step;
    }
    Reset_Settings_File_Calls();
    ASSERT_TRUE(Write_Tarvane(kFirstRun, reason)) << reason;
    EXPECT_EQ(Entries(), 1);
    EXPECT_EQ(fs::status(kName).permissions(), mode);
}

}  // namespace

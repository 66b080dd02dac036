// tarvane-convert run as a user runs it: output, every error path with its
// exit status, and streaming a large input in constant memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string out, err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        std::string dir = (fs::temp_directory_path() / "tarvane-convert-XXXXXX").string();
        ASSERT_NE(::mkdtemp(dir.data()), nullptr);
        dir_ = dir;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the program through the shell with `input` on standard input; a
    // crash shows as a status above 128.
    Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        const std::string d = dir_.string();
        std::ofstream(d + "/in", std::ios::binary) << input;
        std::string command = "'" TARVANE_CONVERT "'";
        for (const auto& a : args) command += " '" + a + "'";
        const int status = std::system((command + " <" + d + "/in >" + d + "/out 2>" + d + "/err").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(d + "/out"), ReadFile(d + "/err")};
    }

    fs::path dir_;
};

const std::vector<std::string> kZone = {"--zone", "4204", "--system", "1983"};

std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& more) {
    a.insert(a.end(), more.begin(), more.end());
    return a;
}

// The origin of zone 4204 (27°50' N, 99° W) is its false easting and
// northing; the rows keep comments, empty lines and the input fields.
TEST_F(Program, ConvertsAndKeepsCommentsAndEmptyLines) {
    const Result r = Run(kZone, "# control points\n\n27 50 N, 99 W\r\n27.8333333333\t-99.0\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "# control points\n\n"
              "27 50 N\t99 W\t600000.000\t4000000.000\t1.000203234\t0.000000000\t6349333.132\t6382796.076\n"
              "27.8333333333\t-99.0\t600000.000\t4000000.000\t1.000203234\t0.000000000\t6349333.132\t6382796.076\n");

    const Result back = Run(With(kZone, {"--inverse", "--csv", "--dms"}), "600000 4000000\n");
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.out,
              "easting,northing,latitude,longitude,scale_factor,convergence,meridian_radius,"
              "prime_vertical_radius,iterations\n"
              "600000,4000000,\"27\u00B050'00.000\"\"N\",\"099\u00B000'00.000\"\"W\",1.000203234,0.000000000,"
              "6349333.132,6382796.076,5\n");

    const Result feet = Run({"--zone", "4204", "--system", "1927", "--precision", "1"}, "27 50 N 99 W\n");
    EXPECT_TRUE(feet.out.starts_with("27 50 N\t99 W\t2000000.0\t0.0\t1.000203222\t")) << feet.out;
}

// Lines that fail are marked, reported with their numbers, and the run goes
// on to the end with exit status 1.
TEST_F(Program, FailedLinesAreMarkedAndTheRunGoesOn) {
    const Result r = Run(With(kZone, {"--csv"}), "91 0\n27.5 -99\nabc\n90 -99\n1,2,3\n");
    EXPECT_EQ(r.status, 1);
    const std::string rows = r.out.substr(r.out.find('\n') + 1);
    EXPECT_EQ(rows.substr(0, rows.find('\n')), "91,0,ERROR,,,,,");
    EXPECT_NE(rows.find("\nabc,,ERROR,,,,,\n90,-99,ERROR,,,,,\n"), std::string::npos) << rows;
    EXPECT_NE(rows.find("\"1,2,3\",,ERROR,,,,,\n"), std::string::npos);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 5);
    for (const char* expected : {"line 1: latitude \"91\": beyond 90 degrees",
                                 "line 3: expected two co-ordinates, found 1 field",
                                 "line 4: invalid argument: a latitude of 90\u00B0 north or south", "line 5: more than two fields"}) {
        EXPECT_NE(r.err.find(expected), std::string::npos) << expected << "\n" << r.err;
    }

    // Beyond the apex of the cone, and a line too long to be a point.
    const Result inv = Run(With(kZone, {"--inverse"}), "600000 4000000\n600000 40000000\n" +
                                                          std::string(70000, '1') + "\n600000 4000000");
    EXPECT_EQ(inv.status, 1);
    EXPECT_NE(inv.err.find("line 2: invalid argument: the point lies beyond the apex"), std::string::npos) << inv.err;
    EXPECT_NE(inv.err.find("line 3: longer than 65536 bytes"), std::string::npos) << inv.err;
    EXPECT_EQ(std::count(inv.out.begin(), inv.out.end(), '\n'), 4);
    EXPECT_EQ(inv.out.substr(inv.out.rfind('\t') + 1), "5\n");  // the last line, without a line end
}

// Bad options and projections stop before any input is read: status 2 and the
// usage text.
TEST_F(Program, BadOptionsGiveStatus2AndTheUsage) {
    std::ofstream(dir_ / "short.ini") << " 0 \r\n-1 \r\n";
    std::ofstream(dir_ / "bad.ini") << " 0 \r\n-1 \r\n 0 \r\n 0 \r\n\r\n\r\n 2 \r\n29 75 N\r\n20\r\n40\r\n75 W\r\n0\r\n0\r\n";
    const std::vector<std::string> cone = {"--datum", "WGS84", "--meridian", "-96"};
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "no projection"},
        {{"--frobnicate"}, "unknown option"},
        {{"--zone"}, "--zone needs a value"},
        {{"--zone", "4204"}, "--zone needs --system"},
        {{"--zone", "4206", "--system", "1983"}, "is not one of the zones"},
        {{"--zone", "4204", "--system", "1984"}, "is not 1983 or 1927"},
        {With(kZone, {"--zone", "4204"}), "--zone given twice"},
        {With(kZone, {"--datum", "WGS84"}), "give one projection only"},
        {With(kZone, {"--dms"}), "--dms applies to --inverse only"},
        {With(kZone, {"--precision", "13"}), "--precision"},
        {With(kZone, {"--csv=yes"}), "--csv takes no value"},
        {With(kZone, {"a.txt", "b.txt"}), "more than one input file"},
        {With(kZone, {"no-such-file"}), "cannot open \"no-such-file\""},
        {cone, "--parallels and --origin, or --parallel and --scale, are missing"},
        {With(cone, {"--parallels", "33"}), "--parallels needs two values"},
        {With(cone, {"--parallels", "33", "45"}), "--origin is missing"},
        {With(cone, {"--parallels", "33", "45", "--origin", "23", "--parallel", "30"}), "not both"},
        {With(cone, {"--parallels", "33", "95", "--origin", "23"}), "--parallels: latitude \"95\": beyond 90"},
        {With(cone, {"--parallels", "33", "33", "--origin", "23"}), "two equal standard parallels"},
        {With(cone, {"--parallels=-30,30", "--origin", "0"}), "give no cone"},
        {With(cone, {"--parallel", "30", "--scale", "one"}), "is not a number"},
        {With(cone, {"--parallel", "30", "--scale", "0.9996", "--unit", "feet"}), "is not meter or USFeet"},
        {With(cone, {"--parallel", "30", "--scale", "1", "--false-easting", "5e5 m"}), "is not a number"},
        {{"--datum", "wgs84", "--meridian", "0", "--parallel", "30", "--scale", "1"}, "is not WGS84"},
        {{"--settings", (dir_ / "short.ini").string()}, "cannot read"},
        {{"--settings", (dir_ / "bad.ini").string()}, "LATITUDE MINUTE FORMAT ERROR. Max 59 allowed"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        const Result r = Run(c.args, "27.5 -99\n");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Usage: tarvane-convert"), std::string::npos);
    }

    const Result help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("the latitude ends\nat the first word that is or ends in a hemisphere letter"),
              std::string::npos);
    EXPECT_EQ(Run({"--version"}).out, "tarvane-convert 1.01\n");
}

// A large input through a pipe: every line comes out, and the peak memory
// does not grow with the length of the input.
TEST_F(Program, StreamsInConstantMemory) {
#if defined(__SANITIZE_ADDRESS__)
    const long small = 20000, large = 100000;  // the sanitizers are slower
#else
    const long small = 200000, large = 1000000;
#endif
    const auto stream = [&](long lines) {
        // bash runs awk, whose output is a pipe, and becomes the program on that
        // pipe as its standard input, keeping its process number.
        const std::string run = "exec \"$0\" --zone 4204 --system 1983 < <(awk -v n=\"$1\" 'BEGIN { for (i = 0; i < n; i++) "
                                "printf \"%.6f %.6f\\n\", 26 + i % 5000 * 0.001, -101 + i % 4000 * 0.001 }')";
        int out[2];
        EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], 1);
            ::execl("/bin/bash", "bash", "-c", run.c_str(), TARVANE_CONVERT, std::to_string(lines).c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        // The peak resident size of the program's own image, sampled while
        // it runs (getrusage would count the test's memory from before exec).
        long rows = 0, peakKiB = 0;
        char buffer[65536];
        for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
            rows += std::count(buffer, buffer + n, '\n');
            std::ifstream status("/proc/" + std::to_string(pid) + "/status");
            for (std::string key; status >> key;) {
                if (key == "VmHWM:") status >> peakKiB;
            }
        }
        ::close(out[0]);
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_EQ(rows, lines);
        EXPECT_GT(peakKiB, 0);
        return peakKiB;
    };
    const long rssSmall = stream(small), rssLarge = stream(large);
    // Five times the input, about 60 MB more output: a program that kept
    // either would grow by far more than this.
    EXPECT_LT(rssLarge - rssSmall, 4096) << rssSmall << " KiB for " << small << " lines, " << rssLarge << " KiB for "
                                         << large;
}

}  // namespace

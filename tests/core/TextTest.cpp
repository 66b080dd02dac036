// Angle text both ways, decimal numbers and the code page: worked values and edges as tables. Arbitrary
// input and the render-and-read-back round trip are the fuzz targets' part.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>
#include "core/text/AngleText.h"
#include "core/text/Cp1252.h"
#include "core/text/NumberText.h"

namespace {
std::string WithComma(std::string text) { std::replace(text.begin(), text.end(), '.', ','); return text; }

// Each row is also rendered with a comma, which then stands in the seconds.
TEST(HrHms, RendersTheWorkedExamplesAndEdges) {
    const double m59 = 10 + 59 / 60.0;  // 10°59', for seconds either side of the carry threshold 60 - 5 * 10^-(n+1)
    const struct { double coo; const char* typ; std::int16_t decimals; const char* text; } cases[] = {
        {29.5, "LAT", 4, "29°30'00.0000\"N"},        {-95.25, "LON", 2, "095°15'00.00\"W"},
        {5.25, "LON", 3, "005°15'00.000\"E"},        {10.999999, "LAT", 3, "10°59'59.996\"N"},
        {10.99999999, "LAT", 3, "11°00'00.000\"N"},  {0.0001, "LON", 0, "000°00'00\"E"},
        {-0.5, "LAT", 1, "00°30'00.0\"S"},           {0, "LAT", 3, "00°00'00.000\"N"},
        {-0.0, "lon", 3, "000°00'00.000\"E"},        {-0.0000001, "LAT", 3, "00°00'00.000\"S"},
        {100, "LAT", 3, "100°00'00.000\"N"},         {179.999999999, "LON", 4, "180°00'00.0000\"E"},
        {29.5, "LAT", -3, "29°30'00\"N"},            {29.5, "LAT", 9, "29°30'00.0000\"N"},
        {-1e20, "LON", 0, "100000000000000000000°00'00\"W"},  // no 16-bit wrap
        {m59 + 59.6 / 3600, "LAT", 0, "11°00'00\"N"},        {m59 + 59.4 / 3600, "LAT", 0, "10°59'59\"N"},
        {m59 + 59.9996 / 3600, "LAT", 3, "11°00'00.000\"N"}, {m59 + 59.9994 / 3600, "LAT", 3, "10°59'59.999\"N"},
        // 2.5 s rounds half up; the float seconds of 10.00000125 (0.0044999998 s) decide its last digit.
        {2.5 / 3600, "LAT", 0, "00°00'03\"N"},       {10.00000125, "LAT", 3, "10°00'00.004\"N"},
        {INFINITY, "LAT", 0, "inf°00'00\"N"},        {NAN, "LON", 1, "nan°00'00.0\"E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HrHms(c.coo, c.typ, "FORM", c.decimals, '.'), c.text) << c.coo;
        EXPECT_EQ(HrHms(c.coo, c.typ, "form", c.decimals, ','), WithComma(c.text)) << c.coo;
    }
    EXPECT_EQ(HrHms(29.5, "LAT", "file", 4, '.'), "29ø30'00.0000\"N");
}

// Text, type, degrees (to 1e-12) and the messages in order, "@" standing for the field name. A number beyond its
// 16-bit count or float faults.
TEST(HmsHr, ReadsTheWorkedExamplesAndEdges) {
    const std::string fault = "@ FORMAT ERROR. ", over90 = "@ FORMAT ERROR. Max 90 deg allowed",
                      seconds = "@ SECOND FORMAT ERROR. Max 59.9999 allowed",
                      minutes = "@ MINUTE FORMAT ERROR. Max 59 allowed", letterN = "@ FORMAT ERROR. Default, N, used",
                      letterText = "!   @ CHARACTER FORMAT ERROR. Default, N, used";
    const double dms = 29 + 30 / 60.0 + 15.5 / 3600;
    const struct { const char* text; const char* typ; double degrees; std::vector<std::string> messages; } cases[] = {
        {"29", "LAT", 29, {}},              {"29 30 15.5 N", "LAT", dms, {}},    {"29°30'15,5 S", "LAT", -dms, {}},
        {"-95 15", "LON", -95.25, {}},      {"10 30 0 V", "LON", -10.5, {}},     {"29N", "LAT", 29, {}},
        {"12 5 3E", "LON", 12 + 5 / 60.0 + 3 / 3600.0, {}},                      {"29.5", "LAT", 29 + 5 / 60.0, {}},
        {"91", "LAT", 90, {over90}},        {"181", "LON", 180, {"@ FORMAT ERROR. Max 180 deg allowed"}},
        {"29 30 75", "LAT", 29 + 31 / 60.0, {seconds}},  {"29 75", "LAT", 30, {minutes}},
        {"29 30 X", "LAT", 29.5, {letterN}},             {"29 30 XYZ", "LAT", 29.5, {"YZ" + letterText}},
        {"", "LAT", 0, {fault}},            {"40000", "LAT", 0, {fault}},        {"29°30'15.500\"N", "LAT", dms, {}},
        {"-29 N", "LAT", 29, {}},           {"29 S", "LAT", -29, {}},            {"095ø15'00.00\"W", "lon", -95.25, {}},
        {"-10 ø", "LON", 10, {}},           {"10 v", "LON", -10, {}},            {"10 V", "LAT", 10, {letterN}},
        {"+29", "LAT", 29 / 60.0, {}},      {"29 °30", "LAT", 29 + 30 / 3600.0, {}},   {"29°", "LAT", 29, {letterN}},
        {"29ø", "LAT", 29, {}},             {"-29 30 XYZ", "LAT", 29.5, {"YZ" + letterText}},
        {"-", "LAT", 0, {letterText}},      {"   ", "LAT", 0, {fault}},          {"90", "LAT", 90, {}},
        {"180", "LON", 180, {}},            {"90 00 01", "LAT", 90, {over90}},   {"  -  29   30  ", "LAT", -29.5, {}},
        {"89 59 60", "LAT", 90, {seconds, minutes}},     {"10 Q", "LON", 10, {"@ FORMAT ERROR. Default, E, used"}},
        {"10 75 75 XYZ", "LON", 11, {"XYZ!   @ CHARACTER FORMAT ERROR. Default, E, used", seconds, minutes}},
        {"1\t2", "LAT", 1 + 2 / 60.0, {}}, {"29 30 5 \xff\xfe", "LAT", 29.5 + 5 / 3600.0, {"\uFFFD\uFFFD" + letterText}},
        {"1 2 3.4,5 S", "LAT", -(1 + 2 / 60.0 + double(3.4f) / 3600), {}},  // a second decimal mark ends them
        {"1 2 3,4.5 S", "LAT", -(1 + 2 / 60.0 + double(3.4f) / 3600), {}},
        {"-1 32768", "LON", 0, {fault}},    {"1 2 340282356779733661637539395458142568448", "LAT", 0, {fault}},
        {"1 2 340282346638528859811704183484516925440", "LAT", 90, {over90}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> expected;
        for (std::string m : c.messages)
            expected.push_back(m.replace(m.find('@'), 1, std::string(c.typ) == "LAT" ? "LATITUDE" : "LONGITUDE"));
        std::vector<std::string> messages;
        const double degrees = HmsHr(c.text, c.typ, [&](const std::string& m) { messages.push_back(m); });
        EXPECT_NEAR(degrees, c.degrees, 1e-12) << c.text;
        EXPECT_EQ(messages, expected) << c.text;
    }
}

// Text and its value, exact; every row is read a second time with each point turned into a comma.
TEST(XVal, ReadsTheWorkedExamplesAndEdges) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct { std::string text; double value; } cases[] = {
        {"500000.0", 500000},        {"500000,25", 500000.25},   {"-123,5", -123.5},      {"1 000 000,5", 1000000.5},
        {"500000.0 m", 500000},      {"", 0},                    {"abc", 0},              {"1,234,567", 1.234},
        {"1.000.000,5", 1},          {"0.0 m", 0},               {" \t-1.5e3\n", -1500},  {"+ 2 E - 2", 0.02},
        {"1e", 1},                   {".5", 0.5},                {"-", 0},                {"0x10", 0},
        {"010", 10},                 {"1\r2", 1},                {"1e-400", 0},           {"-1e309", -inf},
        {"1e999999999999999999999", inf},                        {std::string(10000, '9'), inf},
        {"0," + std::string(10000, '0') + "15e10003", 150},      {"2" + std::string(400, '0') + "e-400", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XVal(c.text), c.value) << c.text;
        EXPECT_EQ(XVal(WithComma(c.text)), c.value) << c.text;
    }
}

// The settings file keeps texts in the code page: every byte survives, each as its own character.
TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b <= 0xFF; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Cp1252::FromUtf8(Cp1252::ToUtf8(all)), all);
    EXPECT_EQ(Cp1252::ToUtf8(all.substr(0x80, 32) + "\xB0\xD8\xF8\xFF"),
              "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ°Øøÿ");
}
}  // namespace

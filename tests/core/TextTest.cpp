// Angle text both ways, decimal numbers and the Windows-1252 classes they use:
// tables of worked values, a round-trip property and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/text/AngleText.h"
#include "core/text/Cp1252.h"
#include "core/text/NumberText.h"

namespace {

std::string WithComma(std::string text) {
    for (auto& c : text) if (c == '.') c = ',';
    return text;
}

struct Read { double degrees; std::vector<std::string> messages; };

Read ReadAngle(const std::string& text, const std::string& typ) {
    Read r{};
    r.degrees = HmsHr(text, typ, [&](const std::string& m) { r.messages.push_back(m); });
    return r;
}

TEST(HrHms, RendersTheWorkedExamplesAndEdges) {
    // Angle, type, decimals, text with a point; each row also with a comma.
    struct Case { double coo; const char* typ; std::int16_t decimals; const char* text; };
    const Case cases[] = {
        {29.5, "LAT", 4, "29°30'00.0000\"N"},        {-95.25, "LON", 2, "095°15'00.00\"W"},
        {5.25, "LON", 3, "005°15'00.000\"E"},        {10.999999, "LAT", 3, "10°59'59.996\"N"},
        {10.99999999, "LAT", 3, "11°00'00.000\"N"},  {0.0001, "LON", 0, "000°00'00\"E"},
        {-0.5, "LAT", 1, "00°30'00.0\"S"},           {0, "LAT", 3, "00°00'00.000\"N"},
        {-0.0, "lon", 3, "000°00'00.000\"E"},        {-0.0000001, "LAT", 3, "00°00'00.000\"S"},
        {100, "LAT", 3, "100°00'00.000\"N"},         {179.999999999, "LON", 4, "180°00'00.0000\"E"},
        {29.5, "LAT", -3, "29°30'00\"N"},            {29.5, "LAT", 9, "29°30'00.0000\"N"},
        {40000.5, "LAT", 0, "40000°30'00\"N"},       {-1e20, "LON", 0, "100000000000000000000°00'00\"W"},
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

TEST(HmsHr, ReadsTheWorkedExamplesAndEdges) {
    const std::string over90 = "LATITUDE FORMAT ERROR. Max 90 deg allowed";
    const std::string letterN = "LATITUDE FORMAT ERROR. Default, N, used";
    const std::string faultLat = "LATITUDE FORMAT ERROR. ";
    const std::string sixtySeconds = "LATITUDE SECOND FORMAT ERROR. Max 59.9999 allowed";
    const std::string sixtyMinutes = "LATITUDE MINUTE FORMAT ERROR. Max 59 allowed";
    const std::string letterText = "!   LATITUDE CHARACTER FORMAT ERROR. Default, N, used";
    const double dms = 29 + 30 / 60.0 + 15.5 / 3600;
    // Text, type, degrees (to 1e-12 degrees), the messages in order.
    struct Case { const char* text; const char* typ; double degrees; std::vector<std::string> messages; };
    const Case cases[] = {
        {"29", "LAT", 29, {}},                      {"29 30 15.5 N", "LAT", dms, {}},
        {"29°30'15.5 S", "LAT", -dms, {}},          {"-95 15", "LON", -95.25, {}},
        {"10 30 0 V", "LON", -10.5, {}},            {"12 5 3E", "LON", 12 + 5 / 60.0 + 3 / 3600.0, {}},
        {"29N", "LAT", 29, {}},                     {"29.5", "LAT", 29 + 5 / 60.0, {}},
        {"91", "LAT", 90, {over90}},
        {"181", "LON", 180, {"LONGITUDE FORMAT ERROR. Max 180 deg allowed"}},
        {"29 30 75", "LAT", 29 + 31 / 60.0, {sixtySeconds}},
        {"29 75", "LAT", 30, {sixtyMinutes}},       {"29 30 X", "LAT", 29.5, {letterN}},
        {"29 30 XYZ", "LAT", 29.5, {"YZ" + letterText}},
        {"", "LAT", 0, {faultLat}},                 {"40000", "LAT", 0, {faultLat}},
        {"29°30'15.500\"N", "LAT", dms, {}},        {"095ø15'00.00\"W", "lon", -95.25, {}},
        {"-29 N", "LAT", 29, {}},                   {"29 S", "LAT", -29, {}},
        {"-10 ø", "LON", 10, {}},                   {"10 v", "LON", -10, {}},
        {"10 V", "LAT", 10, {letterN}},             {"+29", "LAT", 29 / 60.0, {}},
        {"29 °30", "LAT", 29 + 30 / 3600.0, {}},    {"29°", "LAT", 29, {letterN}},
        {"29ø", "LAT", 29, {}},                     {"-29 30 XYZ", "LAT", 29.5, {"YZ" + letterText}},
        {"-", "LAT", 0, {letterText}},              {"   ", "LAT", 0, {faultLat}},
        {"90", "LAT", 90, {}},                      {"180", "LON", 180, {}},
        {"90 00 01", "LAT", 90, {over90}},          {"89 59 60", "LAT", 90, {sixtySeconds, sixtyMinutes}},
        {"  -  29   30  ", "LAT", -29.5, {}},       {"1\t2", "LAT", 1 + 2 / 60.0, {}},
        {"1 2 3.4.5 S", "LAT", -(1 + 2 / 60.0 + double(3.4f) / 3600), {}},
        {"29 30 5 \xff\xfe", "LAT", 29.5 + 5 / 3600.0, {"\uFFFD\uFFFD" + letterText}},
        // 16-bit counts and float seconds: the first number out of range faults.
        {"-1 32768", "LON", 0, {"LONGITUDE FORMAT ERROR. "}},
        {"1 2 340282356779733661637539395458142568448", "LAT", 0, {faultLat}},
        {"1 2 340282346638528859811704183484516925440", "LAT", 90, {over90}},
    };
    // Every row is read a second time with each point turned into a comma.
    for (const auto& c : cases) {
        for (const std::string& text : {std::string(c.text), WithComma(c.text)}) {
            const Read r = ReadAngle(text, c.typ);
            EXPECT_NEAR(r.degrees, c.degrees, 1e-12) << text;
            EXPECT_EQ(r.messages, c.messages) << text;
        }
    }
}

// Random angles (and ones just short of a whole minute) rendered and read back.
TEST(HrHms, ReadsBackWithinTheLastDigitAndNeverShowsSixty) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> angle(-180, 180), nearMinute(0, 2e-5);
    for (int k = 0; k < 4000; ++k) {
        double x = angle(random);
        if (k % 2) {  // just short of a whole minute, where the seconds carry
            const double minute = std::round(x * 60) / 60;
            x = minute - std::copysign(nearMinute(random), minute);
        }
        for (const char* typ : {"LAT", "LON"}) {
            const double coo = typ[1] == 'A' ? x / 2 : x;
            for (std::int16_t n = 0; n <= 4; ++n) {
                // Half a unit of the last digit shown, half a float ulp (2^-19 s) per float seconds (render, read), 1e-9 s slack.
                const double tolerance = (0.5 * std::pow(10.0, -n) + std::ldexp(1.0, -18) + 1e-9) / 3600;
                for (const char separator : {'.', ','}) {
                    for (const char* opt : {"FORM", "FILE"}) {
                        const std::string text = HrHms(coo, typ, opt, n, separator);
                        const Read r = ReadAngle(text, typ);
                        ASSERT_NEAR(r.degrees, coo, tolerance) << text;
                        ASSERT_TRUE(r.messages.empty()) << text;
                        const std::size_t quote = text.find('\'');
                        ASSERT_LT(std::stoi(text.substr(quote - 2, 2)), 60) << text;
                        ASSERT_LT(std::stoi(text.substr(quote + 1, 2)), 60) << text;
                    }
                }
            }
        }
    }
}

TEST(XVal, ReadsTheWorkedExamplesAndEdges) {
    const double inf = std::numeric_limits<double>::infinity();
    // Text, result, tolerance relative to the result (0: exact).
    struct Case { std::string text; double value; double relative; };
    const Case cases[] = {
        {"500000.0", 500000, 0},           {"500000,25", 500000.25, 0},   {"-123,5", -123.5, 0},
        {"1 000 000,5", 1000000.5, 0},     {"500000.0 m", 500000, 0},     {"", 0, 0},
        {"abc", 0, 0},                     {"1,234,567", 1.234, 0},       {"1.000.000,5", 1, 0},
        {"0.0 m", 0, 0},                   {" \t-1.5e3\n", -1500, 0},     {"+ 2 E - 2", 0.02, 0},
        {"1e", 1, 0},                      {"1e+m", 1, 0},                {".5", 0.5, 0},
        {"-", 0, 0},                       {"0x10", 0, 0},                {"010", 10, 0},
        {"&H10", 0, 0},                    {"1\r2", 1, 0},                {"0.1", 0.1, 0},
        {"6378137,0001", 6378137.0001, 0}, {"1e-400", 0, 0},              {"-1e309", -inf, 0},
        {"4.9e-324", std::numeric_limits<double>::denorm_min(), 0},
        {"1e999999999999999999999", inf, 0},
        {std::string(10000, '9'), inf, 0},
        {"0," + std::string(10000, '0') + "15e10003", 150, 1e-15},
        {"2" + std::string(400, '0') + "e-400", 2, 0},
    };
    for (const auto& c : cases) {
        const double x = XVal(c.text);
        if (std::isinf(c.value) || c.relative == 0) {
            EXPECT_EQ(x, c.value) << c.text;
        } else {
            EXPECT_NEAR(x, c.value, std::fabs(c.value) * c.relative) << c.text;
        }
    }
}

// No crash, no exception, a number back; angles within their limits and
// messages in valid UTF-8.
TEST(TextOperations, SurviveHostileText) {
    std::vector<std::string> texts = {
        "",          "    ",        std::string(10000, '9'), "1 2 " + std::string(10000, '7'),
        "\xff\xfe\xfd", "29\xC3",      "\xC0\xAF 30",          "1 2 0." + std::string(10000, '0') + "1",
        "\x1b[2J",    "\xED\xA0\x80", std::string("1\0 2\x01\x7f", 6)};
    for (int c = 0; c <= 0xFF; ++c) {  // every character alone and after a number, as UTF-8 and as a raw byte
        std::string utf8;
        Cp1252::AppendUtf8(utf8, static_cast<char32_t>(c));
        for (const std::string& one : {utf8, std::string(1, static_cast<char>(c))}) {
            for (const std::string& text : {one, "12 30 " + one, "-12 30 0" + one + one, "12,5" + one + "e3"})
                texts.push_back(text);
        }
    }
    for (const auto& text : texts) {
        EXPECT_FALSE(std::isnan(XVal(text))) << text;
        for (const char* typ : {"LAT", "LON"}) {
            Read r;
            ASSERT_NO_THROW(r = ReadAngle(text, typ));
            EXPECT_TRUE(std::isfinite(r.degrees));
            EXPECT_LE(std::fabs(r.degrees), typ[1] == 'A' ? 90 : 180);
            for (const auto& m : r.messages) EXPECT_TRUE(Cp1252::IsValidUtf8(m)) << m;
        }
    }
    EXPECT_NO_THROW(HmsHr("91", "LAT", nullptr));  // an empty message function is not called
}

TEST(Cp1252, EveryByteSurvivesTheRoundTripAndUpperCasesAsTheCodePageDoes) {
    std::string all;
    for (int b = 0; b <= 0xFF; ++b) {
        EXPECT_EQ(Cp1252::FromUnicode(Cp1252::ToUnicode(static_cast<unsigned char>(b))), b) << b;
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Cp1252::FromUtf8(Cp1252::ToUtf8(all)), all);
    EXPECT_EQ(Cp1252::FromUnicode(0x0416), -1);  // Ж
    EXPECT_EQ(Cp1252::ToUnicode(0x80), U'\u20AC');
    // Byte, its upper case.
    const int cases[][2] = {{'a', 'A'}, {'z', 'Z'}, {'N', 'N'}, {0xF8, 0xD8}, {0xE0, 0xC0}, {0xFE, 0xDE},
                            {0xF7, 0xF7}, {0xFF, 0x9F}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E},
                            {0xDF, 0xDF}, {0xB5, 0xB5}, {'1', '1'}};
    for (const auto& c : cases) EXPECT_EQ(Cp1252::UpperCase(static_cast<unsigned char>(c[0])), c[1]) << c[0];
}

}  // namespace

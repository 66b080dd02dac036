#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "Cp1252.h"
#include "NumberText.h"

namespace {

// Text, result, tolerance relative to the result (0: exact).
struct NumberCase { std::string text; double value; double relative; };

TEST(XVal, ReadsTheWorkedExamplesAndEdges) {
    const double inf = std::numeric_limits<double>::infinity();
    const NumberCase cases[] = {
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

TEST(XVal, NeverGivesNotANumber) {
    for (int c = 0; c <= 0xFF; ++c) {
        std::string utf8;
        Cp1252::AppendUtf8(utf8, static_cast<char32_t>(c));
        for (const std::string& one : {utf8, std::string(1, static_cast<char>(c))}) {
            EXPECT_FALSE(std::isnan(XVal(one))) << c;
            EXPECT_FALSE(std::isnan(XVal("12,5" + one + "e3"))) << c;
        }
    }
}

}  // namespace

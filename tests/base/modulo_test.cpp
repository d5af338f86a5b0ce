// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/modulo.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <string>
#include <utility>

namespace kavrin {
namespace {

// The longest leading number, blanks skipped; huge exponents stay finite.
TEST(NumberReader, ReadsTheLongestLeadingNumber) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12abc", 12},  {" 1 2 ", 12}, {"abc", 0},        {"1,5", 1},     {"", 0},
        {"-2.5", -2.5}, {"+7", 7},     {".5", 0.5},       {"3.", 3},      {"1.2.3", 1.2},
        {"\t4\n5", 45}, {"1e3", 1000}, {"2.5E-1x", 0.25}, {"1e", 1},      {"1e+", 1},
        {"-", 0},       {"&HFF", 255}, {"&h1f", 31},      {"&O17", 15},   {"&o8", 0},
        {"&Hxyz", 0},   {"&", 0},      {"- 3", -3},       {"1 e 2", 100}, {"\r5", 0},
        {"1e-400", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.value) << c.text;
    const std::string huge[] = {"1e400", "1e99999999999999999999", std::string(5000, '9')};
    for (const std::string& h : huge) {
        EXPECT_EQ(ReadNumber(h), DBL_MAX) << h;
        EXPECT_EQ(ReadNumber("-" + h), -DBL_MAX) << h;
    }
}

TEST(IntegerConversion, RoundsHalvesToEvenAndSaturates) {
    EXPECT_EQ(RoundToInt16(2.5), 2);
    EXPECT_EQ(RoundToInt16(3.5), 4);
    EXPECT_EQ(RoundToInt16(NAN), 0);
    EXPECT_EQ(RoundToInt16(1e30), 32767);
    EXPECT_EQ(RoundToInt16(-1e30), -32768);
    EXPECT_EQ(RoundToInt32(99999999999.0), 2147483647);
}

TEST(FormatScaled, FormattedModeRoundsTiesToEvenWithAPoint) {
    const struct {
        float value, factor;
        int decimals;
        const char* text;
    } cases[] = {
        {100, 0.3515625f, 1, "35.2"}, {0, 1, 2, "0.00"},     {0, 1, 0, "0"},
        {1.5f, 1, 3, "1.5"},          {2.25f, 1, 1, "2.2"},  {2.75f, 1, 1, "2.8"},
        {-3, 0.5f, 1, "-1.5"},        {0.5f, 1, 0, "0"},     {1.5f, 1, 0, "2"},
        {9.96f, 1, 1, "10.0"},        {-0.01f, 1, 1, "0.0"}, {65535, 1, 0, "65535"},
        {1.23456f, 1, 4, "1.2346"},   {5, 1, -1, "5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatScaled(c.value, c.factor, c.decimals, kFormattedData), c.text)
            << c.value << " x " << c.factor << " / " << c.decimals;
}

// Two decimals round ties away from 0 (that raw mode is the floored unscaled
// value is the number fuzz target's rule); the general text has as many digits
// as needed.
TEST(NumberTexts, TwoDecimalsAndGeneral) {
    EXPECT_EQ(FormatTwoDecimals(0.125f), "0.13");
    EXPECT_EQ(FormatTwoDecimals(-0.125f), "-0.13");
    EXPECT_EQ(FormatTwoDecimals(-0.001f), "0.00");
    EXPECT_EQ(FormatTwoDecimals(9.999f), "10.00");
    const std::pair<double, const char*> cases[] = {
        {14336, "14336"}, {2.5, "2.5"}, {-0.0, "0"}, {0.1 + 0.2, "0.3"}, {1e15, "1e+15"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(GeneralNumberText(value), text) << value;
}

TEST(Modulo, TextsDoNotFollowTheProcessLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    EXPECT_EQ(FormatScaled(100, 0.3515625f, 1, kFormattedData), "35.2");
    EXPECT_EQ(FormatTwoDecimals(0.5f), "0.50");
    EXPECT_DOUBLE_EQ(ReadNumber("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(ReadNumber("2,5"), 2);
    std::setlocale(LC_ALL, "C");
}

} // namespace
} // namespace kavrin

#include "base/modulo.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <string>
#include <utility>

namespace kavrin {
namespace {

TEST(NumberReader, ReadsTheLongestLeadingNumber) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"12abc", 12},     {" 1 2 ", 12}, {"abc", 0},        {"1,5", 1},     {"", 0},
        {"-2.5", -2.5},    {"+7", 7},     {".5", 0.5},       {"3.", 3},      {"1.2.3", 1.2},
        {"\t4\n5", 45},    {"1e3", 1000}, {"2.5E-1x", 0.25}, {"1e", 1},      {"1e+", 1},
        {"-", 0},          {"&HFF", 255}, {"&h1f", 31},      {"&O17", 15},   {"&o8", 0},
        {"&Hxyz", 0},      {"&", 0},      {"- 3", -3},       {"1 e 2", 100}, {"0.0256", 0.0256},
        {"6000rpm", 6000}, {"\r5", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberReader, HugeExponentsStayFinite) {
    EXPECT_EQ(ReadNumber("1e400"), DBL_MAX);
    EXPECT_EQ(ReadNumber("-1e99999999999999999999"), -DBL_MAX);
    EXPECT_EQ(ReadNumber("1e-400"), 0.0);
    EXPECT_TRUE(std::isfinite(ReadNumber(std::string(5000, '9'))));
    EXPECT_EQ(RoundToInt16(ReadNumber("1e30")), 32767);
    EXPECT_EQ(RoundToInt16(ReadNumber("-1e30")), -32768);
    EXPECT_EQ(RoundToInt32(ReadNumber("99999999999")), 2147483647);
}

TEST(IntegerConversion, RoundsHalvesToEven) {
    EXPECT_EQ(RoundToInt16(2.5), 2);
    EXPECT_EQ(RoundToInt16(3.5), 4);
    EXPECT_EQ(RoundToInt16(-2.5), -2);
    EXPECT_EQ(RoundToInt16(127.5), 128);
    EXPECT_EQ(RoundToInt16(0.49999), 0);
    EXPECT_EQ(RoundToInt32(25.625), 26);
    EXPECT_EQ(RoundToInt32(12.5), 12);
    EXPECT_EQ(RoundToInt16(NAN), 0);
    EXPECT_EQ(FloorToInt32(-2.5), -3);
    EXPECT_EQ(FloorToInt32(6144.9), 6144);
}

TEST(FormatScaled, FormattedModeRoundsTiesToEvenWithAPoint) {
    struct Case {
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

TEST(FormatScaled, RawModeIsTheFlooredUnscaledValue) {
    EXPECT_EQ(FormatScaled(1234, 0.3515625f, 1, kRawData), "1234");
    EXPECT_EQ(FormatScaled(24 * 256, 0.9765625f, 0, kRawData), "6144");
    EXPECT_EQ(FormatScaled(-2.5f, 1, 2, kRawData), "-3");
    EXPECT_EQ(FormatScaled(0, 1, 2, kRawData), "0");
}

TEST(FormatTwoDecimals, RoundsTiesAwayFromZero) {
    EXPECT_EQ(FormatTwoDecimals(0.5f), "0.50");
    EXPECT_EQ(FormatTwoDecimals(-1.234f), "-1.23");
    EXPECT_EQ(FormatTwoDecimals(12), "12.00");
    EXPECT_EQ(FormatTwoDecimals(0.125f), "0.13");
    EXPECT_EQ(FormatTwoDecimals(-0.125f), "-0.13");
    EXPECT_EQ(FormatTwoDecimals(-0.001f), "0.00");
    EXPECT_EQ(FormatTwoDecimals(9.999f), "10.00");
}

TEST(GeneralNumberText, AsManyDigitsAsNeeded) {
    const std::pair<double, const char*> cases[] = {
        {14336, "14336"}, {2.5, "2.5"}, {-0.0, "0"}, {0.1 + 0.2, "0.3"}, {1e15, "1e+15"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(GeneralNumberText(value), text) << value;
}

TEST(Modulo, TextsDoNotFollowTheProcessLocale) {
    const char* commaLocales[] = {"de_DE.UTF-8", "de_DE", "fr_FR.UTF-8", "es_ES.UTF-8"};
    const char* chosen = nullptr;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_ALL, name)) {
            chosen = name;
            break;
        }
    if (!chosen) GTEST_SKIP() << "no locale with a decimal comma is installed";
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    EXPECT_EQ(FormatScaled(100, 0.3515625f, 1, kFormattedData), "35.2");
    EXPECT_EQ(FormatTwoDecimals(0.5f), "0.50");
    EXPECT_DOUBLE_EQ(ReadNumber("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(ReadNumber("2,5"), 2);
    std::setlocale(LC_ALL, "C");
}

TEST(Modulo, SplitFirstTakesTheTextBeforeTheFirstSeparator) {
    std::string text = "format=15x11";
    EXPECT_EQ(SplitFirst(text, '='), "format");
    EXPECT_EQ(text, "15x11");
    EXPECT_EQ(SplitFirst(text, 'x'), "15");
    EXPECT_EQ(text, "11");
    EXPECT_EQ(SplitFirst(text, 'x'), "11");
    EXPECT_EQ(text, "");
}

} // namespace
} // namespace kavrin

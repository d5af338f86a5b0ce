// SPDX-License-Identifier: GPL-3.0-or-later
// Which ".efi" files load and what they leave, and which are refused whole
// before anything changes.
#include "base/text_entries.h"
#include "config/efi_file.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kavrin {
namespace {

// A start-sized image with no byte at its start value.
Configuration Filled() {
    Configuration c;
    c.SizeImage();
    for (int i = 0; i <= c.ImageLast; ++i) c.ConfigImage.Set(i, (i * 37 + 5) % 256);
    return c;
}

struct Loaded {
    EfiReadResult read;
    Configuration config = Filled();
    std::vector<std::pair<int, int>> writes; // index, value
    int refreshes = 0;
};

Loaded Load(const std::string& text) {
    Loaded l;
    l.read = ReadEfiText(text, l.config);
    EfiLoadHooks hooks;
    hooks.SizeConfig = [&] { l.config.SizeImage(); };
    hooks.WriteConfigByte = [&](std::int16_t i, std::int16_t v) { l.writes.emplace_back(i, v); };
    hooks.ShowConfig = [&] { ++l.refreshes; };
    if (l.read.ok) LoadEfiSteps(l.read.steps, l.config, hooks);
    return l;
}

std::string Values(int count) {
    std::string s;
    for (int i = 1; i <= count; ++i) s += DecimalText(i % 256) + "\r\n";
    return s;
}

const std::string kHeader = "format=15x11\r\nsize=214\r\n;EFI\r\n";

TEST(EfiFile, AcceptedFiles) {
    const std::string written = WriteEfiText(Filled());
    const struct {
        std::string text;
        std::size_t writes; // one per value, in index order from 0
        int cols, rows, last, index, value;
    } cases[] = {
        {written, 214, 15, 11, 214, 213, Filled().ConfigImage[213]}, // what is written
        {"format=15x11\r\nsize=999\r\n;EFI\r\n" + Values(214), 214, 15, 11, 214, 213, 214},
        {kHeader + Values(215), 215, 15, 11, 214, 214, 215}, // onto the spare byte
        {kHeader + Values(216), 215, 15, 11, 214, 214, 215}, // the 216th is ignored
        {kHeader + Values(10), 10, 15, 11, 214, 10, 0},      // the rest are zeros
        {kHeader + "12,34\r\n", 2, 15, 11, 214, 1, 34},
        {"format=15x11\nsize=214\n;EFI\n 7 , 8 \n", 2, 15, 11, 214, 1, 8},
        {kHeader + "1,2\r\n;whatever\r\n3\r\n", 3, 15, 11, 214, 2, 3},
        {"hello\r\nformat=15x11\r\nsize=214\r\nmode=1\r\n;EFI\r\n5\r\n", 1, 15, 11, 214, 0, 5},
        {"format=15x11\r\nsize=214\r\n1,2,3\r\n", 0, 15, 11, 214, 0, 0}, // no ;EFI line
        {kHeader + "12.5,13.5\r\n", 2, 15, 11, 214, 1, 14},
        {kHeader + "\r\n4\r\n   \r\n5\r\n", 2, 15, 11, 214, 1, 5},
        // Without size= only the dimensions change, the image is not resized.
        {"format=10x5\r\n;EFI\r\n1,2\r\n", 2, 10, 5, 214, 2, Filled().ConfigImage[2]},
        // The largest map that fits: 15 x 14 would need 260 bytes.
        {"format=14x14\r\nsize=0\r\n;EFI\r\n1\r\n", 1, 14, 14, 14 * 14 + 14 + 14 + 7 + 13, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const Loaded l = Load(c.text);
        ASSERT_TRUE(l.read.ok) << l.read.reasonText;
        ASSERT_EQ(l.writes.size(), c.writes);
        for (std::size_t i = 0; i < c.writes; ++i)
            EXPECT_EQ(l.writes[i], std::pair(int(i), int{l.config.ConfigImage[int(i)]}));
        EXPECT_EQ((std::vector<int>{int{l.config.MapCols}, int{l.config.MapRows},
                                    l.config.ImageLast, int{l.config.ConfigImage[c.index]}}),
                  (std::vector<int>{c.cols, c.rows, c.last, c.value}));
        EXPECT_EQ(l.refreshes, 1);
        EXPECT_TRUE(l.config.RecolourFuel);
    }
    const Loaded l = Load(written); // the pulses follow (the round trip is the fuzz target's)
    EXPECT_FLOAT_EQ(l.config.FuelPulseTable[3], l.config.ConfigImage[3] * l.config.FuelScale);
}

TEST(EfiFile, RefusedFiles) {
    using namespace text;
    const std::tuple<std::string, int, int, const char*> cases[] = {
        {kHeader + "1,2\r\n256\r\n", 5, kEfiOutOfRange, "256"},
        {kHeader + "-1\r\n", 4, kEfiOutOfRange, "-1"},
        {kHeader + "1e40\r\n", 4, kEfiOutOfRange, "2147483647"},
        {kHeader + "1,abc,3\r\n", 4, kEfiNotANumber, "abc"},
        {kHeader + "1,,3\r\n", 4, kEfiNotANumber, ""},
        {"format=0x11\r\nsize=214\r\n;EFI\r\n", 1, kEfiSizeNotPositive, "format=0x11"},
        {"format=-15x11\r\n", 1, kEfiSizeNotPositive, "format=-15x11"},
        {"format=15\r\n", 1, kEfiSizeNotPositive, "format=15"},
        {"format=16x14\r\nsize=300\r\n;EFI\r\n", 1, kEfiSizeTooLarge, "format=16x14"},
        {std::string("format=15x11\r\n\x01\x02\0\xFF", 18), 2, kEfiBinary, ""},
    };
    for (const auto& [text, line, reason, value] : cases) {
        const Loaded l = Load(text);
        EXPECT_FALSE(l.read.ok) << value;
        EXPECT_EQ(std::tuple(l.read.line, l.read.reasonText, l.read.reasonValue),
                  std::tuple(line, reason, std::string(value)));
        EXPECT_TRUE(l.writes.empty()) << value;
    }
}

} // namespace
} // namespace kavrin

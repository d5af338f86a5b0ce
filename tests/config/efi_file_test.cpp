// The ".efi" file: what is written, what a file loads and which files are
// refused before anything changes.
#include "config/efi_file.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace kavrin {
namespace {

Configuration StartConfig() {
    Configuration c;
    c.SizeImage();
    return c;
}

Configuration Filled() {
    Configuration c = StartConfig();
    for (int i = 0; i <= c.ImageLast; ++i) c.ConfigImage.Set(i, (i * 37 + 5) % 256);
    return c;
}

// Loads text into a start configuration; the writes it sends, as (index, value).
struct Loaded {
    EfiReadResult read;
    Configuration config = StartConfig();
    std::vector<std::pair<int, int>> writes;
    int sizes = 0;
    int refreshes = 0;
};

Loaded Load(const std::string& text, Configuration start = StartConfig()) {
    Loaded l;
    l.config = std::move(start);
    l.read = ReadEfiText(text, l.config);
    if (!l.read.ok) return l;
    EfiLoadHooks hooks;
    hooks.SizeConfig = [&] {
        l.config.SizeImage();
        ++l.sizes;
    };
    hooks.WriteConfigByte = [&](std::int16_t i, std::int16_t v) { l.writes.emplace_back(i, v); };
    hooks.ShowConfig = [&] { ++l.refreshes; };
    LoadEfiSteps(l.read.steps, l.config, hooks);
    return l;
}

std::string Values(int count, int first = 0) {
    std::string s;
    for (int i = 0; i < count; ++i) s += DecimalText((first + i) % 256) + "\r\n";
    return s;
}

const std::string kHeader = "format=15x11\r\nsize=214\r\n;EFI\r\n";

TEST(EfiFile, WritesThirtyFourLinesOfFieldsWithCrLf) {
    Configuration c = StartConfig();
    c.ConfigImage.Set(0, 12);
    c.ConfigImage.Set(1, 34);
    c.ConfigImage.Set(14, 255);
    c.ConfigImage.Set(213, 9);
    const std::string text = WriteEfiText(c);
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (auto end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", pos)) {
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    EXPECT_EQ(pos, text.size()) << "every line ends with CR LF";
    ASSERT_EQ(lines.size(), 34u);
    EXPECT_EQ(lines[0], "format=15x11");
    EXPECT_EQ(lines[1], "size=214");
    EXPECT_EQ(lines[2], ";EFI");
    EXPECT_EQ(lines[3].substr(0, 10), " 12 , 34 ,");
    EXPECT_EQ(lines[3].substr(lines[3].size() - 6), ", 255 ");
    EXPECT_EQ(lines[14], ";IGN");
    EXPECT_EQ(lines[16], ";ENG TEMP");
    EXPECT_EQ(lines[18], ";AIR TEMP");
    EXPECT_EQ(lines[20], ";OPTIONS");
    EXPECT_EQ(lines[33], " 9 ");
}

TEST(EfiFile, WhatIsWrittenLoadsBackByteForByteWithOneWriteEach) {
    const Configuration original = Filled();
    const Loaded l = Load(WriteEfiText(original));
    ASSERT_TRUE(l.read.ok) << l.read.reason;
    ASSERT_EQ(l.writes.size(), 214u);
    for (int i = 0; i < 214; ++i) {
        EXPECT_EQ(l.config.ConfigImage[i], original.ConfigImage[i]) << i;
        EXPECT_EQ(l.writes[static_cast<std::size_t>(i)],
                  std::make_pair(i, int{original.ConfigImage[i]}));
    }
    EXPECT_EQ(l.refreshes, 1);
    EXPECT_TRUE(l.config.RecolourFuel);
    EXPECT_FLOAT_EQ(l.config.FuelPulseTable[3], original.ConfigImage[3] * l.config.FuelScale);
}

// Files the reader takes as they stand.
struct Accepted {
    const char* name;
    std::string text;
    std::size_t writes;
    int index; // an index to look at
    int value; // what it holds afterwards
};

TEST(EfiFile, AcceptsWhatFilesInUseMayHold) {
    const Accepted cases[] = {
        {"a size that disagrees", "format=15x11\r\nsize=999\r\n;EFI\r\n" + Values(214), 214, 213,
         213},
        {"a 215th value lands on the spare byte", kHeader + Values(215, 1), 215, 214, 215},
        {"a 216th value is ignored", kHeader + Values(216, 1), 215, 214, 215},
        {"fewer values leave zeros", kHeader + Values(10, 1), 10, 10, 0},
        {"values without spaces", kHeader + "12,34\r\n", 2, 1, 34},
        {"line feeds alone", "format=15x11\nsize=214\n;EFI\n 7 , 8 \n", 2, 1, 8},
        {"missing or odd section lines", kHeader + "1,2\r\n;whatever\r\n3\r\n", 3, 2, 3},
        {"unknown header items", "hello\r\nformat=15x11\r\nsize=214\r\nmode=1\r\n;EFI\r\n5\r\n", 1,
         0, 5},
        {"no ;EFI line", "format=15x11\r\nsize=214\r\n1,2,3\r\n", 0, 0, 0},
        {"a rounded value", kHeader + "12.5,13.5\r\n", 2, 1, 14},
        {"blank lines", kHeader + "\r\n4\r\n   \r\n5\r\n", 2, 1, 5},
    };
    for (const Accepted& c : cases) {
        Configuration start = Filled();
        const Loaded l = Load(c.text, start);
        ASSERT_TRUE(l.read.ok) << c.name << ": " << l.read.reason;
        EXPECT_EQ(l.writes.size(), c.writes) << c.name;
        EXPECT_EQ(l.config.ConfigImage[c.index], c.value) << c.name;
        EXPECT_EQ(l.config.ImageLast, 214) << c.name;
    }
}

TEST(EfiFile, WithoutSizeTheImageStaysAndOnlyTheDimensionsChange) {
    const Loaded l = Load("format=10x5\r\n;EFI\r\n1,2\r\n", Filled());
    ASSERT_TRUE(l.read.ok);
    EXPECT_EQ(l.sizes, 0);
    EXPECT_EQ(l.config.MapCols, 10);
    EXPECT_EQ(l.config.MapRows, 5);
    EXPECT_EQ(l.config.ConfigImage[1], 2);
    EXPECT_EQ(l.config.ConfigImage[2], Filled().ConfigImage[2]);
}

// Files refused whole, with the line that gives them away.
struct Refused {
    const char* name;
    std::string text;
    int line;
};

TEST(EfiFile, RefusesInvalidFilesNamingTheLine) {
    const Refused cases[] = {
        {"value above a byte", kHeader + "1,2\r\n256\r\n", 5},
        {"negative value", kHeader + "-1\r\n", 4},
        {"value too large for any integer", kHeader + "1e40\r\n", 4},
        {"not a number", kHeader + "1,abc,3\r\n", 4},
        {"empty field", kHeader + "1,,3\r\n", 4},
        {"map of zero columns", "format=0x11\r\nsize=214\r\n;EFI\r\n", 1},
        {"negative map", "format=-15x11\r\n", 1},
        {"no rows given", "format=15\r\n", 1},
        {"map beyond 256 bytes", "format=16x14\r\nsize=300\r\n;EFI\r\n", 1},
        {"binary junk", std::string("format=15x11\r\n\x01\x02\0\xFF", 18), 2},
    };
    for (const Refused& c : cases) {
        const Loaded l = Load(c.text, Filled());
        EXPECT_FALSE(l.read.ok) << c.name;
        EXPECT_EQ(l.read.line, c.line) << c.name;
        EXPECT_FALSE(l.read.reason.empty()) << c.name;
        EXPECT_TRUE(l.writes.empty()) << c.name;
    }
}

TEST(EfiFile, TheLargestMapThatFitsIsAccepted) {
    // 15 x 14 + 15 + 14 + 7 + 13 + 1 = 260 bytes is too many; 14 x 14 fits.
    const Loaded l = Load("format=14x14\r\nsize=0\r\n;EFI\r\n1\r\n");
    ASSERT_TRUE(l.read.ok) << l.read.reason;
    EXPECT_EQ(l.config.ImageLast, 14 * 14 + 14 + 14 + 7 + 13);
}

} // namespace
} // namespace kavrin

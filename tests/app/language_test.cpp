// SPDX-License-Identifier: GPL-3.0-or-later
// Language files in every code page a "#CHARSET" directive can name, and
// their entries applied to the controls tagged with their numbers.
#include "app/language_files.h"
#include "base/code_pages.h"
#include "base/language_texts.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

// Each charset's code page shows in what its bytes decode to.
TEST(CodePages, EveryCharsetDecodesInItsCodePage) {
    const struct {
        int charset;
        const char *bytes, *utf8;
    } cases[] = {
        {0, "Espa\xF1ol \x80", "Español €"},
        {161, "\xE1\xE2\xE3", "αβγ"},
        {162, "\xFD\xFE", "ış"},
        {177, "\xF9\xEC\xE5\xED", "שלום"},
        {178, "\xC7\xE1", "ال"},
        {186, "\xE0\xE8", "ąč"},
        {204, "\xD0\xF3\xF1\xF1\xEA\xE8\xE9", "Русский"},
        {238, "\xB9\xE6", "ąć"},
        {222, "\xA1\xA2", "กข"},
        {163, "Vi\xEA\xCCt", "Vi\xE1\xBB\x81t"},
        {128, "\x93\xFA\x96\x7B", "日本"},
        {129, "\xC7\xD1\xB1\xB9", "한국"},
        {134, "\xD6\xD0\xCE\xC4", "中文"},
        {136, "\xA4\xA4\xA4\xE5", "中文"},
        {7, "\xE9", "é"}, // a code without a code page of its own reads as Western
        // An undefined byte or a cut-off lead byte becomes a replacement.
        {204, "a\x98z", "a\xEF\xBF\xBDz"},
        {128, "ab\x82", "ab\xEF\xBF\xBD"},
    };
    const auto decoder = MakeSystemCodePageDecoder();
    for (const auto& c : cases)
        EXPECT_EQ(decoder->ToUtf8(c.bytes, CodePageOfCharset(c.charset)), c.utf8) << c.charset;
}

// A declared charset decodes the whole file wherever it stands; the Chinese
// file is read as comma-separated fields in GBK.
TEST(LanguageFile, EachIsReadInItsCodePage) {
    const auto decoder = MakeSystemCodePageDecoder();
    LanguageTexts texts;
    texts.Load(
        "1;\xD4\xE0\xE9\xEB\r\n# cp1251\r\n#CHARSET=204\r\n2;\xCF\xF0\xE0\xE2\xEA\xE0~\xD1\xEE\r\n",
        *decoder);
    EXPECT_EQ(texts.Text(1), "Файл");
    EXPECT_EQ(texts.Text(2), "Правка~Со");
    texts.LoadFields("1;\xCE\xC4\xBC\xFE,2;a\r\n  3;\"x,y\"\r\n4;last", *decoder);
    EXPECT_EQ(texts.Text(1), "文件");
    EXPECT_EQ(texts.Text(2), "a");
    EXPECT_EQ(texts.Text(3), "\"x") << "only a field that starts with a quote is quoted";
    EXPECT_EQ(texts.Text(4), "last")
        << "y\" has no \";\" and takes no number; a field needs no line end";
    texts.LoadFields("\"1;q,r\",2;s\r\n", *decoder);
    EXPECT_EQ(texts.Text(1), "q,r");
    EXPECT_EQ(texts.Text(2), "s");
}

TEST(LanguageTexts, ReadsDirectivesCommentsNumberedLinesAndAThousandAtMost) {
    LanguageTexts texts;
    texts.Load("#CHARSET=134\r\n# comment\r\n1;File\r\nx;Format~Display mode\r\nno semicolon\r\n"
               "3;\r\n4; a;b \r\n5;unterminated");
    EXPECT_EQ(texts.charset, 134);
    EXPECT_EQ(texts.Text(1), "File");
    EXPECT_EQ(texts.Text(2), "Format~Display mode");
    EXPECT_EQ(texts.Text(3), "");
    EXPECT_EQ(texts.Text(4), " a;b ");
    EXPECT_EQ(texts.Text(5), ""); // the last line has no line end
    // Line feeds alone end lines too (a file saved on Linux), and a later file
    // keeps what it does not have; without a decoder the bytes are Latin-1.
    texts.Load("1;a\n2;b\n");
    EXPECT_EQ(texts.Text(1) + texts.Text(2) + texts.Text(3), "ab");
    EXPECT_TRUE(texts.HasTexts());
    texts.Load("# nothing\n");
    EXPECT_FALSE(texts.HasTexts());
    EXPECT_EQ(texts.Text(1), "a");
    EXPECT_EQ(texts.Format(96, {"x", "y"}), "");
    texts.Load("1;\xBA"
               "C\r\n");
    EXPECT_EQ(texts.Text(1), "ºC");
    std::string many;
    for (int i = 1; i <= 1005; ++i)
        many += std::to_string(i) + ";t%2%1" + std::to_string(i) + "\r\n";
    texts.Load(many);
    EXPECT_EQ(texts.Format(1000, {"a", "b"}), "tba1000") << "arguments in the language's order";
    EXPECT_EQ(texts.droppedLines, 5);
}

using Kind = TranslatableControl::Kind;

// Text width: 6 pixels a byte.
struct Tagged final : TranslatableControl {
    Tagged(int tag, Kind kind) : tag(tag), kind(kind) {}
    int Tag() const override { return tag; }
    Kind ControlKind() const override { return kind; }
    void SetCaption(const std::string& c) override { caption = c; }
    void SetToolTip(const std::string& t) override { tooltip = t; }
    int Width() const override { return width; }
    void SetWidth(int w) override { width = w; }
    int TextWidth(const std::string& text) const override { return 6 * int(text.size()); }
    int tag;
    Kind kind;
    std::string caption = "design", tooltip;
    int width = 50;
};

TEST(Language, CaptionTooltipAndWidthFromEachTaggedControlsEntry) {
    struct Case {
        const char* entry;
        Kind kind;
        const char* caption;
        const char* tooltip;
        int width;
    };
    const Case cases[] = {
        {"  Open~Opens a file  ", Kind::Plain, "Open", "Opens a file", 50},
        {"~Only a tip", Kind::Plain, "design", "Only a tip", 50},
        {"", Kind::Plain, "design", "", 50},
        {"Format~Display mode", Kind::Menu, "Format", "", 50},
        {"Short", Kind::CheckBox, "Short", "", 60}, // 30 + 5 x 6
        {"Go", Kind::GraphicalButton, "Go", "", 50},
        {"Much longer", Kind::GraphicalButton, "Much longer", "", 79}, // 11 x 6 + 13
    };
    std::string file;
    for (const Case& c : cases) file += std::string("x;") + c.entry + "\r\n";
    LanguageTexts texts;
    texts.Load(file);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        Tagged control(i + 1, cases[i].kind);
        ApplyLanguage({&control}, texts);
        EXPECT_EQ(control.caption, cases[i].caption) << i;
        EXPECT_EQ(control.tooltip, cases[i].tooltip) << i;
        EXPECT_EQ(control.width, cases[i].width) << i;
    }
}

} // namespace
} // namespace kavrin

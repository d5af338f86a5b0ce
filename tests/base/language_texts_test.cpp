#include "base/language_texts.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(LanguageTexts, ReadsDirectivesCommentsAndNumberedLines) {
    LanguageTexts texts;
    texts.Load("#CHARSET=134\r\n# comment\r\n1;File\r\nx;Format~Display mode\r\nno semicolon\r\n"
               "3;\r\n4; a;b \r\n5;unterminated");
    EXPECT_EQ(texts.charset, 134);
    EXPECT_EQ(texts.Text(1), "File");
    EXPECT_EQ(texts.Text(2), "Format~Display mode");
    EXPECT_EQ(texts.Text(3), "");
    EXPECT_EQ(texts.Text(4), " a;b ");
    EXPECT_EQ(texts.Text(5), ""); // the last line has no line end
    EXPECT_EQ(texts.Text(0), "");
    EXPECT_EQ(texts.Text(201), "");
}

TEST(LanguageTexts, LaterFilesKeepEntriesTheyDoNotHave) {
    LanguageTexts texts;
    texts.Load("#charset=204\r\n1;one\r\n2;two\r\n3;three\r\n");
    EXPECT_EQ(texts.charset, 204);
    texts.Load("1;uno\r\n");
    EXPECT_EQ(texts.charset, 0);
    EXPECT_EQ(texts.Text(1), "uno");
    EXPECT_EQ(texts.Text(3), "three");
}

TEST(LanguageTexts, LineFeedsAloneGiveNoLinesAndLatin1BecomesUtf8) {
    LanguageTexts texts;
    texts.Load("1;a\n2;b\n");
    EXPECT_EQ(texts.Text(1), "");
    texts.Load("1;\xBA"
               "C\r\n");
    EXPECT_EQ(texts.Text(1), "\xC2\xBA"
                             "C");
    std::string many;
    for (int i = 1; i <= 205; ++i) many += std::to_string(i) + ";t" + std::to_string(i) + "\r\n";
    texts.Load(many);
    EXPECT_EQ(texts.Text(200), "t200");
}

} // namespace
} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
// A language file's entries applied to the controls tagged with their numbers.
#include "app/language_files.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

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
        {"Short", Kind::CheckBox, "Short", "", 60},                              // 30 + 5 x 6
        {"Rather long caption", Kind::CheckBox, "Rather long caption", "", 144}, // 30 + 19 x 6
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
} // namespace kavrin::test

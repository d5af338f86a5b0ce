#pragma once
// Fakes of the language menu, the file dialogs and translatable controls.
#include "base/file_dialogs.h"
#include "base/language_menu.h"
#include "base/translatable_control.h"

#include <optional>
#include <string>
#include <vector>

namespace kavrin::test {

class FakeLanguageMenu final : public LanguageMenu {
public:
    void SetEntries(const std::vector<std::string>& c) override {
        captions = c;
        checked.assign(c.size(), false);
    }
    void SetChecked(int entry, bool on) override {
        if (entry >= 0 && entry < static_cast<int>(checked.size()))
            checked[static_cast<std::size_t>(entry)] = on;
    }
    std::vector<std::string> captions;
    std::vector<bool> checked;
};

// Hands out the file the test chose, as if the user had picked it.
class FakeFileDialogs final : public FileDialogs {
public:
    std::optional<std::string> ChooseOpenFile(const std::string& title) override {
        lastTitle = title;
        return choice;
    }
    std::optional<std::string> ChooseSaveFile(const std::string& title,
                                              const std::string& proposed) override {
        lastTitle = title;
        lastProposed = proposed;
        return choice;
    }
    std::optional<std::string> choice;
    std::string lastTitle;
    std::string lastProposed;
};

// Text width: 6 pixels a byte.
class FakeTranslatable final : public TranslatableControl {
public:
    FakeTranslatable(int tag, Kind kind, std::string caption, int width = 50)
        : caption(std::move(caption)), width(width), tag_(tag), kind_(kind) {}
    int Tag() const override { return tag_; }
    Kind ControlKind() const override { return kind_; }
    void SetCaption(const std::string& c) override { caption = c; }
    void SetToolTip(const std::string& t) override { tooltip = t; }
    int Width() const override { return width; }
    void SetWidth(int w) override { width = w; }
    int TextWidth(const std::string& text) const override {
        return 6 * static_cast<int>(text.size());
    }

    std::string caption;
    std::string tooltip;
    int width;

private:
    int tag_;
    Kind kind_;
};

} // namespace kavrin::test

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/controls.h"
#include "base/window_state.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kavrin::test {

// A control that remembers everything done to it.
class FakeControl : public CheckControl {
public:
    FakeControl() = default;
    explicit FakeControl(std::string initial) : text(std::move(initial)) {}
    void SetText(const std::string& t) override {
        text = t;
        ++textWrites;
    }
    std::string Text() const override { return text; }
    void SetForeColour(Colour c) override { foreColour = c; }
    void SetBackColour(Colour c) override { backColour = c; }
    void SetVisible(bool v) override { visible = v; }
    bool IsVisible() const override { return visible; }
    void SetChecked(bool c) override {
        checked = c;
        if (onChecked) onChecked();
    }
    bool IsChecked() const override { return checked; }
    void Move(int left, int top) override { at = {left, top}; }

    std::string text;
    int textWrites = 0;
    Colour foreColour = 0;
    Colour backColour = 0;
    bool visible = true;
    bool checked = false;
    std::pair<int, int> at; // where it was moved last
    // Raised like a check box's click event when its state is set by program.
    std::function<void()> onChecked;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    void Exclamation(const std::string& text) override { shown.push_back(text); }
    void Warning(const std::string& text) override { shown.push_back(text); }
    void AskYesNo(const std::string& text, const std::string& title,
                  std::function<void(bool)> answered) override {
        shown.push_back(title + ": " + text);
        answered(answerYes);
    }
    std::vector<std::string> shown;
    bool answerYes = true;
};

} // namespace kavrin::test

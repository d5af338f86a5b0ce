// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small control interfaces through which the logic touches the screen. The
// Qt binding in src/ui implements them on widgets; tests use fakes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kavrin {

// The window's design and the grid's geometry are in twips; the screen has 15
// twips to a pixel.
inline constexpr int kTwipsPerPixel = 15;

// Colours are (red, green, blue) with red in the lowest byte: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour Rgb(int r, int g, int b) {
    return static_cast<Colour>(r & 0xFF) | static_cast<Colour>(g & 0xFF) << 8 |
           static_cast<Colour>(b & 0xFF) << 16;
}
constexpr int RedOf(Colour c) {
    return c & 0xFF;
}
constexpr int GreenOf(Colour c) {
    return (c >> 8) & 0xFF;
}
constexpr int BlueOf(Colour c) {
    return (c >> 16) & 0xFF;
}

// A label, text box, button, check box or menu item: its text (caption) and looks.
class Control {
public:
    virtual ~Control() = default;
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
    virtual void SetForeColour(Colour colour) = 0;
    virtual void SetBackColour(Colour colour) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    virtual void BringToFront() {}
    // Places the control's top left corner, in pixels of its window.
    virtual void Move(int /*left*/, int /*top*/) {}
};

// Check boxes and menu items with a check mark.
class CheckControl : public Control {
public:
    virtual void SetChecked(bool checked) = 0;
    virtual bool IsChecked() const = 0;
};

// The "connection" panel of the status bar: a text and one of two pictures.
class ConnectionPanel : public Control {
public:
    virtual void SetConnectedPicture(bool connected) = 0;
};

// The control a build of the window lacks: it reads as empty and unchecked and
// ignores whatever is written to it. One shared instance stands in for every
// missing control, so the logic never asks whether a control is there.
class NullControl final : public CheckControl {
public:
    void SetText(const std::string&) override {}
    std::string Text() const override { return {}; }
    void SetForeColour(Colour) override {}
    void SetBackColour(Colour) override {}
    void SetVisible(bool) override {}
    bool IsVisible() const override { return false; }
    void SetChecked(bool) override {}
    bool IsChecked() const override { return false; }
};

inline CheckControl* NoControl() {
    static NullControl none;
    return &none;
}

// N missing controls, for a control array.
template <typename T, std::size_t N> std::array<T*, N> NoControls() {
    std::array<T*, N> controls;
    controls.fill(NoControl());
    return controls;
}

// The three message boxes the system has.
// Boxes are shown after the handler that asks for them has returned, one per
// cause: the same text while its box is still open is not shown again.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Exclamation icon, OK button, under the application's title.
    virtual void Exclamation(const std::string& text) = 0;
    // Warning icon, OK button.
    virtual void Warning(const std::string& text) = 0;
    // Question icon, Yes and No buttons; answered(true) for Yes, once the user
    // has answered. A box the program closes unanswered counts as No.
    virtual void AskYesNo(const std::string& text, const std::string& title,
                          std::function<void(bool yes)> answered) = 0;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A control whose caption and tooltip come from the language texts: the entry
// number in its Tag picks the text.
#include <string>

namespace kavrin {

class TranslatableControl {
public:
    enum class Kind {
        Plain,           // labels, frames, tabs
        Menu,            // menu items: a tooltip is dropped
        CheckBox,        // widened to fit its caption
        GraphicalButton, // widened to fit its caption
    };
    virtual ~TranslatableControl() = default;
    virtual int Tag() const = 0;
    virtual Kind ControlKind() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetToolTip(const std::string& tooltip) = 0;
    // Widths in pixels; the text width is measured in the window's font.
    virtual int Width() const = 0;
    virtual void SetWidth(int pixels) = 0;
    virtual int TextWidth(const std::string& text) const = 0;
};

} // namespace kavrin

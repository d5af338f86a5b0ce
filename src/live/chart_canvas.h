// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture area the live chart draws on: lines and short texts in pixels,
// x to the right and y downwards from the top left corner.
#include "base/controls.h"

#include <string>

namespace kavrin {

class ChartCanvas {
public:
    virtual ~ChartCanvas() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Fills the whole area with its background.
    virtual void Clear() = 0;
    virtual void Line(int x1, int y1, int x2, int y2, Colour colour) = 0;
    // Text with its top left corner at (x, top).
    virtual void Print(int x, int top, const std::string& text, Colour colour) = 0;
    virtual int TextWidth(const std::string& text) const = 0;
    // What was drawn since the last call goes to the screen: once a tick,
    // however many lines the tick drew.
    virtual void Show() {}
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window that holds a grid and its editing box, as the grid editor sees it.
// Key codes are those of edit_box.h.
#include <string>

namespace kavrin {

class OwnerWindowListener {
public:
    virtual ~OwnerWindowListener() = default;
    // A key went down anywhere in the window; seen only while key preview is
    // on, before the focused control. Setting the code to 0 consumes the key.
    virtual void OnKeyDown(int& /*keyCode*/) {}
    // The window is closing for good.
    virtual void OnUnload() {}
};

class OwnerWindow {
public:
    virtual ~OwnerWindow() = default;

    // The window's name, which also names its section of stored column widths.
    virtual std::string Name() const = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetKeyPreview(bool on) = 0;
    virtual bool KeyPreview() const = 0;
    // Moves the focus to the next control in tab order as a Tab key press
    // would, so the focused box's validation runs as the focus leaves it.
    virtual void SendTab() = 0;

    virtual void AddListener(OwnerWindowListener* listener) = 0;
    virtual void RemoveListener(OwnerWindowListener* listener) = 0;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single-line text box the grid editor lays over the current cell, as the
// logic sees it. Several listeners may be attached: the grid editor and, for
// the map boxes, the window's own step keys.
#include "base/controls.h"

#include <string>

namespace kavrin {

// Key codes as the window system reports them in key-down events.
inline constexpr int kKeyBack = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyAdd = 107;      // "+" on the numeric keypad
inline constexpr int kKeySubtract = 109; // "-" on the numeric keypad
inline constexpr int kKeyOemPlus = 187;  // "=" / "+" of the main keyboard
inline constexpr int kKeyOemMinus = 189; // "-" of the main keyboard

class EditBoxListener {
public:
    virtual ~EditBoxListener() = default;
    // The text changed, by the user or by program.
    virtual void OnChange() {}
    // A character is about to be typed; setting it to 0 swallows it.
    virtual void OnKeyPress(int& /*keyAscii*/) {}
    // A key went down; setting the code to 0 keeps the box from acting on it.
    virtual void OnKeyDown(int& /*keyCode*/) {}
    // The focus is about to leave the box; setting cancel keeps it there.
    virtual void OnValidate(bool& /*cancel*/) {}
    virtual void OnLostFocus() {}
};

class EditBox {
public:
    virtual ~EditBox() = default;

    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // Caret and selection, in characters. Setting the start clears the selection.
    virtual int SelStart() const = 0;
    virtual void SetSelStart(int start) = 0;
    virtual int SelLength() const = 0;
    virtual void SetSelLength(int length) = 0;

    virtual void SetBackColor(Colour colour) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void BringToFront() = 0;
    // False when the box cannot take the focus (hidden, disabled, no window).
    virtual bool SetFocus() = 0;
    // Position in the owner window and width, in pixels; the height stays.
    virtual void Move(float left, float top, float width) = 0;

    virtual void AddListener(EditBoxListener* listener) = 0;
    virtual void RemoveListener(EditBoxListener* listener) = 0;
};

} // namespace kavrin

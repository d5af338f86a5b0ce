#pragma once
#include "base/edit_box.h"
#include "base/listener_list.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kavrin::test {

// A text box driven by hand. Setting the text raises OnChange as the window
// system's box does, whether the user or the program sets it.
class FakeEditBox final : public EditBox {
public:
    std::string Text() const override { return text; }
    void SetText(const std::string& t) override {
        const bool changed = t != text;
        text = t;
        selStart = 0;
        selLength = 0;
        if (changed) listeners.Raise([](EditBoxListener& l) { l.OnChange(); });
    }
    int SelStart() const override { return selStart; }
    void SetSelStart(int start) override {
        selStart = std::clamp(start, 0, static_cast<int>(text.size()));
        selLength = 0;
    }
    int SelLength() const override { return selLength; }
    void SetSelLength(int length) override {
        selLength = std::clamp(length, 0, static_cast<int>(text.size()) - selStart);
    }
    void SetBackColor(Colour colour) override { backColour = colour; }
    bool Visible() const override { return visible; }
    void SetVisible(bool v) override {
        visible = v;
        if (!v) focused = false;
    }
    void BringToFront() override { ++bringToFrontCount; }
    bool SetFocus() override {
        if (!visible || refuseFocus) return false;
        focused = true;
        return true;
    }
    void Move(float l, float t, float w) override {
        left = l;
        top = t;
        width = w;
    }
    void AddListener(EditBoxListener* listener) override { listeners.Add(listener); }
    void RemoveListener(EditBoxListener* listener) override { listeners.Remove(listener); }

    // The user types characters: each goes through OnKeyPress and, unless
    // swallowed, replaces the selection.
    void Type(const std::string& chars) {
        for (char ch : chars) {
            int ascii = static_cast<unsigned char>(ch);
            listeners.Raise([&ascii](EditBoxListener& l) { l.OnKeyPress(ascii); });
            if (ascii == 0) continue;
            std::string next = text;
            next.replace(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLength), 1,
                         static_cast<char>(ascii));
            const int caret = selStart + 1;
            SetText(next);
            selStart = caret;
        }
    }
    // A key goes down: OnKeyDown, then OnKeyPress for the keys that type a
    // character (Enter, Escape). Returns the key code the listeners left.
    int PressKey(int keyCode) {
        int code = keyCode;
        listeners.Raise([&code](EditBoxListener& l) { l.OnKeyDown(code); });
        if (code == kKeyReturn || code == kKeyEscape) {
            int ascii = code;
            listeners.Raise([&ascii](EditBoxListener& l) { l.OnKeyPress(ascii); });
            lastKeyPress = ascii;
        }
        return code;
    }
    // The caret at position, nothing selected.
    void PlaceCaret(int position) { SetSelStart(position); }
    // The focus is about to leave: OnValidate, and OnLostFocus unless cancelled.
    bool LoseFocus() {
        bool cancel = false;
        listeners.Raise([&cancel](EditBoxListener& l) { l.OnValidate(cancel); });
        if (!cancel) {
            focused = false;
            listeners.Raise([](EditBoxListener& l) { l.OnLostFocus(); });
        }
        return cancel;
    }

    std::string text;
    int selStart = 0;
    int selLength = 0;
    Colour backColour = 0;
    bool visible = true;
    bool focused = false;
    bool refuseFocus = false;
    int bringToFrontCount = 0;
    int lastKeyPress = -1;
    float left = 0;
    float top = 0;
    float width = 0;
    ListenerList<EditBoxListener> listeners;
};

} // namespace kavrin::test

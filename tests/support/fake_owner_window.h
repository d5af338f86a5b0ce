#pragma once
#include "base/listener_list.h"
#include "base/owner_window.h"

#include <functional>
#include <string>
#include <utility>

namespace kavrin::test {

// The owner window of a grid, driven by hand. SendTab and DoEvents only count
// unless a test gives them something to do (a Tab usually makes the focused
// box lose the focus).
class FakeOwnerWindow final : public OwnerWindow {
public:
    explicit FakeOwnerWindow(std::string windowName = "frmKAVRIN") : name(std::move(windowName)) {}

    std::string Name() const override { return name; }
    bool IsVisible() const override { return visible; }
    void SetKeyPreview(bool on) override { keyPreview = on; }
    bool KeyPreview() const override { return keyPreview; }
    void DoEvents() override {
        ++doEventsCount;
        if (onDoEvents) onDoEvents();
    }
    void SendTab() override {
        ++sendTabCount;
        if (onSendTab) onSendTab();
    }
    void AddListener(OwnerWindowListener* listener) override { listeners.Add(listener); }
    void RemoveListener(OwnerWindowListener* listener) override { listeners.Remove(listener); }

    // A key goes down with the window's focus: the listeners see it only while
    // key preview is on. Returns the key code they left.
    int PressKey(int keyCode) {
        int code = keyCode;
        if (keyPreview) listeners.Raise([&code](OwnerWindowListener& l) { l.OnKeyDown(code); });
        return code;
    }
    void Unload() {
        listeners.Raise([](OwnerWindowListener& l) { l.OnUnload(); });
    }

    std::string name;
    bool visible = true;
    bool keyPreview = false;
    int doEventsCount = 0;
    int sendTabCount = 0;
    std::function<void()> onDoEvents;
    std::function<void()> onSendTab;
    ListenerList<OwnerWindowListener> listeners;
};

} // namespace kavrin::test

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Any top-level window as the owner of grids and editing boxes: key preview,
// event processing, the Tab key press and the unload notice.
#include "base/listener_list.h"
#include "base/owner_window.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <string>

namespace kavrin {

class QtOwnerWindow final : public QObject, public OwnerWindow {
    Q_OBJECT
public:
    // name is the window's name in the logic ("frmKAVRIN"). Watches the
    // application's key presses for the key preview, so create it after the
    // QApplication.
    QtOwnerWindow(QWidget* window, std::string name, QObject* parent = nullptr);
    ~QtOwnerWindow() override;

    std::string Name() const override { return name_; }
    bool IsVisible() const override;
    void SetKeyPreview(bool on) override { keyPreview_ = on; }
    bool KeyPreview() const override { return keyPreview_; }
    void SendTab() override;

    void AddListener(OwnerWindowListener* listener) override { listeners_.Add(listener); }
    void RemoveListener(OwnerWindowListener* listener) override { listeners_.Remove(listener); }

    // Raises OnUnload once. Called by itself when the window is closed and
    // hidden; a window that ends some other way may call it.
    void Unload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The control a key press goes to: the window's focused control, or the
    // window itself when none has the focus.
    QWidget* KeyTarget() const;

    QPointer<QWidget> window_;
    std::string name_;
    bool keyPreview_ = false;
    // Set while one key press is previewed: every editor bound to the window
    // answers Enter, and the focus is to move once, not once per editor.
    bool previewing_ = false;
    bool tabSent_ = false;
    bool closing_ = false;
    bool unloaded_ = false;
    ListenerList<OwnerWindowListener> listeners_;
};

} // namespace kavrin

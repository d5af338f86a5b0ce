// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A drop-down list of fixed choices that the grid editor can lay over a cell
// instead of its text box.
#include <string>

namespace kavrin {

class ListBox {
public:
    virtual ~ListBox() = default;

    virtual int ListCount() const = 0;
    virtual std::string List(int index) const = 0;
    // Selected item, -1 for none.
    virtual int ListIndex() const = 0;
    virtual void SetListIndex(int index) = 0;

    // Position in the owner window and width, in the window's layout units.
    virtual void Move(float left, float top, float width) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsEnabled() const = 0;
    virtual bool SetFocus() = 0;
    virtual void BringToFront() = 0;
};

} // namespace kavrin

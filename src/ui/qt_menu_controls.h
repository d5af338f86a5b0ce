// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Comm" menu's port items and the tab captions, as controls.
#include "app/main_view.h"
#include "ui/qt_controls.h"

#include <QPointer>
#include <QTabBar>

#include <functional>
#include <memory>
#include <vector>

class QMenu;

namespace kavrin {

class QtPortMenu final : public PortMenu {
public:
    // Items go into menu after everything it holds now; a click on item i
    // (1-based) calls onClick(i).
    QtPortMenu(QMenu* menu, std::function<void(int)> onClick);
    void RemoveExtraItems() override;
    CheckControl* Item(int i) override;
    QAction* action(int i) const;

private:
    QPointer<QMenu> menu_;
    std::function<void(int)> onClick_;
    std::vector<QPointer<QAction>> actions_;
    std::vector<std::unique_ptr<QtMenuControl>> items_;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_menu_controls.h"

#include <QMenu>

namespace kavrin {

QtPortMenu::QtPortMenu(QMenu* menu, std::function<void(int)> onClick)
    : menu_(menu), onClick_(std::move(onClick)) {}

CheckControl* QtPortMenu::Item(int i) {
    if (i < 1 || !menu_) return nullptr;
    while (static_cast<int>(actions_.size()) < i) {
        const int index = static_cast<int>(actions_.size()) + 1;
        QAction* action = menu_->addAction(index == 1 ? QStringLiteral("com1") : QString());
        action->setCheckable(true);
        action->setObjectName(QStringLiteral("mncom%1").arg(index));
        QObject::connect(action, &QAction::triggered, menu_, [this, index] {
            // The check mark is the link's to set: it marks the port that opened.
            if (QAction* a = actions_[static_cast<std::size_t>(index - 1)])
                a->setChecked(!a->isChecked());
            if (onClick_) onClick_(index);
        });
        actions_.push_back(action);
        items_.push_back(std::make_unique<QtMenuControl>(action));
    }
    return items_[static_cast<std::size_t>(i - 1)].get();
}

void QtPortMenu::RemoveExtraItems() {
    while (actions_.size() > 1) {
        if (QAction* a = actions_.back()) {
            if (menu_) menu_->removeAction(a);
            a->deleteLater();
        }
        actions_.pop_back();
        items_.pop_back();
    }
}

QAction* QtPortMenu::action(int i) const {
    return i >= 1 && i <= static_cast<int>(actions_.size())
               ? actions_[static_cast<std::size_t>(i - 1)].data()
               : nullptr;
}

} // namespace kavrin

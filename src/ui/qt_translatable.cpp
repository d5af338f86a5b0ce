// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_translatable.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace kavrin {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

struct Entry {
    const char* key; // design caption or object name
    int tag;
};

// Menus and their items, by design caption.
constexpr Entry kMenuTags[] = {
    {"File", 1},  {"Data Format", 2},   {"Comm", 3}, {"Language", 4},      {"About", 5},
    {"Open", 6},  {"Save", 7},          {"Exit", 8}, {"Raw Data", 9},      {"Formatted Data", 10},
    {"Auto", 11}, {"About KAVRIN", 12}, {"Log", 93}, {"Open log...", 250}, {"Analyse mixture", 251},
    {"Edit", 195}, {"Compare with...", 187}, {"Recent ECU configurations", 186},
};

// Labels beside the status indicators and the parameter fields, by design caption.
constexpr Entry kLabelTags[] = {
    {"SELECTOR:", 34},   {"CRANKING:", 35},   {"STOP:", 36},        {"FIRST:", 37},
    {"PULSE:", 38},      {"ANTICIP:", 39},    {"compensation", 42}, {"EFI angle", 43},
    {"MAIN ANGLE", 44},  {"FUEL pump", 45},   {"THR MIN", 46},      {"THR MAX", 47},
    {"Cut off:", 48},    {"EFI Factor:", 49}, {"EFI offset:", 50},  {"Priming pulse:", 51},
    {"Dwell Time:", 52},
};

// Controls with a name of their own.
constexpr Entry kNamedTags[] = {
    {"lblFuelMap", 67},
    {"lblIgnitionMap", 68},
    {"lblAirComp", 70},
    {"lblEngComp", 70},
    // Their entries hold only a tooltip: the label shows a suggested value.
    {"lblfactor", 151},
    {"lbloffset", 152},
};

int Find(const Entry* table, std::size_t n, const QString& key) {
    for (std::size_t i = 0; i < n; ++i)
        if (key == QLatin1String(table[i].key)) return table[i].tag;
    return 0;
}

template <std::size_t N> int Find(const Entry (&table)[N], const QString& key) {
    return Find(table, N, key);
}

int ChannelOrOptionTag(const QString& name) {
    bool ok = false;
    if (name.startsWith(QLatin1String("chk"))) {
        const int n = name.mid(3).toInt(&ok);
        if (ok && n >= 0 && n < 16) return 15 + n;
    } else if (name.startsWith(QLatin1String("options2_"))) {
        const int n = name.mid(9).toInt(&ok);
        if (ok && n >= 0 && n < 2) return 61 + n;
    } else if (name.startsWith(QLatin1String("options"))) {
        const int n = name.mid(7).toInt(&ok);
        if (ok && n >= 0 && n < 8) return 53 + n;
    }
    return 0;
}

void TagMenu(QMenu* menu, const QWidget* window,
             std::vector<std::unique_ptr<QtTranslatable>>& out) {
    if (const int tag = Find(kMenuTags, menu->title()))
        out.push_back(std::make_unique<QtTranslatable>(menu->menuAction(), tag,
                                                       TranslatableControl::Kind::Menu, window));
    for (QAction* action : menu->actions()) {
        if (action->menu()) {
            TagMenu(action->menu(), window, out);
        } else if (const int tag = Find(kMenuTags, action->text())) {
            out.push_back(std::make_unique<QtTranslatable>(
                action, tag, TranslatableControl::Kind::Menu, window));
            // The log's entry says in the status bar what it does.
            if (tag == 93)
                out.push_back(std::make_unique<QtTranslatable>(
                    action, 94, TranslatableControl::Kind::Plain, window, true));
        }
    }
}
} // namespace

QtTranslatable::QtTranslatable(QObject* object, int tag, Kind kind, const QWidget* window,
                               bool statusTip)
    : object_(object), tag_(tag), kind_(kind), window_(window), statusTip_(statusTip) {}

void QtTranslatable::SetCaption(const std::string& caption) {
    auto* a = qobject_cast<QAction*>(object_);
    if (a && statusTip_)
        a->setStatusTip(Q(caption));
    else if (a)
        a->setText(Q(caption));
    else if (auto* l = qobject_cast<QLabel*>(object_))
        l->setText(Q(caption));
    else if (auto* b = qobject_cast<QAbstractButton*>(object_))
        b->setText(Q(caption));
}

void QtTranslatable::SetToolTip(const std::string& tooltip) {
    if (auto* w = qobject_cast<QWidget*>(object_)) w->setToolTip(Q(tooltip));
}

int QtTranslatable::Width() const {
    auto* w = qobject_cast<QWidget*>(object_);
    return w ? w->width() : 0;
}

void QtTranslatable::SetWidth(int pixels) {
    if (auto* w = qobject_cast<QWidget*>(object_)) w->resize(pixels, w->height());
}

int QtTranslatable::TextWidth(const std::string& text) const {
    const QFont font = window_ ? window_->font() : QFont();
    return QFontMetrics(font).horizontalAdvance(Q(text));
}

std::vector<std::unique_ptr<QtTranslatable>> TagMainWindowControls(QMainWindow* window) {
    std::vector<std::unique_ptr<QtTranslatable>> out;
    for (QAction* action : window->menuBar()->actions())
        if (action->menu()) TagMenu(action->menu(), window, out);
    using Kind = TranslatableControl::Kind;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (auto* box = qobject_cast<QCheckBox*>(w)) {
            if (const int tag = ChannelOrOptionTag(name))
                out.push_back(std::make_unique<QtTranslatable>(box, tag, Kind::CheckBox, window));
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            int tag = Find(kNamedTags, name);
            if (!tag && name.isEmpty()) tag = Find(kLabelTags, label->text());
            if (tag)
                out.push_back(std::make_unique<QtTranslatable>(label, tag, Kind::Plain, window));
        }
    }
    return out;
}

} // namespace kavrin

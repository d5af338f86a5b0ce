// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the accessibility tools read in the main window: the tables as tables,
// each field by its caption, each channel value with its name and unit, each
// indicator's state in words, the chart as a described picture and the
// status-bar panels with what they count.
#include "app/main_view.h"
#include "base/language_texts.h"

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace kavrin {

class ChartWidget;

// A widget's accessible name worked out when a tool asks for it, so that
// values changing many times a second cost nothing while nobody listens.
class AccessibleNameSource final : public QObject {
    Q_OBJECT
public:
    AccessibleNameSource(QWidget* widget, std::function<QString()> name,
                         std::function<QString()> description = {});
    QString Name() const { return name_(); }
    QString Description() const { return description_ ? description_() : QString(); }
    // The source a widget has, or null.
    static AccessibleNameSource* Of(QObject* object);

private:
    std::function<QString()> name_;
    std::function<QString()> description_;
};

// Installs the interfaces of the tables, the labels and the chart; before the
// first widget is built, as Qt keeps an interface once it has made one.
void InstallAccessibility();

// Installs the accessibility interfaces of the tables and the named widgets
// (once per process; a second call replaces nothing) and names the window's
// controls.
void DescribeForAccessibility(QWidget& window, const MainView& view, ChartWidget& chart,
                              const LanguageTexts& texts);

// The chart's description: which channels it plots.
QString ChartDescription(const MainView& view, const LanguageTexts& texts);
// The names that do not change with what a part shows, in the current
// language: given again after a change of language.
void NameFixedParts(QWidget& window, const MainView& view, const LanguageTexts& texts);

} // namespace kavrin

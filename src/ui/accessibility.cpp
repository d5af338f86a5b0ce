// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessibility.h"

#include "base/text_entries.h"

#include "live/channels.h"
#include "ui/chart_widget.h"
#include "ui/qt_controls.h"
#include "ui/qt_grid_control.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <map>

namespace kavrin {

AccessibleNameSource::AccessibleNameSource(QWidget* widget, std::function<QString()> name,
                                           std::function<QString()> description)
    : QObject(widget), name_(std::move(name)), description_(std::move(description)) {
    setObjectName(QStringLiteral("accessibleNameSource"));
}

AccessibleNameSource* AccessibleNameSource::Of(QObject* object) {
    return object ? object->findChild<AccessibleNameSource*>(QStringLiteral("accessibleNameSource"),
                                                             Qt::FindDirectChildrenOnly)
                  : nullptr;
}

namespace {

QWidget* WidgetOf(const Control* control) {
    auto* c = dynamic_cast<const QtWidgetControl*>(control);
    return c ? c->widget() : nullptr;
}

QString TextOf(const Control* control) {
    return control ? QString::fromStdString(control->Text()) : QString();
}

// Labels and the chart: the name (and description) come from the widget's
// source when it has one, looked up when asked, since Qt keeps the interface
// of a label from its first text change on.
class NamedWidget final : public QAccessibleWidget {
public:
    explicit NamedWidget(QWidget* w) : QAccessibleWidget(w) {}
    QAccessible::Role role() const override {
        if (qobject_cast<ChartWidget*>(widget())) return QAccessible::Graphic;
        if (auto* l = qobject_cast<QLabel*>(widget());
            l && l->text().isEmpty() && !l->pixmap().isNull())
            return QAccessible::Graphic;
        return QAccessible::StaticText;
    }
    QString text(QAccessible::Text t) const override {
        AccessibleNameSource* source = AccessibleNameSource::Of(widget());
        auto* label = qobject_cast<QLabel*>(widget());
        if (t == QAccessible::Name) {
            if (source) return source->Name();
            if (!widget()->accessibleName().isEmpty()) return widget()->accessibleName();
            if (label) return label->text();
        }
        if (t == QAccessible::Description && source) {
            const QString d = source->Description();
            if (!d.isEmpty()) return d;
        }
        if (t == QAccessible::Value && label) return label->text();
        return QAccessibleWidget::text(t);
    }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto rels = QAccessibleWidget::relations(match);
        if (auto* label = qobject_cast<QLabel*>(widget());
            label && label->buddy() && (match & QAccessible::Labelled))
            if (QAccessibleInterface* buddy = QAccessible::queryAccessibleInterface(label->buddy()))
                rels.append({buddy, QAccessible::Labelled});
        return rels;
    }
};

class GridTable;

// One cell of a table grid. Row 0 holds the column headers and column 0 the
// row headers, as the grid draws them.
class GridCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCell(QtGridControl* grid, GridTable* table, int row, int col)
        : grid_(grid), table_(table), row_(row), col_(col) {}

    bool isValid() const override { return grid_ && row_ < grid_->Rows() && col_ < grid_->Cols(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name || t == QAccessible::Value) {
            const QString text = QString::fromStdString(grid_->TextMatrix(row_, col_));
            // A table with one unlabelled row (the ignition map) names that
            // row after the table.
            if (text.isEmpty() && t == QAccessible::Name && col_ < grid_->FixedCols() &&
                row_ >= grid_->FixedRows())
                return grid_->accessibleName();
            return text;
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = grid_->CellRect(row_, col_);
        return QRect(grid_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override {
        if (row_ == 0 && col_ == 0) return QAccessible::ColumnHeader;
        if (row_ < grid_->FixedRows()) return QAccessible::ColumnHeader;
        if (col_ < grid_->FixedCols()) return QAccessible::RowHeader;
        return QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool header = row_ < grid_->FixedRows() || col_ < grid_->FixedCols();
        s.selectable = !header;
        s.focusable = !header;
        s.selected = isSelected();
        s.focused = grid_->hasFocus() && row_ == grid_->Row() && col_ == grid_->Col();
        s.readOnly = true; // edited through the window's own editing box
        if (rect().isEmpty()) s.invisible = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override {
        if (!isValid() || row_ < grid_->FixedRows() || col_ < grid_->FixedCols()) return false;
        return row_ >= std::min(grid_->Row(), grid_->RowSel()) &&
               row_ <= std::max(grid_->Row(), grid_->RowSel()) &&
               col_ >= std::min(grid_->Col(), grid_->ColSel()) &&
               col_ <= std::max(grid_->Col(), grid_->ColSel());
    }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return col_ - grid_->FixedCols(); }
    int rowIndex() const override { return row_ - grid_->FixedRows(); }
    QAccessibleInterface* table() const override;

private:
    QPointer<QtGridControl> grid_;
    GridTable* table_;
    int row_, col_;
};

class GridTable final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    GridTable(QtGridControl* grid, const QString& name)
        : QAccessibleWidget(grid, QAccessible::Table, name), grid_(grid) {}
    ~GridTable() override {
        for (const auto& [key, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    }

    QAccessibleInterface* Cell(int row, int col) const {
        if (row < 0 || col < 0 || row >= grid_->Rows() || col >= grid_->Cols()) return nullptr;
        const auto key = std::make_pair(row, col);
        auto it = cells_.find(key);
        if (it == cells_.end()) {
            auto* cell = new GridCell(grid_, const_cast<GridTable*>(this), row, col);
            it = cells_.emplace(key, QAccessible::registerAccessibleInterface(cell)).first;
        }
        return QAccessible::accessibleInterface(it->second);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString name = grid_->accessibleName();
            return name.isEmpty() ? QString::fromStdString(grid_->Name()) : name;
        }
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return grid_->Rows() * grid_->Cols(); }
    QAccessibleInterface* child(int index) const override {
        const int cols = grid_->Cols();
        return cols > 0 && index >= 0 ? Cell(index / cols, index % cols) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [key, id] : cells_)
            if (QAccessible::accessibleInterface(id) == child)
                return key.first * grid_->Cols() + key.second;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int r = 0; r < grid_->Rows(); ++r)
            for (int c = 0; c < grid_->Cols(); ++c) {
                const QRect rect = grid_->CellRect(r, c);
                if (QRect(grid_->mapToGlobal(rect.topLeft()), rect.size()).contains(x, y))
                    return Cell(r, c);
            }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override { return Cell(grid_->Row(), grid_->Col()); }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The table proper leaves out the header row and column.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return Cell(row + grid_->FixedRows(), column + grid_->FixedCols());
    }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> out;
        for (int r = std::min(grid_->Row(), grid_->RowSel());
             r <= std::max(grid_->Row(), grid_->RowSel()); ++r)
            for (int c = std::min(grid_->Col(), grid_->ColSel());
                 c <= std::max(grid_->Col(), grid_->ColSel()); ++c)
                if (r >= grid_->FixedRows() && c >= grid_->FixedCols()) out.push_back(Cell(r, c));
        return out;
    }
    QString columnDescription(int column) const override {
        return QString::fromStdString(grid_->TextMatrix(0, column + grid_->FixedCols()));
    }
    QString rowDescription(int row) const override {
        return QString::fromStdString(grid_->TextMatrix(row + grid_->FixedRows(), 0));
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return grid_->Cols() - grid_->FixedCols(); }
    int rowCount() const override { return grid_->Rows() - grid_->FixedRows(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    QtGridControl* grid_;
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

QAccessibleInterface* GridCell::parent() const {
    return table_;
}
QAccessibleInterface* GridCell::table() const {
    return table_;
}
QList<QAccessibleInterface*> GridCell::columnHeaderCells() const {
    if (!isValid() || row_ < grid_->FixedRows()) return {};
    return {table_->Cell(0, col_)};
}
QList<QAccessibleInterface*> GridCell::rowHeaderCells() const {
    if (!isValid() || col_ < grid_->FixedCols()) return {};
    return {table_->Cell(row_, 0)};
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* grid = qobject_cast<QtGridControl*>(object)) return new GridTable(grid, QString());
    if (qobject_cast<ChartWidget*>(object) || qobject_cast<QLabel*>(object))
        return new NamedWidget(static_cast<QWidget*>(object));
    return nullptr;
}

void Name(QWidget* w, std::function<QString()> name, std::function<QString()> description = {}) {
    if (w && !AccessibleNameSource::Of(w))
        new AccessibleNameSource(w, std::move(name), std::move(description));
}

// Caption labels name the field beside them: the label on the same row to its left.
void LabelByCaption(QWidget* field) {
    if (!field || !field->parentWidget()) return;
    QLabel* best = nullptr;
    for (QLabel* l : field->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        const QRect g = l->geometry();
        if (g.right() >= field->x() ||
            std::abs(g.center().y() - field->geometry().center().y()) > 6)
            continue;
        if (!best || g.right() > best->geometry().right()) best = l;
    }
    if (best) best->setBuddy(field);
}

// A language entry as the accessibility interface takes it.
struct Words {
    const LanguageTexts& texts;
    QString operator()(int entry, std::initializer_list<std::string_view> fill = {}) const {
        return QString::fromStdString(texts.Format(entry, fill));
    }
};

} // namespace

QString ChartDescription(const MainView& view, const LanguageTexts& texts) {
    const Words say{texts};
    QStringList plotted;
    const auto& table = ChannelTable();
    for (int n = 0; n < kMeasuredChannels; ++n) {
        const CheckControl* chk = view.channels.chk[n];
        if (chk && chk->IsChecked())
            plotted << say(text::kA11yScaleOf,
                           {table[n].name, TextOf(view.channels.txtEscala[n]).toStdString()});
    }
    const QString traces =
        plotted.isEmpty() ? say(text::kA11yNothingPlotted)
                          : say(text::kA11yPlotting, {plotted.join(", ").toStdString()});
    return say(text::kA11yChartDescription, {traces.toStdString()});
}

void InstallAccessibility() {
    QAccessible::removeFactory(&Factory);
    QAccessible::installFactory(&Factory);
}

void NameFixedParts(QWidget& window, const MainView& view, const LanguageTexts& texts) {
    const Words say{texts};
    const auto name = [&](QWidget* w, const QString& text) {
        if (w) w->setAccessibleName(text);
    };
    const std::pair<GridControl*, int> grids[] = {
        {view.grids.grd_fuel, text::kA11yFuelMap},
        {view.grids.grd_ign, text::kA11yIgnitionMap},
        {view.grids.grd3, text::kA11yEngineComp},
        {view.grids.grd4, text::kA11yAirComp},
    };
    for (const auto& [g, entry] : grids) name(dynamic_cast<QtGridControl*>(g), say(entry));
    const std::pair<EditBox*, int> boxes[] = {
        {view.txtgrd_fuel, text::kA11yFuelCellValue},
        {view.txtgrd_ign, text::kA11yIgnitionCellValue},
        {view.txtgrd3, text::kA11yEngineCompValue},
        {view.txtGrd4, text::kA11yAirCompValue},
    };
    for (const auto& [b, entry] : boxes) name(dynamic_cast<QWidget*>(b), say(entry));
    for (int n = 0; n < kMeasuredChannels; ++n)
        name(WidgetOf(view.channels.txtEscala[n]),
             say(text::kA11yChartScale, {ChannelTable()[n].name}));
    name(WidgetOf(view.p), say(text::kA11yFuelMarker));
    name(WidgetOf(view.p2), say(text::kA11yIgnitionMarker));
    name(window.findChild<QWidget*>(QStringLiteral("barra")), say(text::kA11yStatusBar));
}

void DescribeForAccessibility(QWidget& window, const MainView& view, ChartWidget& chart,
                              const LanguageTexts& texts) {
    InstallAccessibility();
    // Every name is asked for when a reader wants it, so it follows the
    // interface language.
    const Words say{texts};

    NameFixedParts(window, view, texts);

    const ChannelControls& ch = view.channels;
    const auto& table = ChannelTable();
    for (int n = 0; n < kMeasuredChannels; ++n) {
        const QString channel = QString::fromLatin1(table[n].name);
        const Control* value = ch.lblvalor[n];
        const Control* unit = ch.lblUnit[n];
        Name(WidgetOf(value), [channel, value, unit] {
            const QString u = TextOf(unit);
            return u.isEmpty() ? QStringLiteral("%1 %2").arg(channel, TextOf(value))
                               : QStringLiteral("%1 %2 %3").arg(channel, TextOf(value), u);
        });
        Name(WidgetOf(unit), [say, channel, unit] {
            const QString u = TextOf(unit);
            return say(text::kA11yUnitOf,
                       {channel.toStdString(),
                        u.isEmpty() ? say(text::kA11yRawCount).toStdString() : u.toStdString()});
        });
    }

    // Indicators that carry their state as a colour say it in words.
    const std::pair<Control*, QString> lit[] = {
        {ch.lblCranking, QStringLiteral("CRANKING")},
        {ch.lblStop, QStringLiteral("STOP")},
        {ch.lblFirst, QStringLiteral("FIRST")},
        {ch.lblAnticip, QStringLiteral("ANTICIP")},
    };
    for (const auto& [control, caption] : lit) {
        QWidget* w = WidgetOf(control);
        if (!w) continue;
        QPointer<QWidget> self(w), top(&window);
        Name(w, [say, self, top, caption = caption] {
            const bool on =
                self && top &&
                self->palette().color(QPalette::Window) != top->palette().color(QPalette::Window);
            return QStringLiteral("%1 %2").arg(caption,
                                               say(on ? text::kA11yOn : text::kA11yOff));
        });
    }
    const std::pair<Control*, QString> shown[] = {
        {ch.lblselector, QStringLiteral("SELECTOR")},
        {ch.lblPulse, QStringLiteral("PULSE")},
    };
    for (const auto& [control, caption] : shown)
        Name(WidgetOf(control), [control = control, caption = caption] {
            return QStringLiteral("%1 %2").arg(caption, TextOf(control));
        });

    // Fields by their captions.
    for (Control* field :
         {view.parameters.txtCompensation, view.parameters.txtMainAngle,
          view.parameters.txtEFI_angle, view.parameters.txtPump, view.parameters.txtTHRmin,
          view.parameters.txtTHRmax, view.parameters.txtCorte, view.parameters.txtFactor,
          view.parameters.txtOffset, view.parameters.txtPriming, view.parameters.txtDwell})
        LabelByCaption(WidgetOf(field));
    const std::pair<Control*, int> suggestions[] = {
        {view.parameters.lblfactor, text::kA11ySuggestedFactor},
        {view.parameters.lbloffset, text::kA11ySuggestedOffset},
    };
    for (const auto& [control, entry] : suggestions)
        Name(WidgetOf(control), [say, control = control, entry = entry] {
            const QString t = TextOf(control);
            return t.isEmpty() ? say(entry) : QStringLiteral("%1 %2").arg(say(entry), t);
        });
    for (Control* unit : view.maps.lblfmt) {
        QWidget* w = WidgetOf(unit);
        if (!w || !w->parentWidget()) continue;
        // The unit belongs to the field on its row.
        QPointer<QLineEdit> field;
        for (QLineEdit* e : w->parentWidget()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
            if (std::abs(e->geometry().center().y() - w->geometry().center().y()) <= 6) field = e;
        Name(w, [say, field, unit] {
            QString caption;
            if (field && field->parentWidget())
                for (QLabel* l :
                     field->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
                    if (l->buddy() == field) caption = l->text();
            return say(text::kA11yUnitOf, {caption.toStdString(), TextOf(unit).toStdString()});
        });
    }

    const int counts[] = {text::kA11yLastStatus, text::kA11yBadDumps, text::kA11yBadFrames,
                          text::kA11yTimeouts, text::kA11yDumpRetries};
    for (int k = 0; k < 5; ++k) {
        const Control* panel = view.counterPanels[k];
        Name(
            WidgetOf(panel),
            [say, panel] {
                return say(text::kA11yStatusPanel, {TextOf(panel).trimmed().toStdString()});
            },
            [say, entry = counts[k]] { return say(entry); });
    }
    if (auto* picture = window.findChild<QLabel*>(QStringLiteral("connection_picture"))) {
        QPointer<QLabel> self(picture);
        Name(picture, [say, self] {
            return say(self && self->property("connected").toBool() ? text::kA11yLinkUp
                                                                    : text::kA11yLinkDown);
        });
    }
    if (auto* panel = window.findChild<QLabel*>(QStringLiteral("connection")))
        Name(panel, [say] { return say(text::kA11yConnection); });
    const Control* log = view.logPanel;
    Name(WidgetOf(log),
         [say, log] { return say(text::kA11yDatalog, {TextOf(log).toStdString()}); });

    const MainView* v = &view;
    const LanguageTexts* t = &texts;
    Name(
        &chart, [say] { return say(text::kA11yLiveChart); },
        [v, t] { return ChartDescription(*v, *t); });
}

} // namespace kavrin

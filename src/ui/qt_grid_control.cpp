// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_grid_control.h"

#include "ui/qt_controls.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace kavrin {

QtGridControl::QtGridControl(std::string name, QWidget* parent)
    : QAbstractScrollArea(parent), name_(std::move(name)) {
    setObjectName(QString::fromStdString(name_));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    defaultRowHeight_ = std::max(240, (fontMetrics().height() + 3) * kTwipsPerPixel);
    const QColor base = palette().color(QPalette::Base);
    backColour_ = Rgb(base.red(), base.green(), base.blue());
    Resize();
}

// ---- Storage -------------------------------------------------------------------

QtGridControl::CellData* QtGridControl::Cell(int row, int col) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return nullptr;
    return &cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

const QtGridControl::CellData* QtGridControl::Cell(int row, int col) const {
    return const_cast<QtGridControl*>(this)->Cell(row, col);
}

void QtGridControl::Resize() {
    cells_.resize(static_cast<std::size_t>(rows_));
    for (auto& r : cells_) r.resize(static_cast<std::size_t>(cols_));
    colWidths_.resize(static_cast<std::size_t>(cols_), kDefaultColWidth);
    rowHeights_.resize(static_cast<std::size_t>(rows_), defaultRowHeight_);
    fixedRows_ = std::min(fixedRows_, rows_);
    fixedCols_ = std::min(fixedCols_, cols_);
    const int lastRow = std::max(rows_ - 1, 0);
    const int lastCol = std::max(cols_ - 1, 0);
    row_ = std::clamp(row_, 0, lastRow);
    rowSel_ = std::clamp(rowSel_, 0, lastRow);
    col_ = std::clamp(col_, 0, lastCol);
    colSel_ = std::clamp(colSel_, 0, lastCol);
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, lastRow));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, lastCol));
    UpdateScrollBars();
    viewport()->update();
}

void QtGridControl::SetRows(int rows) {
    if (std::max(rows, 0) == rows_) return;
    rows_ = std::max(rows, 0);
    Resize();
}

void QtGridControl::SetCols(int cols) {
    if (std::max(cols, 0) == cols_) return;
    cols_ = std::max(cols, 0);
    Resize();
}

std::string QtGridControl::TextMatrix(int row, int col) const {
    const CellData* cell = Cell(row, col);
    return cell ? cell->text.toStdString() : std::string();
}

void QtGridControl::SetTextMatrix(int row, int col, const std::string& text) {
    // Every refresh of the image rewrites every cell, mostly with what it
    // shows already: only a cell that changed is drawn again.
    CellData* cell = Cell(row, col);
    if (!cell) return;
    QString shown = QString::fromStdString(text);
    if (shown == cell->text) return;
    cell->text = std::move(shown);
    viewport()->update(CellRect(row, col));
}

Colour QtGridControl::CellBackColor() const {
    return CellBackColorAt(row_, col_);
}

Colour QtGridControl::CellBackColorAt(int row, int col) const {
    const CellData* cell = Cell(row, col);
    return cell ? cell->back : 0;
}

void QtGridControl::SetCellBackColor(Colour colour) {
    // The live cell is re-marked on every link tick: only a change is drawn.
    if (CellData* cell = Cell(row_, col_); cell && cell->back != colour) {
        cell->back = colour;
        viewport()->update(CellRect(row_, col_));
    }
}

Colour QtGridControl::CellForeColor() const {
    const CellData* cell = Cell(row_, col_);
    return cell ? cell->fore : 0;
}

void QtGridControl::SetCellForeColor(Colour colour) {
    if (CellData* cell = Cell(row_, col_); cell && cell->fore != colour) {
        cell->fore = colour;
        viewport()->update(CellRect(row_, col_));
    }
}

void QtGridControl::SetBackColor(Colour colour) {
    // Set again on every tick while data arrives.
    if (colour == backColour_) return;
    backColour_ = colour;
    viewport()->update();
}

// ---- Geometry ------------------------------------------------------------------

int QtGridControl::ColWidth(int col) const {
    return col >= 0 && col < cols_ ? colWidths_[static_cast<std::size_t>(col)] : 0;
}

void QtGridControl::SetColWidth(int col, int twips) {
    if (col < 0 || col >= cols_ || ColWidth(col) == std::max(twips, 0)) return;
    colWidths_[static_cast<std::size_t>(col)] = std::max(twips, 0);
    UpdateScrollBars();
    viewport()->update();
}

int QtGridControl::RowHeight(int row) const {
    return row >= 0 && row < rows_ ? rowHeights_[static_cast<std::size_t>(row)] : 0;
}

void QtGridControl::SetRowHeight(int row, int twips) {
    if (row < 0 || row >= rows_ || RowHeight(row) == std::max(twips, 0)) return;
    rowHeights_[static_cast<std::size_t>(row)] = std::max(twips, 0);
    UpdateScrollBars();
    viewport()->update();
}

int QtGridControl::ColPixels(int col) const {
    return (ColWidth(col) + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

int QtGridControl::RowPixels(int row) const {
    return (RowHeight(row) + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Fixed columns stay at the left edge; the others scroll under them by whole
// columns, so a column left of the first one shown has a negative position.
int QtGridControl::ColX(int col) const {
    int x = 0;
    for (int c = 0; c < std::min(col, fixedCols_); ++c) x += ColPixels(c);
    if (col < fixedCols_) return x;
    for (int c = leftCol_; c < col; ++c) x += ColPixels(c);
    for (int c = col; c < leftCol_; ++c) x -= ColPixels(c);
    return x;
}

int QtGridControl::RowY(int row) const {
    int y = 0;
    for (int r = 0; r < std::min(row, fixedRows_); ++r) y += RowPixels(r);
    if (row < fixedRows_) return y;
    for (int r = topRow_; r < row; ++r) y += RowPixels(r);
    for (int r = row; r < topRow_; ++r) y -= RowPixels(r);
    return y;
}

int QtGridControl::RowPos(int row) const {
    return RowY(row) * kTwipsPerPixel;
}

int QtGridControl::ColPos(int col) const {
    return ColX(col) * kTwipsPerPixel;
}

QRect QtGridControl::CellRect(int row, int col) const {
    return QRect(ColX(col), RowY(row), ColPixels(col), RowPixels(row));
}

int QtGridControl::Left() const {
    return isWindow() ? 0 : mapTo(window(), QPoint(0, 0)).x();
}

int QtGridControl::Top() const {
    return isWindow() ? 0 : mapTo(window(), QPoint(0, 0)).y();
}

// The first scrollable row shown when the grid is scrolled to its end.
int QtGridControl::LastTopRow() const {
    int fixedHeight = 0;
    for (int r = 0; r < fixedRows_; ++r) fixedHeight += RowPixels(r);
    const int room = viewport()->height() - fixedHeight;
    int top = std::max(rows_ - 1, fixedRows_);
    int used = 0;
    for (int r = rows_ - 1; r >= fixedRows_; --r) {
        used += RowPixels(r);
        if (used > room && r < rows_ - 1) break;
        top = r;
    }
    return top;
}

int QtGridControl::LastLeftCol() const {
    int fixedWidth = 0;
    for (int c = 0; c < fixedCols_; ++c) fixedWidth += ColPixels(c);
    const int room = viewport()->width() - fixedWidth;
    int left = std::max(cols_ - 1, fixedCols_);
    int used = 0;
    for (int c = cols_ - 1; c >= fixedCols_; --c) {
        used += ColPixels(c);
        if (used > room && c < cols_ - 1) break;
        left = c;
    }
    return left;
}

void QtGridControl::UpdateScrollBars() {
    verticalScrollBar()->setRange(0, std::max(0, LastTopRow() - fixedRows_));
    horizontalScrollBar()->setRange(0, std::max(0, LastLeftCol() - fixedCols_));
}

void QtGridControl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void QtGridControl::SetTopRow(int row) {
    verticalScrollBar()->setValue(std::clamp(row, fixedRows_, LastTopRow()) - fixedRows_);
}

void QtGridControl::scrollContentsBy(int, int) {
    topRow_ = fixedRows_ + verticalScrollBar()->value();
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    viewport()->update();
    listeners_.Raise([](GridListener& l) { l.OnScroll(); });
}

void QtGridControl::EnsureVisible(int row, int col) {
    if (row >= fixedRows_) {
        if (row < topRow_) SetTopRow(row);
        while (topRow_ < row && RowY(row) + RowPixels(row) > viewport()->height()) {
            const int before = topRow_;
            SetTopRow(topRow_ + 1);
            if (topRow_ == before) break;
        }
    }
    if (col >= fixedCols_) {
        QScrollBar* bar = horizontalScrollBar();
        if (col < leftCol_) bar->setValue(col - fixedCols_);
        while (leftCol_ < col && ColX(col) + ColPixels(col) > viewport()->width()) {
            const int before = leftCol_;
            bar->setValue(bar->value() + 1);
            if (leftCol_ == before) break;
        }
    }
}

// Rows on screen, top to bottom: the fixed ones, then from the top row down.
std::vector<int> QtGridControl::ShownRows() const {
    std::vector<int> rows;
    for (int r = 0; r < fixedRows_; ++r) rows.push_back(r);
    for (int r = topRow_; r < rows_ && RowY(r) < viewport()->height(); ++r) rows.push_back(r);
    return rows;
}

std::vector<int> QtGridControl::ShownCols() const {
    std::vector<int> cols;
    for (int c = 0; c < fixedCols_; ++c) cols.push_back(c);
    for (int c = leftCol_; c < cols_ && ColX(c) < viewport()->width(); ++c) cols.push_back(c);
    return cols;
}

std::optional<std::pair<int, int>> QtGridControl::CellAt(const QPoint& point) const {
    std::optional<int> row;
    for (int r : ShownRows())
        if (point.y() >= RowY(r) && point.y() < RowY(r) + RowPixels(r)) row = r;
    std::optional<int> col;
    for (int c : ShownCols())
        if (point.x() >= ColX(c) && point.x() < ColX(c) + ColPixels(c)) col = c;
    if (!row || !col) return std::nullopt;
    return std::make_pair(*row, *col);
}

// ---- Selection -----------------------------------------------------------------

void QtGridControl::SetRow(int row) {
    if (row < 0 || row >= rows_) return;
    Select(row, col_, row, col_);
}

void QtGridControl::SetCol(int col) {
    if (col < 0 || col >= cols_) return;
    Select(row_, col, row_, col);
}

void QtGridControl::SetRowSel(int row) {
    if (row < 0 || row >= rows_) return;
    Select(row_, col_, row, colSel_);
}

void QtGridControl::SetColSel(int col) {
    if (col < 0 || col >= cols_) return;
    Select(row_, col_, rowSel_, col);
}

void QtGridControl::Select(int row, int col, int rowSel, int colSel) {
    const bool cellChanged = row != row_ || col != col_;
    const bool blockChanged = cellChanged || rowSel != rowSel_ || colSel != colSel_;
    // A single current cell shows only through the focus frame.
    const bool wasBlock = row_ != rowSel_ || col_ != colSel_;
    const bool isBlock = row != rowSel || col != colSel;
    if (blockChanged && (wasBlock || isBlock || hasFocus())) {
        // The live cell marking moves the current cell about whenever the
        // operating point moves: only the blocks before and after are drawn
        // again, not the cells between them.
        auto block = [this](int r1, int c1, int r2, int c2) {
            return CellRect(std::min(r1, r2), std::min(c1, c2))
                .united(CellRect(std::max(r1, r2), std::max(c1, c2)));
        };
        viewport()->update(block(row_, col_, rowSel_, colSel_));
        viewport()->update(block(row, col, rowSel, colSel));
    }
    row_ = row;
    col_ = col;
    rowSel_ = rowSel;
    colSel_ = colSel;
    if (cellChanged) listeners_.Raise([](GridListener& l) { l.OnRowColChange(); });
    if (blockChanged) listeners_.Raise([](GridListener& l) { l.OnSelChange(); });
}

bool QtGridControl::IsSelected(int row, int col) const {
    // One cell is shown by the focus frame alone; only a block is highlighted.
    if (row_ == rowSel_ && col_ == colSel_) return false;
    if (row < fixedRows_ || col < fixedCols_) return false;
    return row >= std::min(row_, rowSel_) && row <= std::max(row_, rowSel_) &&
           col >= std::min(col_, colSel_) && col <= std::max(col_, colSel_);
}

// ---- Drawing -------------------------------------------------------------------

QColor QtGridControl::ShownBackground(int row, int col) const {
    const CellData* cell = Cell(row, col);
    if (!cell) return ToQColor(kOutsideColour);
    if (row < fixedRows_ || col < fixedCols_)
        return cell->back ? ToQColor(cell->back) : palette().color(QPalette::Button);
    if (IsSelected(row, col)) return ToQColor(kSelectionColour);
    return ToQColor(cell->back ? cell->back : backColour_);
}

QColor QtGridControl::ShownTextColour(int row, int col) const {
    const CellData* cell = Cell(row, col);
    if (!cell) return palette().color(QPalette::Text);
    if (row < fixedRows_ || col < fixedCols_)
        return cell->fore ? ToQColor(cell->fore) : palette().color(QPalette::ButtonText);
    if (IsSelected(row, col)) return palette().color(QPalette::HighlightedText);
    return cell->fore ? ToQColor(cell->fore) : palette().color(QPalette::Text);
}

void QtGridControl::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    // Most repaints are a cell or two (the live cell, a changed value): only
    // what they touch is drawn.
    const QRegion& area = event->region();
    for (const QRect& r : area) painter.fillRect(r, ToQColor(kOutsideColour));

    const std::vector<int> rows = ShownRows();
    const std::vector<int> cols = ShownCols();
    if (rows.empty() || cols.empty()) return;

    // Each shown row's and column's place, worked out once for the whole paint.
    std::vector<int> ys(rows.size()), xs(cols.size());
    for (std::size_t i = 0; i < rows.size(); ++i) ys[i] = RowY(rows[i]);
    for (std::size_t i = 0; i < cols.size(); ++i) xs[i] = ColX(cols[i]);
    const int right = xs.back() + ColPixels(cols.back());
    const int bottom = ys.back() + RowPixels(rows.back());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        for (std::size_t j = 0; j < cols.size(); ++j) {
            const int c = cols[j];
            const QRect cell(xs[j], ys[i], ColPixels(c), RowPixels(r));
            if (cell.isEmpty() || !area.intersects(cell)) continue;
            painter.fillRect(cell, ShownBackground(r, c));
            const QString& text = Cell(r, c)->text;
            if (text.isEmpty()) continue;
            bool number = false;
            text.toDouble(&number);
            painter.setPen(ShownTextColour(r, c));
            const QRect inside = cell.adjusted(3, 1, -3, 0);
            const int align = Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft);
            if (!glyphs_.Draw(painter, inside, align, text)) painter.drawText(inside, align, text);
        }
    }

    // Each cell's line runs along its top and left edge, which is the pixel the
    // editing box skips. Only the lines that cross the repainted area are drawn.
    painter.setPen(ToQColor(kGridLineColour));
    const QRect box = area.boundingRect();
    const int x0 = std::max(0, box.left()), x1 = std::min(right, box.right());
    const int y0 = std::max(0, box.top()), y1 = std::min(bottom, box.bottom());
    const auto across = [&](int y) {
        if (y >= box.top() && y <= box.bottom() && x0 <= x1) painter.drawLine(x0, y, x1, y);
    };
    const auto down = [&](int x) {
        if (x >= box.left() && x <= box.right() && y0 <= y1) painter.drawLine(x, y0, x, y1);
    };
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (RowPixels(rows[i]) > 0) across(ys[i]);
    across(bottom);
    for (std::size_t j = 0; j < cols.size(); ++j)
        if (ColPixels(cols[j]) > 0) down(xs[j]);
    down(right);

    if (hasFocus() && row_ >= fixedRows_ && col_ >= fixedCols_) {
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.drawRect(CellRect(row_, col_).adjusted(1, 1, -2, -2));
    }
}

// ---- User input ----------------------------------------------------------------

void QtGridControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    drag_ = Drag::None;
    const auto hit = CellAt(event->position().toPoint());
    if (!hit || rows_ <= fixedRows_ || cols_ <= fixedCols_) return;
    const auto [row, col] = *hit;
    const bool headerRow = row < fixedRows_;
    const bool headerCol = col < fixedCols_;
    // A header cell selects its whole column or row, the corner everything.
    if (headerRow && headerCol) {
        drag_ = Drag::All;
        Select(fixedRows_, fixedCols_, rows_ - 1, cols_ - 1);
    } else if (headerRow) {
        drag_ = Drag::Cols;
        Select(fixedRows_, col, rows_ - 1, col);
    } else if (headerCol) {
        drag_ = Drag::Rows;
        Select(row, fixedCols_, row, cols_ - 1);
    } else if (event->modifiers() & Qt::ShiftModifier) {
        drag_ = Drag::Cells;
        Select(row_, col_, row, col);
    } else {
        drag_ = Drag::Cells;
        Select(row, col, row, col);
    }
}

void QtGridControl::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || drag_ == Drag::None) return;
    if (const auto hit = CellAt(event->position().toPoint())) DragTo(hit->first, hit->second);
}

void QtGridControl::DragTo(int row, int col) {
    row = std::max(row, fixedRows_);
    col = std::max(col, fixedCols_);
    switch (drag_) {
    case Drag::Cells:
        Select(row_, col_, row, col);
        break;
    case Drag::Rows:
        Select(row_, col_, row, colSel_);
        break;
    case Drag::Cols:
        Select(row_, col_, rowSel_, col);
        break;
    case Drag::All:
    case Drag::None:
        break;
    }
}

void QtGridControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    pressed_ = false;
    drag_ = Drag::None;
    listeners_.Raise([](GridListener& l) { l.OnClick(); });
}

void QtGridControl::keyPressEvent(QKeyEvent* event) {
    int row = row_;
    int col = col_;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (extend) {
        row = rowSel_;
        col = colSel_;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_Home:
        col = fixedCols_;
        break;
    case Qt::Key_End:
        col = cols_ - 1;
        break;
    default:
        event->ignore();
        return;
    }
    if (rows_ <= fixedRows_ || cols_ <= fixedCols_) return;
    row = std::clamp(row, fixedRows_, rows_ - 1);
    col = std::clamp(col, fixedCols_, cols_ - 1);
    EnsureVisible(row, col);
    if (extend)
        Select(row_, col_, row, col);
    else
        Select(row, col, row, col);
}

void QtGridControl::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void QtGridControl::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
    // Switching to another program is not leaving the grid.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    listeners_.Raise([](GridListener& l) { l.OnLostFocus(); });
}

} // namespace kavrin

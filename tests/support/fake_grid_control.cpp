#include "fake_grid_control.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace kavrin::test {

FakeGridControl::FakeGridControl(std::string gridName, int rows, int cols)
    : name(std::move(gridName)), rows_(rows), cols_(cols) {
    Resize();
}

void FakeGridControl::Resize() {
    cells_.resize(static_cast<std::size_t>(rows_));
    for (auto& r : cells_) r.resize(static_cast<std::size_t>(cols_));
    colWidths_.resize(static_cast<std::size_t>(cols_), kDefaultColWidth);
    rowHeights_.resize(static_cast<std::size_t>(rows_), kDefaultRowHeight);
}

void FakeGridControl::SetRows(int rows) {
    rows_ = rows;
    Resize();
}

void FakeGridControl::SetCols(int cols) {
    cols_ = cols;
    Resize();
}

void FakeGridControl::SetTopRow(int row) {
    topRow_ = std::clamp(row, fixedRows, std::max(fixedRows, rows_ - 1));
}

void FakeGridControl::MoveCurrent(int row, int col) {
    const bool changed = row != row_ || col != col_;
    row_ = row;
    col_ = col;
    rowSel_ = row;
    colSel_ = col;
    if (changed) listeners_.Raise([](GridListener& l) { l.OnRowColChange(); });
    listeners_.Raise([](GridListener& l) { l.OnSelChange(); });
}

void FakeGridControl::SetRow(int row) {
    // The real control refuses a row it does not have; the editor ignores that.
    if (row < 0 || row >= rows_) return;
    MoveCurrent(row, col_);
}

void FakeGridControl::SetCol(int col) {
    if (col < 0 || col >= cols_) return;
    MoveCurrent(row_, col);
}

void FakeGridControl::SetRowSel(int row) {
    if (row < 0 || row >= rows_) return;
    rowSel_ = row;
    listeners_.Raise([](GridListener& l) { l.OnSelChange(); });
}

void FakeGridControl::SetColSel(int col) {
    if (col < 0 || col >= cols_) return;
    colSel_ = col;
    listeners_.Raise([](GridListener& l) { l.OnSelChange(); });
}

FakeGridControl::CellData& FakeGridControl::Cell(int row, int col) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_)
        throw std::out_of_range("cell outside the grid");
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

const FakeGridControl::CellData& FakeGridControl::Cell(int row, int col) const {
    return const_cast<FakeGridControl*>(this)->Cell(row, col);
}

std::string FakeGridControl::TextMatrix(int row, int col) const {
    return Cell(row, col).text;
}

void FakeGridControl::SetTextMatrix(int row, int col, const std::string& text) {
    Cell(row, col).text = text;
    textWrites.emplace_back(row, col, text);
}

int FakeGridControl::ColWidth(int col) const {
    return colWidths_.at(static_cast<std::size_t>(col));
}

void FakeGridControl::SetColWidth(int col, int twips) {
    colWidths_.at(static_cast<std::size_t>(col)) = twips;
}

int FakeGridControl::RowHeight(int row) const {
    return rowHeights_.at(static_cast<std::size_t>(row));
}

void FakeGridControl::SetRowHeight(int row, int twips) {
    rowHeights_.at(static_cast<std::size_t>(row)) = twips;
}

int FakeGridControl::RowPos(int row) const {
    // Fixed rows stay at the top; the others scroll under them.
    int pos = 0;
    for (int r = 0; r < std::min(row, fixedRows); ++r) pos += RowHeight(r);
    if (row < fixedRows) return pos;
    for (int r = topRow_; r < row; ++r) pos += RowHeight(r);
    for (int r = row; r < topRow_; ++r) pos -= RowHeight(r);
    return pos;
}

int FakeGridControl::ColPos(int col) const {
    int pos = 0;
    for (int c = 0; c < col; ++c) pos += ColWidth(c);
    return pos;
}

void FakeGridControl::ClickCell(int row, int col) {
    MoveCurrent(row, col);
    Click();
}

void FakeGridControl::Click() {
    listeners_.Raise([](GridListener& l) { l.OnClick(); });
}

void FakeGridControl::DragBlock(int row, int col, int rowSel, int colSel) {
    MoveCurrent(row, col);
    rowSel_ = rowSel;
    colSel_ = colSel;
    listeners_.Raise([](GridListener& l) { l.OnSelChange(); });
    Click();
}

void FakeGridControl::LoseFocus() {
    listeners_.Raise([](GridListener& l) { l.OnLostFocus(); });
}

void FakeGridControl::ScrollTo(int row) {
    SetTopRow(row);
    listeners_.Raise([](GridListener& l) { l.OnScroll(); });
}

} // namespace kavrin::test

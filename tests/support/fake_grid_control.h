#pragma once
#include "base/grid_control.h"
#include "base/listener_list.h"

#include <string>
#include <tuple>
#include <vector>

namespace kavrin::test {

// An in-memory grid that behaves like the window's grid control: setting Row or
// Col raises OnRowColChange and collapses the selection; user actions (a click
// on a cell, a dragged block, focus loss, scrolling) are driven by hand.
class FakeGridControl final : public GridControl {
public:
    static constexpr int kDefaultColWidth = 960; // twips
    static constexpr int kDefaultRowHeight = 240;

    FakeGridControl(std::string name, int rows, int cols);

    int Rows() const override { return rows_; }
    void SetRows(int rows) override;
    int Cols() const override { return cols_; }
    void SetCols(int cols) override;
    int FixedRows() const override { return fixedRows; }
    int FixedCols() const override { return fixedCols; }

    int TopRow() const override { return topRow_; }
    void SetTopRow(int row) override;

    int Row() const override { return row_; }
    void SetRow(int row) override;
    int Col() const override { return col_; }
    void SetCol(int col) override;
    int RowSel() const override { return rowSel_; }
    void SetRowSel(int row) override;
    int ColSel() const override { return colSel_; }
    void SetColSel(int col) override;

    std::string Text() const override { return TextMatrix(row_, col_); }
    void SetText(const std::string& text) override { SetTextMatrix(row_, col_, text); }
    std::string TextMatrix(int row, int col) const override;
    void SetTextMatrix(int row, int col, const std::string& text) override;

    int ColWidth(int col) const override;
    void SetColWidth(int col, int twips) override;
    int RowHeight(int row) const override;
    void SetRowHeight(int row, int twips);
    int RowPos(int row) const override;
    int ColPos(int col) const override;

    Colour CellBackColor() const override { return Cell(row_, col_).back; }
    void SetCellBackColor(Colour colour) override { Cell(row_, col_).back = colour; }
    Colour CellForeColor() const override { return Cell(row_, col_).fore; }
    void SetCellForeColor(Colour colour) override { Cell(row_, col_).fore = colour; }
    Colour BackColor() const override { return backColor; }
    void SetBackColor(Colour colour) override { backColor = colour; }
    Colour CellForeColorAt(int row, int col) const { return Cell(row, col).fore; }
    Colour CellBackColorAt(int row, int col) const { return Cell(row, col).back; }

    std::string Name() const override { return name; }
    int Left() const override { return left; }
    int Top() const override { return top; }
    void SetVisible(bool v) override { visible = v; }
    bool IsVisible() const override { return visible; }

    void AddListener(GridListener* listener) override { listeners_.Add(listener); }
    void RemoveListener(GridListener* listener) override { listeners_.Remove(listener); }
    std::size_t ListenerCount() const { return listeners_.size(); }

    // The user presses the mouse on a cell and releases it: the current cell
    // moves there (OnRowColChange when it changes), then OnClick.
    void ClickCell(int row, int col);
    // A click that does not move the current cell (a header, the empty area).
    void Click();
    // The user drags from the anchor (row, col) to (rowSel, colSel) and releases.
    void DragBlock(int row, int col, int rowSel, int colSel);
    void LoseFocus();
    // The user scrolls the grid so that row is the top row.
    void ScrollTo(int row);

    std::string name;
    int fixedRows = 1;
    int fixedCols = 1;
    int left = 0; // pixels
    int top = 0;
    bool visible = true;
    Colour backColor = Rgb(255, 255, 255);
    // Every cell text written, in order: (row, col, text).
    std::vector<std::tuple<int, int, std::string>> textWrites;

private:
    struct CellData {
        std::string text;
        Colour back = 0;
        Colour fore = 0;
    };
    CellData& Cell(int row, int col);
    const CellData& Cell(int row, int col) const;
    void Resize();
    void MoveCurrent(int row, int col);

    int rows_;
    int cols_;
    int topRow_ = 1;
    int row_ = 1;
    int col_ = 1;
    int rowSel_ = 1;
    int colSel_ = 1;
    std::vector<std::vector<CellData>> cells_;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    ListenerList<GridListener> listeners_;
};

} // namespace kavrin::test

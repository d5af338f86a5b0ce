// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cell-grid control every table of the window is shown in, as the logic
// sees it. Rows and columns count from 0, row 0 and column 0 being the fixed
// header cells. Positions and sizes inside the grid are in twips (15 per
// pixel); Left and Top place the grid in its window, in pixels.
#include "base/controls.h"

#include <string>

namespace kavrin {

class GridListener {
public:
    virtual ~GridListener() = default;
    virtual void OnClick() {}
    virtual void OnLostFocus() {}
    // The current cell changed, by the user or by program (setting Row or Col).
    virtual void OnRowColChange() {}
    // The selected block changed.
    virtual void OnSelChange() {}
    virtual void OnScroll() {}
};

class GridControl {
public:
    virtual ~GridControl() = default;

    virtual int Rows() const = 0;
    virtual void SetRows(int rows) = 0;
    virtual int Cols() const = 0;
    virtual void SetCols(int cols) = 0;
    virtual int FixedRows() const = 0;
    virtual int FixedCols() const = 0;

    // First scrollable row shown.
    virtual int TopRow() const = 0;
    virtual void SetTopRow(int row) = 0;

    // Current cell. Setting either one raises OnRowColChange when the cell
    // changes and collapses the selection onto the current cell.
    virtual int Row() const = 0;
    virtual void SetRow(int row) = 0;
    virtual int Col() const = 0;
    virtual void SetCol(int col) = 0;
    // Far corner of the selected block (equal to Row, Col for one cell).
    virtual int RowSel() const = 0;
    virtual void SetRowSel(int row) = 0;
    virtual int ColSel() const = 0;
    virtual void SetColSel(int col) = 0;

    // Text of the current cell, and of any cell.
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual std::string TextMatrix(int row, int col) const = 0;
    virtual void SetTextMatrix(int row, int col, const std::string& text) = 0;

    // Geometry in twips, relative to the control.
    virtual int ColWidth(int col) const = 0;
    virtual void SetColWidth(int col, int twips) = 0;
    virtual int RowHeight(int row) const = 0;
    virtual int RowPos(int row) const = 0;
    virtual int ColPos(int col) const = 0;

    // Colours of the current cell; 0 when never set.
    virtual Colour CellBackColor() const = 0;
    // The background of any cell, without moving the current cell there.
    virtual Colour CellBackColorAt(int row, int col) const = 0;
    virtual void SetCellBackColor(Colour colour) = 0;
    virtual Colour CellForeColor() const = 0;
    virtual void SetCellForeColor(Colour colour) = 0;
    // Background of the cells that have no colour of their own.
    virtual Colour BackColor() const = 0;
    virtual void SetBackColor(Colour colour) = 0;

    virtual std::string Name() const = 0;
    virtual int Left() const = 0; // pixels, in the owner window
    virtual int Top() const = 0;  // pixels, in the owner window
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    virtual void BringToFront() {}

    virtual void AddListener(GridListener* listener) = 0;
    virtual void RemoveListener(GridListener* listener) = 0;
};

// The window's four tables. Every build of the window has them.
struct MapGrids {
    GridControl* grd_fuel = nullptr;
    GridControl* grd_ign = nullptr;
    GridControl* grd3 = nullptr;
    GridControl* grd4 = nullptr;
};

} // namespace kavrin

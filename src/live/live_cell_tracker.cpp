// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/live_cell_tracker.h"

#include "live/live_cell.h"

#include <algorithm>
#include <cmath>

namespace kavrin {

namespace {
// A marker far outside the window still gets a position the toolkit can hold.
int ScreenPixel(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(value, -30000.0, 30000.0)));
}
} // namespace

LiveCellTracker::LiveCellTracker(const MapGrids& grids, Control& p, Control& p2, WindowState& state)
    : grids_(grids), p_(p), p2_(p2), state_(state) {}

void LiveCellTracker::TrackLiveCell() {
    const LiveCellPosition at = LocateLiveCell(state_.LastValues[0], state_.ThrottlePercent);
    state_.LiveCol = at.LiveCol;
    state_.LiveRow = at.LiveRow;
    GridControl* F = grids_.grd_fuel;
    constexpr double kTwips = kTwipsPerPixel;
    const int mx = ScreenPixel(at.n * F->ColWidth(1) / kTwips + F->Left() + 2);
    MarkLiveCell(*F, state_.LiveCol, state_.LiveRow);
    const int my =
        ScreenPixel(F->Top() + F->RowPos(1) / kTwips + at.r * F->RowHeight(1) / kTwips + 2);
    p_.Move(mx, my);
    p_.SetVisible(true);
    // The ignition map has one row: its marker follows engine speed only, on
    // the fuel map's columns.
    const GridControl& G = *grids_.grd_ign;
    p2_.Move(mx, ScreenPixel(G.Top() + G.RowPos(1) / kTwips + 8));
    p2_.SetVisible(true);
}

void LiveCellTracker::MarkLiveCell(GridControl& grid, std::int16_t& col, std::int16_t& row) {
    if (!state_.maps.singleCellSelected) return;
    // An operating point beyond the map leaves the last cell inside it tinted.
    if (col >= grid.Cols() || row >= grid.Rows()) return;
    // Re-marked on every tick, mostly where it already is: then the grid is
    // not touched at all, not even its current cell.
    if (state_.MarkedRow == row && state_.MarkedCol == col &&
        grid.CellBackColorAt(row, col) == kLiveCellColour)
        return;

    // Moving the current cell about must not read as the user's edit.
    const SuppressWrites quiet(state_.writes);
    const int savedRow = grid.Row();
    const int savedCol = grid.Col();
    const int savedRowSel = grid.RowSel();
    const int savedColSel = grid.ColSel();

    if (state_.MarkedRow != row || state_.MarkedCol != col) {
        grid.SetRow(state_.MarkedRow);
        grid.SetCol(state_.MarkedCol);
        grid.SetCellBackColor(0);
    }
    grid.SetRow(row);
    grid.SetCol(col);
    grid.SetCellBackColor(kLiveCellColour);
    state_.MarkedRow = static_cast<std::int16_t>(grid.Row());
    state_.MarkedCol = static_cast<std::int16_t>(grid.Col());

    grid.SetRow(savedRow);
    grid.SetCol(savedCol);
    grid.SetRowSel(savedRowSel);
    grid.SetColSel(savedColSel);
}

} // namespace kavrin

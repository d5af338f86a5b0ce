// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the engine runs in the maps: the red marker boxes over the fuel and
// ignition maps and the tinted fuel map cell under the operating point.
#include "base/controls.h"
#include "base/grid_control.h"
#include "base/window_state.h"
#include "link/link_state.h"
#include "live/channels.h"

#include <cstdint>

namespace kavrin {

class LiveCellTracker {
public:
    static constexpr Colour kLiveCellColour = Rgb(255, 208, 208);

    // p is the marker over the fuel map, p2 the one over the ignition map. The
    // window's state holds the operating point's cell (LiveCol, LiveRow), the
    // cell tinted now (MarkedCol, MarkedRow), the fuel grid's selection flag
    // and the last live values.
    LiveCellTracker(const MapGrids& grids, Control& p, Control& p2, WindowState& state);

    // Every link tick, link up or not.
    void TrackLiveCell();
    void MarkLiveCell(GridControl& grid, std::int16_t& col, std::int16_t& row);

private:
    const MapGrids& grids_;
    Control& p_;
    Control& p2_;
    WindowState& state_;
};

} // namespace kavrin

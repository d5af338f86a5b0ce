#pragma once
// Where the engine runs in the maps: the red marker boxes over the fuel and
// ignition maps and the tinted fuel map cell under the operating point.
#include "base/controls.h"
#include "base/grid_control.h"
#include "link/link_state.h"
#include "live/channels.h"

#include <cstdint>

namespace kavrin {

struct LiveCellControls {
    GridControl* fuel = nullptr;     // grd_fuel
    GridControl* ignition = nullptr; // grd_ign
    Control* p = nullptr;            // marker over the fuel map
    Control* p2 = nullptr;           // marker over the ignition map
};

class LiveCellTracker {
public:
    static constexpr Colour kLiveCellColour = Rgb(255, 208, 208);
    static constexpr int kTwipsPerPixel = 15;

    // The window owns the state: the operating point's cell (LiveCol, LiveRow),
    // the cell tinted now (MarkedCol, MarkedRow), the fuel grid's selection
    // flag and the last live values.
    struct State {
        std::int16_t& LiveCol;
        std::int16_t& LiveRow;
        std::int16_t& MarkedCol;
        std::int16_t& MarkedRow;
        const bool& singleCellSelected;
        const LiveValueStore& LastValues;
        const float& ThrottlePercent;
    };

    LiveCellTracker(const LiveCellControls& controls, State state, LinkFlags& flags);

    // Every link tick, link up or not.
    void TrackLiveCell();
    void MarkLiveCell(GridControl& grid, std::int16_t& col, std::int16_t& row);

private:
    LiveCellControls controls_;
    State state_;
    LinkFlags& flags_;
};

} // namespace kavrin

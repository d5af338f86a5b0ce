#pragma once
// The controls of the main window that the logic touches, gathered in the sets
// the subsystems take. The Qt binding fills them with its widgets, tests with
// fakes; a control a build of the window lacks is the null control. The owner
// window, the message boxes, the four tables and their boxes are always there.
#include "base/controls.h"
#include "base/edit_box.h"
#include "base/grid_control.h"
#include "base/owner_window.h"
#include "config/parameters.h"
#include "grid/map_views.h"
#include "live/channels.h"

#include <array>
#include <vector>

namespace kavrin {

struct MainView {
    OwnerWindow* window = nullptr;
    MessageBoxes* messages = nullptr;
    // The window's own background, which the status indicators fall back to.
    Colour windowBackground = Rgb(240, 240, 240);

    // Status bar "barra": panels 1 to 5 (index 0 to 4) hold the link counters.
    std::array<Control*, 5> counterPanels = NoControls<Control, 5>();
    ConnectionPanel* connection = nullptr;
    // "Comm" menu: one item per serial port (mncom 1..n at index 0..n-1).
    std::vector<CheckControl*> mncom;
    // "Data Format" menu entries (mnMode 0 and 1).
    std::array<CheckControl*, 2> mnMode = NoControls<CheckControl, 2>();

    // The four tables with their editing boxes, titles and live-cell markers.
    MapGrids grids;
    EditBox* txtgrd_fuel = nullptr;
    EditBox* txtgrd_ign = nullptr;
    EditBox* txtgrd3 = nullptr;
    EditBox* txtGrd4 = nullptr;
    MapViewControls maps;
    Control* p = NoControl();
    Control* p2 = NoControl();

    // "Parameters" and "Options" tabs.
    ParameterControls parameters;

    // "Channels I" / "Channels II": one row per channel 0..15, and the
    // status indicators.
    ChannelControls channels;
};

} // namespace kavrin

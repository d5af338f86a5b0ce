#pragma once
// The controls of the main window that the logic touches, by name. The Qt
// binding fills this table with its widgets; tests fill it with fakes. A
// control left null is one this build of the window does not have.
#include "base/controls.h"
#include "base/edit_box.h"
#include "base/grid_control.h"
#include "base/owner_window.h"
#include "config/parameters.h"
#include "live/channels.h"

#include <array>
#include <functional>
#include <vector>

namespace kavrin {

// The "Comm" menu's port items. Item 1 is part of the layout and always there.
class PortMenu {
public:
    virtual ~PortMenu() = default;
    // Removes the items 2..n left from before.
    virtual void RemoveExtraItems() = 0;
    // Item i (1-based), created when it does not exist yet.
    virtual CheckControl* Item(int i) = 0;
};

struct MainView {
    OwnerWindow* window = nullptr;
    MessageBoxes* messages = nullptr;
    // The window's own background, which the status indicators fall back to.
    Colour windowBackground = Rgb(240, 240, 240);

    // Status bar "barra": panels 1 to 5 (index 0 to 4) hold the link counters.
    std::array<Control*, 5> counterPanels{};
    ConnectionPanel* connection = nullptr;
    // "Comm" menu: one item per serial port (mncom 1..n at index 0..n-1).
    std::vector<CheckControl*> mncom;
    // "Data Format" menu entries (mnMode 0 and 1).
    std::array<CheckControl*, 2> mnMode{};
    // Builds the items of mncom; without it mncom stays as it was filled.
    PortMenu* portMenu = nullptr;
    // Closes the window through its unload (shutdown).
    std::function<void()> unload;
    // Tab captions: tab0 tabs 0 and 1, tab1 tabs 1 and 2, tab2 tabs 0 and 1.
    std::array<Control*, 6> tabCaptions{};

    // The four tables, their editing boxes and titles, the map tab strip's
    // live-cell markers.
    GridControl* grd_fuel = nullptr;
    GridControl* grd_ign = nullptr;
    GridControl* grd3 = nullptr;
    GridControl* grd4 = nullptr;
    EditBox* txtgrd_fuel = nullptr;
    EditBox* txtgrd_ign = nullptr;
    EditBox* txtgrd3 = nullptr;
    EditBox* txtGrd4 = nullptr;
    Control* lblFuelMap = nullptr;
    Control* lblIgnitionMap = nullptr;
    Control* lblEngComp = nullptr;
    Control* lblAirComp = nullptr;
    Control* p = nullptr;
    Control* p2 = nullptr;

    // "Parameters" and "Options" tabs, with the unit labels beside the fields.
    ParameterControls parameters;
    std::vector<Control*> lblfmt;

    // "Channels I" / "Channels II": one row per channel 0..15, and the
    // status indicators.
    ChannelControls channels;
};

} // namespace kavrin

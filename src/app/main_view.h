#pragma once
// The controls of the main window that the logic touches, by name. The Qt
// binding fills this table with its widgets; tests fill it with fakes. A
// control left null is one this build of the window does not have.
#include "base/controls.h"
#include "base/edit_box.h"
#include "base/file_dialogs.h"
#include "base/grid_control.h"
#include "base/language_menu.h"
#include "base/owner_window.h"
#include "base/translatable_control.h"
#include "config/parameters.h"
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
    std::array<Control*, 5> counterPanels{};
    ConnectionPanel* connection = nullptr;
    // "Comm" menu: one item per serial port (mncom 1..n at index 0..n-1).
    std::vector<CheckControl*> mncom;
    // "Data Format" menu entries (mnMode 0 and 1).
    std::array<CheckControl*, 2> mnMode{};

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

    // The window's caption, which names the current configuration file.
    Control* caption = nullptr;
    FileDialogs* dialogs = nullptr;
    LanguageMenu* mnLanguage = nullptr;
    // Every control with a language entry in its Tag, in the window's order.
    std::vector<TranslatableControl*> tagged;
    // Tab captions: tab0 tabs 0 and 1, tab2 tabs 0 and 1, tab1 tabs 1 and 2.
    std::array<Control*, 6> tabCaptions{};
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The controls of the main window that the logic touches, gathered in the sets
// the subsystems take. The Qt binding fills them with its widgets, tests with
// fakes; a control a build of the window lacks is the null control. The owner
// window, the message boxes, the connection panel, the four tables and their
// boxes, the file dialogs and the language menu are always there.
#include "base/controls.h"
#include "base/edit_box.h"
#include "base/file_dialogs.h"
#include "base/grid_control.h"
#include "base/language_menu.h"
#include "base/owner_window.h"
#include "base/translatable_control.h"
#include "config/parameters.h"
#include "grid/map_views.h"
#include "live/channels.h"

#include <array>
#include <functional>
#include <vector>

namespace kavrin {

class ReportWindow;

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
    std::array<Control*, 5> counterPanels = NoControls<Control, 5>();
    ConnectionPanel* connection = nullptr;
    // The datalog's panel: its file and rows, shown while a log runs.
    Control* logPanel = NoControl();
    // A note for the user that needs no box: a language file without texts.
    Control* notePanel = NoControl();
    // How many of the user's own values the ECU does not hold; hidden at 0.
    Control* notInEcuPanel = NoControl();
    // The difference report's window.
    ReportWindow* report = nullptr;
    // The undo history changed: the Edit menu names its steps anew.
    std::function<void()> historyChanged;
    // "Comm" menu: one item per serial port (mncom 1..n at index 0..n-1).
    std::vector<CheckControl*> mncom;
    // "Data Format" menu entries (mnMode 0 and 1).
    std::array<CheckControl*, 2> mnMode = NoControls<CheckControl, 2>();
    // Builds the items of mncom; without it mncom stays as it was filled.
    PortMenu* portMenu = nullptr;
    // Closes the window through its unload (shutdown).
    std::function<void()> unload;

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

    // The window's caption, which names the current configuration file.
    Control* caption = NoControl();
    FileDialogs* dialogs = nullptr;
    // "File" menu "Log": checked while a datalog runs.
    CheckControl* mnLog = NoControl();
    LanguageMenu* mnLanguage = nullptr;
    // Every control with a language entry in its Tag, in the window's order.
    std::vector<TranslatableControl*> tagged;
    // Tab captions: tab0 tabs 0 and 1, tab2 tabs 0 and 1, tab1 tabs 1 and 2.
    std::array<Control*, 6> tabCaptions = NoControls<Control, 6>();
};

} // namespace kavrin

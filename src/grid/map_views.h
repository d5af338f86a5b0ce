// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Layout of the four map views: grid headers and column widths, the throttle
// and engine-speed axes, the titles, and the tab strip that switches between
// the maps and the compensation tables.
#include "base/controls.h"
#include "base/grid_control.h"
#include "base/language_texts.h"
#include "base/modulo.h"
#include "base/window_state.h"
#include "config/parameters.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kavrin {

// The titles of the four tables and the unit labels beside the parameter
// fields; one this build of the window lacks is the null control.
struct MapViewControls {
    Control* lblFuelMap = NoControl();
    Control* lblIgnitionMap = NoControl();
    Control* lblEngComp = NoControl();
    Control* lblAirComp = NoControl();
    std::vector<Control*> lblfmt;
};

// What the window does for the map views.
struct MapViewHooks {
    // Creates the four grid editors afresh and binds each to its grid and box.
    std::function<void()> bindEditors;
    // Brings the live-cell marker "p" in front of the grids.
    std::function<void()> bringMarkerToFront;
    std::function<void()> showConfig;
};

class MapViews {
public:
    static constexpr int kColumnWidth = 650; // twips

    // The throttle limits are read back from their parameter fields, as the
    // user or the image left them.
    MapViews(const MapGrids& grids, const MapViewControls& controls,
             const ParameterControls& fields, WindowState& state, const LanguageTexts& texts,
             MapViewHooks hooks);

    void LayoutMaps();
    void ShowMapTitles();

    // Tab 1 is "MAP", tab 2 "COMPENSATIONS".
    void tab1_Click(int selectedTab);

    // Selection of grd_fuel changed.
    void grd_fuel_SelChange();

private:
    const MapGrids& grids_;
    const MapViewControls& controls_;
    const ParameterControls& fields_;
    WindowState& state_;
    const LanguageTexts& texts_;
    MapViewHooks hooks_;
};

} // namespace kavrin

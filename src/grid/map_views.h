#pragma once
// Layout of the four map views: grid headers and column widths, the throttle
// and engine-speed axes, the titles, and the tab strip that switches between
// the maps and the compensation tables.
#include "base/controls.h"
#include "base/grid_control.h"
#include "base/language_texts.h"
#include "base/modulo.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kavrin {

// The controls the map layout writes. A control left null is one this build of
// the window does not have; it is skipped.
struct MapViewControls {
    GridControl* grd_fuel = nullptr;
    GridControl* grd_ign = nullptr;
    GridControl* grd3 = nullptr;
    GridControl* grd4 = nullptr;

    Control* lblFuelMap = nullptr;
    Control* lblIgnitionMap = nullptr;
    Control* lblEngComp = nullptr;
    Control* lblAirComp = nullptr;

    // Throttle limits, read back as the user or the image left them.
    Control* txtTHRmin = nullptr;
    Control* txtTHRmax = nullptr;

    // Unit labels beside the parameter fields.
    std::vector<Control*> lblfmt;
};

// Values the layout derives and the live data and marker tracking read.
struct MapViewState {
    std::int16_t ThrSpan = 255;     // THR MAX - THR MIN in sensor counts, never below 1
    std::int32_t ThrScale = 257;    // 65535 / ThrSpan, rounded down
    bool singleCellSelected = true; // the fuel grid's selection is one cell
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

    MapViews(const MapViewControls& controls, MapViewState& state, const DataFormatMode& dataFormat,
             const LanguageTexts& texts, MapViewHooks hooks);

    void LayoutMaps();
    void ShowMapTitles();

    // Tab 1 is "MAP", tab 2 "COMPENSATIONS".
    void tab1_Click(int selectedTab);

    // Selection of grd_fuel changed.
    void grd_fuel_SelChange();

private:
    const MapViewControls& controls_;
    MapViewState& state_;
    const DataFormatMode& dataFormat_;
    const LanguageTexts& texts_;
    MapViewHooks hooks_;
};

} // namespace kavrin

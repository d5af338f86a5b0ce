// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/map_views.h"

#include "config/throttle_axis.h"

#include <charconv>
#include <string>
#include <utility>

namespace kavrin {

namespace {

// One decimal and "%", always with a point: the number reader only knows the point.
std::string PercentText(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    return std::string(buf, res.ptr) + "%";
}

} // namespace

MapViews::MapViews(const MapGrids& grids, const MapViewControls& controls,
                   const ParameterControls& fields, WindowState& state, const LanguageTexts& texts,
                   MapViewHooks hooks)
    : grids_(grids), controls_(controls), fields_(fields), state_(state), texts_(texts),
      hooks_(std::move(hooks)) {}

void MapViews::LayoutMaps() {
    const MapGrids& g = grids_;
    const bool formatted = state_.DataFormat != kRawData;

    for (Control* label : controls_.lblfmt) label->SetVisible(formatted);
    ShowMapTitles();
    if (hooks_.bindEditors) hooks_.bindEditors();

    const double thrMin = ReadNumber(fields_.txtTHRmin->Text());
    const ThrottleScaling scaling =
        ComputeThrottleScaling(ReadNumber(fields_.txtTHRmax->Text()), thrMin);
    state_.maps.ThrSpan = scaling.ThrSpan;
    state_.maps.ThrScale = scaling.ThrScale;

    g.grd_fuel->SetTextMatrix(0, 0, "0");
    g.grd_ign->SetTextMatrix(0, 0, "0");

    {
        GridControl& fuel = *g.grd_fuel;
        const int cols = fuel.Cols();
        const int rows = fuel.Rows();
        for (int i = 0; i <= cols; ++i) {
            if (i < cols) {
                // Engine speed in rpm. Past column 32 it no longer fits 16 bits;
                // only a map file's dimensions get there, so it is computed wider.
                const std::string rpm = DecimalText(static_cast<long long>(i) * 1000);
                fuel.SetTextMatrix(0, i, rpm);
                fuel.SetColWidth(i, kColumnWidth);
                if (i < g.grd_ign->Cols()) {
                    g.grd_ign->SetTextMatrix(0, i, rpm);
                    g.grd_ign->SetColWidth(i, kColumnWidth);
                }
            }
            if (i >= 1 && i < rows) {
                // THR MIN is taken as typed, so a raw header may carry decimals.
                fuel.SetTextMatrix(
                    i, 0,
                    formatted ? PercentText(ThrottleRowPercent(i, scaling))
                              : GeneralNumberText(ThrottleRowCounts(i, scaling.ThrSpan) + thrMin));
            }
        }
    }

    auto layoutCompensation = [](GridControl* grid, int forcedCols) {
        grid->SetColWidth(0, kColumnWidth);
        grid->SetTextMatrix(1, 0, "Corr %");
        if (forcedCols > 0) grid->SetCols(forcedCols);
        // Temperature steps of 10 degrees.
        for (int i = 1; i < grid->Cols(); ++i) {
            grid->SetColWidth(i, kColumnWidth);
            grid->SetTextMatrix(0, i, DecimalText((i - 1) * 10));
        }
    };
    layoutCompensation(g.grd3, 0);
    // The air-temperature table keeps its seven cells whatever a file's format says.
    layoutCompensation(g.grd4, 8);
}

void MapViews::ShowMapTitles() {
    const MapViewControls& c = controls_;
    const bool formatted = state_.DataFormat != kRawData;
    const std::string raw = "(raw)";
    c.lblFuelMap->SetText(texts_.Text(67) + " 1 " + (formatted ? "(ms)" : raw));
    c.lblIgnitionMap->SetText(texts_.Text(68) + " 1 " + (formatted ? "(deg)" : raw));
    c.lblEngComp->SetText(texts_.Text(69) + " " + (formatted ? "(%)" : raw));
    c.lblAirComp->SetText(texts_.Text(70) + " " + (formatted ? "(%)" : raw));
}

void MapViews::tab1_Click(int selectedTab) {
    const MapViewControls& c = controls_;
    const bool mapsShown = selectedTab == 1;
    const int mapNumber = mapsShown ? 1 : 0;

    c.lblFuelMap->SetText(selectedTab == 2 ? std::string("COMPENSATION vs ENG.TEMP")
                                           : "FUEL MAP " + DecimalText(mapNumber));
    grids_.grd_fuel->SetVisible(mapsShown);
    grids_.grd_ign->SetVisible(mapsShown);
    c.lblIgnitionMap->SetText("IGNITION MAP " + DecimalText(mapNumber));
    c.lblIgnitionMap->SetVisible(mapsShown);
    // lblEngComp stays as it is: on the map tab the fuel grid covers it.
    grids_.grd3->SetVisible(!mapsShown);
    grids_.grd4->SetVisible(!mapsShown);
    c.lblAirComp->SetVisible(!mapsShown);

    if (hooks_.bringMarkerToFront) hooks_.bringMarkerToFront();
    if (hooks_.showConfig) hooks_.showConfig();
}

void MapViews::grd_fuel_SelChange() {
    const GridControl* fuel = grids_.grd_fuel;
    state_.maps.singleCellSelected = fuel->Row() == fuel->RowSel() && fuel->Col() == fuel->ColSel();
}

} // namespace kavrin

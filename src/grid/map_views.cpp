#include "grid/map_views.h"

#include <charconv>
#include <string>
#include <utility>

namespace kavrin {

namespace {

std::string TextOf(const Control* field) {
    return field ? field->Text() : std::string();
}

void SetLabel(Control* label, const std::string& text) {
    if (label) label->SetText(text);
}

void SetShown(Control* control, bool shown) {
    if (control) control->SetVisible(shown);
}

void SetShown(GridControl* grid, bool shown) {
    if (grid) grid->SetVisible(shown);
}

// One decimal and "%", always with a point: the number reader only knows the point.
std::string PercentText(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    return std::string(buf, res.ptr) + "%";
}

} // namespace

MapViews::MapViews(const MapViewControls& controls, MapViewState& state,
                   const DataFormatMode& dataFormat, const LanguageTexts& texts, MapViewHooks hooks)
    : controls_(controls), state_(state), dataFormat_(dataFormat), texts_(texts),
      hooks_(std::move(hooks)) {}

void MapViews::LayoutMaps() {
    const MapViewControls& c = controls_;
    const bool formatted = dataFormat_ != kRawData;

    for (Control* label : c.lblfmt) SetShown(label, formatted);
    ShowMapTitles();
    if (hooks_.bindEditors) hooks_.bindEditors();

    // Limits that make no sense would leave no span to divide by: fall back to
    // the sensor's full range.
    double thrMax = RoundToInt16(ReadNumber(TextOf(c.txtTHRmax)));
    const double thrMin = ReadNumber(TextOf(c.txtTHRmin));
    if (thrMax < 1 || thrMin >= thrMax) thrMax = 255;
    std::int16_t span = RoundToInt16(thrMax - thrMin);
    if (span < 1) span = 255;
    state_.ThrSpan = span;
    state_.ThrScale = 65535 / span;

    if (c.grd_fuel) c.grd_fuel->SetTextMatrix(0, 0, "0");
    if (c.grd_ign) c.grd_ign->SetTextMatrix(0, 0, "0");

    if (c.grd_fuel) {
        GridControl& fuel = *c.grd_fuel;
        const int cols = fuel.Cols();
        const int rows = fuel.Rows();
        for (int i = 0; i <= cols; ++i) {
            if (i < cols) {
                // Engine speed in rpm. Past column 32 it no longer fits 16 bits;
                // only a map file's dimensions get there, so it is computed wider.
                const std::string rpm = DecimalText(static_cast<long long>(i) * 1000);
                fuel.SetTextMatrix(0, i, rpm);
                fuel.SetColWidth(i, kColumnWidth);
                if (c.grd_ign && i < c.grd_ign->Cols()) {
                    c.grd_ign->SetTextMatrix(0, i, rpm);
                    c.grd_ign->SetColWidth(i, kColumnWidth);
                }
            }
            if (i >= 1 && i < rows) {
                // Breakpoints in 256ths of the throttle span, finer at small openings.
                const int b = i <= 5 ? 16 * (i - 1) : 32 * (i - 3);
                const std::int32_t n = RoundToInt32(static_cast<double>(b) * span / 256.0);
                // THR MIN is taken as typed, so a raw header may carry decimals.
                fuel.SetTextMatrix(i, 0,
                                   formatted ? PercentText(static_cast<double>(n) *
                                                           state_.ThrScale / 65535.0 * 100.0)
                                             : GeneralNumberText(n + thrMin));
            }
        }
    }

    auto layoutCompensation = [](GridControl* grid, int forcedCols) {
        if (!grid) return;
        grid->SetColWidth(0, kColumnWidth);
        grid->SetTextMatrix(1, 0, "Corr %");
        if (forcedCols > 0) grid->SetCols(forcedCols);
        // Temperature steps of 10 degrees.
        for (int i = 1; i < grid->Cols(); ++i) {
            grid->SetColWidth(i, kColumnWidth);
            grid->SetTextMatrix(0, i, DecimalText((i - 1) * 10));
        }
    };
    layoutCompensation(c.grd3, 0);
    // The air-temperature table keeps its seven cells whatever a file's format says.
    layoutCompensation(c.grd4, 8);
}

void MapViews::ShowMapTitles() {
    const MapViewControls& c = controls_;
    const bool formatted = dataFormat_ != kRawData;
    const std::string raw = "(raw)";
    SetLabel(c.lblFuelMap, texts_.Text(67) + " 1 " + (formatted ? "(ms)" : raw));
    SetLabel(c.lblIgnitionMap, texts_.Text(68) + " 1 " + (formatted ? "(deg)" : raw));
    SetLabel(c.lblEngComp, texts_.Text(69) + " " + (formatted ? "(%)" : raw));
    SetLabel(c.lblAirComp, texts_.Text(70) + " " + (formatted ? "(%)" : raw));
}

void MapViews::tab1_Click(int selectedTab) {
    const MapViewControls& c = controls_;
    const bool mapsShown = selectedTab == 1;
    const int mapNumber = mapsShown ? 1 : 0;

    SetLabel(c.lblFuelMap, selectedTab == 2 ? std::string("COMPENSATION vs ENG.TEMP")
                                            : "FUEL MAP " + DecimalText(mapNumber));
    SetShown(c.grd_fuel, mapsShown);
    SetShown(c.grd_ign, mapsShown);
    SetLabel(c.lblIgnitionMap, "IGNITION MAP " + DecimalText(mapNumber));
    SetShown(c.lblIgnitionMap, mapsShown);
    // lblEngComp stays as it is: on the map tab the fuel grid covers it.
    SetShown(c.grd3, !mapsShown);
    SetShown(c.grd4, !mapsShown);
    SetShown(c.lblAirComp, !mapsShown);

    if (hooks_.bringMarkerToFront) hooks_.bringMarkerToFront();
    if (hooks_.showConfig) hooks_.showConfig();
}

void MapViews::grd_fuel_SelChange() {
    const GridControl* fuel = controls_.grd_fuel;
    if (!fuel) return;
    state_.singleCellSelected = fuel->Row() == fuel->RowSel() && fuel->Col() == fuel->ColSel();
}

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/config_view.h"

#include "config/value_texts.h"

#include <utility>

namespace kavrin {

Colour FuelCellColour(std::int16_t v) {
    if (v < 60) return Rgb(0, 0, 0);
    if (v < 80) return Rgb(90, 30, 0);
    if (v < 120) return Rgb(128, 50, 0);
    if (v < 140) return Rgb(128, 80, 0);
    if (v < 180) return Rgb(160, 128, 0);
    if (v < 220) return Rgb(210, 128, 0);
    if (v < 240) return Rgb(240, 80, 0);
    return Rgb(255, 0, 0);
}

ConfigView::ConfigView(Configuration& config, WriteSuppression& writes, const WindowState& state,
                       const MapGrids& grids, const ParameterControls& fields,
                       FuelTextColour setFuelTextColour)
    : config_(config), writes_(writes), state_(state), grids_(grids), fields_(fields),
      setFuelTextColour_(std::move(setFuelTextColour)) {}

void ConfigView::SizeGrids() {
    const MapGrids& g = grids_;
    g.grd_fuel->SetCols(config_.MapCols + 1);
    g.grd_fuel->SetRows(config_.MapRows + 1);
    g.grd_ign->SetCols(config_.MapCols + 1);
    g.grd3->SetCols(config_.EngTempCells + 1);
    g.grd4->SetCols(config_.AirTempCells + 1);
}

void ConfigView::ShowConfig() {
    if (writes_.Suppressed()) return;
    config_.UpdateFuelScale();

    const MapGrids& g = grids_;
    const ParameterControls& f = fields_;
    const ByteImage& image = config_.ConfigImage;
    const auto& pulses = config_.FuelPulseTable;

    // The ignition map is stored right after the fuel map and shares its
    // columns, so it is walked as one more row of the fuel grid.
    const int rowCount = g.grd_fuel->Rows();
    int idx = 0;
    for (int r = 1; r <= rowCount; ++r) {
        for (int k = 1; k <= config_.MapCols; ++k, ++idx) {
            if (!Shows(idx)) continue;
            if (r < rowCount) {
                // Formatted mode shows the pulse table, not the byte: an "M" echo
                // changes the byte without recomputing the pulse.
                const float pulse = idx < static_cast<int>(pulses.size())
                                        ? pulses[static_cast<std::size_t>(idx)]
                                        : 0.0f;
                g.grd_fuel->SetTextMatrix(r, k, FuelCellText(pulse, image[idx], state_.DataFormat));
                if (config_.RecolourFuel && setFuelTextColour_)
                    setFuelTextColour_(static_cast<std::int16_t>(r), static_cast<std::int16_t>(k),
                                       FuelCellColour(image[idx]));
            } else {
                g.grd_ign->SetTextMatrix(1, k, IgnitionCellText(image[idx], state_.DataFormat));
            }
        }
    }
    config_.RecolourFuel = false;

    idx = config_.EngTempBase;
    auto showCompensation = [&](GridControl* grid, int cells) {
        for (int k = 1; k <= cells; ++k, ++idx) {
            if (Shows(idx))
                grid->SetTextMatrix(1, k, CompensationCellText(image[idx], state_.DataFormat));
        }
    };
    showCompensation(g.grd3, config_.EngTempCells);
    showCompensation(g.grd4, config_.AirTempCells);

    if (idx > config_.ImageLast) return;
    const int P = idx;

    Control* const fields[kParameterFieldCount] = {
        f.txtCompensation, f.txtMainAngle, f.txtEFI_angle, f.txtPump,    f.txtTHRmin, f.txtTHRmax,
        f.txtCorte,        f.txtFactor,    f.txtOffset,    f.txtPriming, f.txtDwell};
    for (const ParameterScaling& p : kParameterScalings) {
        if (!Shows(P + p.offset)) continue;
        fields[p.index]->SetText(
            ParameterFieldText(p.index, image[P + p.offset], config_.FuelScale, state_.DataFormat));
    }
    ShowOptionBits(P + kOptionsOffset, f.options.data(), static_cast<int>(f.options.size()));
    ShowOptionBits(P + kOptions2Offset, f.options2.data(), static_cast<int>(f.options2.size()));
}

void ConfigView::ShowOptionBits(int index, CheckControl* const* boxes, int count) {
    if (!Shows(index)) return;
    // Setting a box raises its click handler; with the flag up that handler
    // writes nothing back to the ECU.
    const SuppressWrites quiet(writes_);
    int b = config_.ConfigImage[index];
    for (int i = 0; i < count; ++i) {
        boxes[i]->SetChecked(b % 2 == 1);
        b /= 2;
    }
}

} // namespace kavrin

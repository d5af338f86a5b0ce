// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/map_cells.h"

#include "config/config_view.h"
#include "config/parameters.h"

#include <algorithm>
#include <utility>

namespace kavrin {

MapCellHandlers::MapCellHandlers(Configuration& config, const LinkFlags& flags,
                                 ConfigWriter& writer, const WindowState& state,
                                 FuelTextColourSetter setFuelTextColour,
                                 std::function<void()> suggestFuelScale)
    : config_(config), flags_(flags), writer_(writer), state_(state),
      setFuelTextColour_(std::move(setFuelTextColour)),
      suggestFuelScale_(std::move(suggestFuelScale)) {}

void MapCellHandlers::ogrd_fuel_ValidarCelda(std::int16_t& row, std::int16_t& col,
                                             std::string& valor, bool& /*Cancel*/) {
    std::int16_t idx = FuelCellIndex(config_, row, col);
    const bool hasPulse = idx >= 0 && idx < static_cast<int>(config_.FuelPulseTable.size());
    std::int16_t raw;
    if (Formatted()) {
        // Users type the decimal separator of their keyboard.
        std::replace(valor.begin(), valor.end(), ',', '.');
        raw = FuelMsToRaw(config_, ReadSingle(valor));
        // The pulse the byte really gives, not the one typed.
        const float ms = FuelRawToMs(config_, raw);
        if (hasPulse) config_.FuelPulseTable[idx] = ms;
        if (setFuelTextColour_) setFuelTextColour_(row, col, FuelCellColour(raw));
        if (!flags_.online) {
            config_.ConfigImage.Set(idx, raw);
            valor = FormatTwoDecimals(ms);
        }
    } else {
        raw = std::clamp<std::int16_t>(RoundToInt16(ReadNumber(valor)), 0, 255);
        if (setFuelTextColour_) setFuelTextColour_(row, col, FuelCellColour(raw));
        const float ms = FuelRawToMs(config_, raw);
        if (hasPulse) config_.FuelPulseTable[idx] = ms;
        if (!flags_.online) {
            config_.ConfigImage.Set(idx, raw);
            valor = DecimalText(raw);
        }
    }
    writer_.WriteConfigByte('M', idx, raw);
    if (Formatted() && suggestFuelScale_) suggestFuelScale_();
}

void MapCellHandlers::ogrd_ign_ValidarCelda(std::int16_t& /*row*/, std::int16_t& col,
                                            std::string& valor, bool& /*Cancel*/) {
    std::int16_t value = AngleToByte(valor, state_.DataFormat);
    std::int16_t idx = static_cast<std::int16_t>(config_.FuelCells + col - 1);
    writer_.WriteConfigByte('M', idx, value);
    // Shown as the angle the ECU will use, online too: the editor hands this
    // text on to the next cell of the selection.
    valor = FormatScaled(value, kDegreesPerStep, 1, state_.DataFormat);
}

void MapCellHandlers::ogrd3_ValidarCelda(std::int16_t& /*row*/, std::int16_t& col,
                                         std::string& valor, bool& /*Cancel*/) {
    CompensationCell(config_.EngTempBase + col - 1, valor);
}

void MapCellHandlers::ogrd4_ValidarCelda(std::int16_t& /*row*/, std::int16_t& col,
                                         std::string& valor, bool& /*Cancel*/) {
    CompensationCell(config_.AirTempBase + col - 1, valor);
}

void MapCellHandlers::CompensationCell(int index, std::string& valor) {
    const double v = ReadNumber(valor);
    // 128 means 100 %. Limited here as well as by the write, so the cell shows
    // the byte even when writes are held back.
    std::int16_t value =
        std::clamp<std::int16_t>(RoundToInt16(Formatted() ? v / kPercentPerStep : v), 0, 255);
    std::int16_t idx = static_cast<std::int16_t>(index);
    writer_.WriteConfigByte('M', idx, value);
    if (!flags_.online) valor = FormatScaled(value, kPercentPerStep, 1, state_.DataFormat);
}

} // namespace kavrin

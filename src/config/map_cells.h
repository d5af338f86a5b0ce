// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a value typed into one of the four tables becomes: the byte written to
// the ECU, the fuel pulse kept for the cell, and the text the cell shows.
#include "base/controls.h"
#include "base/modulo.h"
#include "base/window_state.h"
#include "config/config_image.h"
#include "link/link.h"
#include "link/link_state.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kavrin {

// The handlers of the grid editors' ValidarCelda event for the fuel map, the
// ignition map and the two compensation tables. Rows and columns count from 1;
// valor is the typed text on entry and the text the cell is to show on return.
class MapCellHandlers {
public:
    // The fuel grid editor's SetTextColor(row, col, colour).
    using FuelTextColourSetter =
        std::function<void(std::int16_t row, std::int16_t col, Colour colour)>;

    MapCellHandlers(Configuration& config, const LinkFlags& flags, ConfigWriter& writer,
                    const WindowState& state, FuelTextColourSetter setFuelTextColour,
                    std::function<void()> suggestFuelScale);

    void ogrd_fuel_ValidarCelda(std::int16_t& row, std::int16_t& col, std::string& valor,
                                bool& Cancel);
    void ogrd_ign_ValidarCelda(std::int16_t& row, std::int16_t& col, std::string& valor,
                               bool& Cancel);
    void ogrd3_ValidarCelda(std::int16_t& row, std::int16_t& col, std::string& valor, bool& Cancel);
    void ogrd4_ValidarCelda(std::int16_t& row, std::int16_t& col, std::string& valor, bool& Cancel);

private:
    void CompensationCell(int index, std::string& valor);
    bool Formatted() const { return state_.DataFormat != kRawData; }

    Configuration& config_;
    const LinkFlags& flags_;
    ConfigWriter& writer_;
    const WindowState& state_;
    FuelTextColourSetter setFuelTextColour_;
    std::function<void()> suggestFuelScale_;
};

} // namespace kavrin

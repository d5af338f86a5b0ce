// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's tables, parameter fields and option boxes as views onto the
// configuration image: ShowConfig rewrites all of them from the image.
#include "base/controls.h"
#include "base/grid_control.h"
#include "base/modulo.h"
#include "base/window_state.h"
#include "config/config_image.h"
#include "config/parameters.h"
#include "link/link_state.h"

#include <array>
#include <cstdint>
#include <functional>

namespace kavrin {

// Text colour of a fuel cell by its byte: the richer the cell, the redder.
Colour FuelCellColour(std::int16_t v);

class ConfigView {
public:
    // Sets the text colour of fuel cell (row, col); the fuel grid's editor
    // keeps the colours, so they go through it.
    using FuelTextColour = std::function<void(std::int16_t row, std::int16_t col, Colour colour)>;

    ConfigView(Configuration& config, WriteSuppression& writes, const WindowState& state,
               const MapGrids& grids, const ParameterControls& fields,
               FuelTextColour setFuelTextColour);

    // Refreshes every table cell, parameter field and option box from the image.
    void ShowConfig();

    // Grid sizes for the current dimensions; column 0 and row 0 are headers.
    void SizeGrids();

private:
    void ShowOptionBits(int index, CheckControl* const* boxes, int count);
    bool Shows(int index) const { return index < config_.ImageLast; }

    Configuration& config_;
    WriteSuppression& writes_;
    const WindowState& state_;
    const MapGrids& grids_;
    const ParameterControls& fields_;
    FuelTextColour setFuelTextColour_;
};

} // namespace kavrin

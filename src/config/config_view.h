#pragma once
// The window's tables, parameter fields and option boxes as views onto the
// configuration image: ShowConfig rewrites all of them from the image.
#include "base/controls.h"
#include "base/grid_control.h"
#include "base/modulo.h"
#include "config/config_image.h"
#include "link/link_state.h"

#include <array>
#include <cstdint>
#include <functional>

namespace kavrin {

// The controls ShowConfig writes. A control left null is one this build of the
// window does not have; it is skipped.
struct ConfigControls {
    GridControl* grd_fuel = nullptr;
    GridControl* grd_ign = nullptr;
    GridControl* grd3 = nullptr;
    GridControl* grd4 = nullptr;

    Control* txtCompensation = nullptr;
    Control* txtMainAngle = nullptr;
    Control* txtEFI_angle = nullptr;
    Control* txtPump = nullptr;
    Control* txtTHRmin = nullptr;
    Control* txtTHRmax = nullptr;
    Control* txtCorte = nullptr;
    Control* txtFactor = nullptr;
    Control* txtOffset = nullptr;
    Control* txtPriming = nullptr;
    Control* txtDwell = nullptr;

    std::array<CheckControl*, 8> options{};  // bits of the first option byte
    std::array<CheckControl*, 2> options2{}; // bits 0 and 1 of the second
};

// Text colour of a fuel cell by its byte: the richer the cell, the redder.
Colour FuelCellColour(std::int16_t v);

class ConfigView {
public:
    // Sets the text colour of fuel cell (row, col); the fuel grid's editor
    // keeps the colours, so they go through it.
    using FuelTextColour = std::function<void(std::int16_t row, std::int16_t col, Colour colour)>;

    ConfigView(Configuration& config, LinkFlags& flags, const DataFormatMode& dataFormat,
               const ConfigControls& controls, FuelTextColour setFuelTextColour);

    // Refreshes every table cell, parameter field and option box from the image.
    void ShowConfig();

    // Grid sizes for the current dimensions; column 0 and row 0 are headers.
    void SizeGrids();

private:
    void ShowOptionBits(int index, CheckControl* const* boxes, int count);
    bool Shows(int index) const { return index < config_.ImageLast; }

    Configuration& config_;
    LinkFlags& flags_;
    const DataFormatMode& dataFormat_;
    const ConfigControls& controls_;
    FuelTextColour setFuelTextColour_;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "+" and "-" step keys of the map views: inside the fuel and ignition
// editing boxes they step the typed value, at window level they step the fuel
// cell the engine is running on.
#include "base/edit_box.h"
#include "base/modulo.h"
#include "base/window_state.h"
#include "config/config_image.h"
#include "link/link.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin {

enum class StepBox { Fuel, Ignition };

// The box's new text when key is one of its step keys ("+", "-"), nothing
// when the key is to be typed normally. A handled key is swallowed, even when
// the text stays as it was.
std::optional<std::string> StepBoxText(StepBox box, std::string_view text, char key,
                                       DataFormatMode dataFormat);

enum class StepDirection { Up, Down };

// Window key codes of the step keys: keypad "+" and "=/+" step up, keypad "-"
// and "-" step down.
std::optional<StepDirection> WindowStepKey(int keyCode);

class LiveFuelCellStepper {
public:
    LiveFuelCellStepper(Configuration& config, ConfigWriter& writer, const WindowState& state);

    // The window's key-down handler while no editing box is open. A step key
    // steps the fuel cell (row, col), counted from 1, and is consumed: KeyCode
    // becomes 0. Returns whether the key was a step key.
    bool Form_KeyDown(std::int16_t& KeyCode, std::int16_t row, std::int16_t col);

    // One step of the fuel cell (row, col). An operating point outside the
    // fuel map steps nothing.
    void Step(StepDirection direction, std::int16_t row, std::int16_t col);

private:
    Configuration& config_;
    ConfigWriter& writer_;
    const WindowState& state_;
};

} // namespace kavrin

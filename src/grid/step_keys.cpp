// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/step_keys.h"

#include "config/config_image.h"

#include <algorithm>

namespace kavrin {

namespace {

// One hundredth of a millisecond of injection.
constexpr float kFuelStepMs = 0.01f;

} // namespace

std::optional<std::string> StepBoxText(StepBox box, std::string_view text, char key,
                                       DataFormatMode dataFormat) {
    if (key != '+' && key != '-') return std::nullopt;
    const double value = ReadNumber(text);
    const bool up = key == '+';
    if (box == StepBox::Ignition) {
        // The commit always reads degrees, so the box steps degrees in raw mode too.
        return FormatTwoDecimals(ToSingle(up ? value + kDegreesPerStep : value - kDegreesPerStep));
    }
    if (dataFormat != kRawData) {
        const float ms = ToSingle(value);
        return FormatTwoDecimals(up ? ms + kFuelStepMs : ms - kFuelStepMs);
    }
    // A raw box may hold a fraction the user typed; stepping keeps it.
    if (up) return GeneralNumberText(value + 1);
    if (value > 0) return GeneralNumberText(value - 1);
    return std::string(text);
}

std::optional<StepDirection> WindowStepKey(int keyCode) {
    switch (keyCode) {
    case kKeyAdd:
    case kKeyOemPlus:
        return StepDirection::Up;
    case kKeySubtract:
    case kKeyOemMinus:
        return StepDirection::Down;
    default:
        return std::nullopt;
    }
}

LiveFuelCellStepper::LiveFuelCellStepper(Configuration& config, ConfigWriter& writer,
                                         const WindowState& state)
    : config_(config), writer_(writer), state_(state) {}

bool LiveFuelCellStepper::Form_KeyDown(std::int16_t& KeyCode, std::int16_t row, std::int16_t col) {
    const auto direction = WindowStepKey(KeyCode);
    if (!direction) return false;
    Step(*direction, row, col);
    KeyCode = 0;
    return true;
}

void LiveFuelCellStepper::Step(StepDirection direction, std::int16_t row, std::int16_t col) {
    // Engine speeds past the last column and throttle past 100 % put the
    // operating point beyond the map; its index would land on another cell.
    if (row < 1 || row > config_.MapRows || col < 1 || col > config_.MapCols) return;
    std::int16_t idx = FuelCellIndex(config_, row, col);
    if (idx >= config_.FuelCells || idx >= static_cast<int>(config_.FuelPulseTable.size())) return;
    const bool up = direction == StepDirection::Up;
    std::int16_t value;
    if (state_.DataFormat != kRawData) {
        // The pulse accumulates in the table, so presses smaller than one fuel
        // step still add up to a new byte.
        float& pulse = config_.FuelPulseTable[idx];
        pulse = up ? pulse + kFuelStepMs : pulse - kFuelStepMs;
        value = FuelMsToRaw(config_, pulse);
    } else {
        // Both directions leave the image to the write: online it changes only
        // when the ECU echoes the byte, so the tables never show a value the
        // ECU has not taken.
        const int current = config_.ConfigImage[idx];
        value =
            static_cast<std::int16_t>(up ? std::min(current + 1, 255) : std::max(current - 1, 0));
    }
    writer_.WriteConfigByte('M', idx, value);
}

} // namespace kavrin

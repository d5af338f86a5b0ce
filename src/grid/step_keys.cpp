#include "grid/step_keys.h"

#include <algorithm>

#include "config/config_image.h"

#include <charconv>

namespace kavrin {

namespace {

// Up to fifteen significant digits, "." as point: a raw box may hold a
// fraction the user typed, and stepping keeps it.
std::string GeneralNumberText(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, res.ptr);
}

// One hundredth of a millisecond of injection.
constexpr float kFuelStepMs = 0.01f;
// One step of ignition angle, 360 / 1024 degrees.
constexpr double kAngleStep = 0.3515625;

} // namespace

std::optional<std::string> StepBoxText(StepBox box, std::string_view text, char key,
                                       DataFormatMode dataFormat) {
    if (key != '+' && key != '-') return std::nullopt;
    const double value = ReadNumber(text);
    const bool up = key == '+';
    if (box == StepBox::Ignition) {
        // The commit always reads degrees, so the box steps degrees in raw mode too.
        return FormatTwoDecimals(ToSingle(up ? value + kAngleStep : value - kAngleStep));
    }
    if (dataFormat != kRawData) {
        const float ms = ToSingle(value);
        return FormatTwoDecimals(up ? ms + kFuelStepMs : ms - kFuelStepMs);
    }
    if (up) return GeneralNumberText(value + 1);
    if (value > 0) return GeneralNumberText(value - 1);
    return std::string(text);
}

std::optional<StepDirection> WindowStepKey(int keyCode) {
    switch (keyCode) {
    case 107:
    case 187:
        return StepDirection::Up;
    case 109:
    case 189:
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

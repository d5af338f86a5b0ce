// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the parts of the main window share: owned once by the window and handed
// by reference to the subsystems that read or write it.
#include "base/modulo.h"
#include "base/write_suppression.h"

#include <array>
#include <cstdint>

namespace kavrin {

// The last value received on each live channel (0..15, the status bits on 16).
using LiveValueStore = std::array<std::int32_t, 21>;

// Values the map layout derives and the live data and marker tracking read.
struct MapViewState {
    std::int16_t ThrSpan = 255;     // THR MAX - THR MIN in sensor counts, never below 1
    std::int32_t ThrScale = 257;    // 65535 / ThrSpan, rounded down
    bool singleCellSelected = true; // the fuel grid's selection is one cell
};

struct WindowState {
    DataFormatMode DataFormat = kRawData;
    LiveValueStore LastValues{};
    float ThrottlePercent = 0.0f;
    // Set by the prescaler channel, used by the channels whose counts it scales.
    std::int16_t prescaleMultiplier = 0;
    MapViewState maps;
    // The fuel cell the engine runs at, counted from 1, and the cell tinted now.
    std::int16_t LiveCol = 1;
    std::int16_t LiveRow = 1;
    std::int16_t MarkedCol = 0;
    std::int16_t MarkedRow = 0;
    // No configuration writes while the program fills the controls.
    WriteSuppression writes;
};

} // namespace kavrin

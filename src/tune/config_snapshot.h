// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration's layout and bytes as the tune room passes them around:
// dimensions, a copy of the configuration bytes, and one byte to write.
#include "config/config_image.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kavrin {

// The four dimensions the rest of the layout is derived from.
struct ConfigDimensions {
    std::int16_t MapCols = 0;
    std::int16_t MapRows = 0;
    std::int16_t EngTempCells = 0;
    std::int16_t AirTempCells = 0;

    static ConfigDimensions Of(const Configuration& config);
    // The dimensions the window starts with.
    static ConfigDimensions Start();
    // Sets the dimensions and re-creates the image (SizeImage).
    void ApplyTo(Configuration& config) const;
    // Configuration bytes (ImageLast) of this layout: the dump of an ECU laid
    // out so has one more, its check byte.
    int ConfigBytes() const;
    bool operator==(const ConfigDimensions&) const = default;
};

// One configuration byte to write with WriteConfigByte.
struct ByteWrite {
    std::int16_t index = 0;
    std::uint8_t value = 0;
    bool operator==(const ByteWrite&) const = default;
};

// The configuration bytes (indexes 0..ImageLast - 1) and their layout.
struct ConfigSnapshot {
    ConfigDimensions dims;
    std::vector<std::uint8_t> bytes;
};

// A configuration laid out by dims holding bytes from index 0 on (a dump's
// check byte lands on the spare byte), with its fuel scale and pulses worked out.
Configuration MakeConfiguration(const ConfigDimensions& dims, std::span<const std::uint8_t> bytes);

} // namespace kavrin

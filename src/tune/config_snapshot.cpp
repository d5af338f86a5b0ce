// SPDX-License-Identifier: GPL-3.0-or-later
#include "tune/config_snapshot.h"

#include <algorithm>

namespace kavrin {

ConfigDimensions ConfigDimensions::Of(const Configuration& config) {
    return {config.MapCols, config.MapRows, config.EngTempCells, config.AirTempCells};
}

ConfigDimensions ConfigDimensions::Start() {
    return Of(Configuration{});
}

void ConfigDimensions::ApplyTo(Configuration& config) const {
    config.MapCols = MapCols;
    config.MapRows = MapRows;
    config.EngTempCells = EngTempCells;
    config.AirTempCells = AirTempCells;
    config.SizeImage();
}

int ConfigDimensions::ConfigBytes() const {
    Configuration config;
    ApplyTo(config);
    return config.ImageLast;
}

Configuration MakeConfiguration(const ConfigDimensions& dims, std::span<const std::uint8_t> bytes) {
    Configuration config;
    dims.ApplyTo(config);
    const int n = std::min<int>(static_cast<int>(bytes.size()), config.ImageLast + 1);
    for (int i = 0; i < n; ++i) config.ConfigImage.Set(i, bytes[static_cast<std::size_t>(i)]);
    config.UpdateFuelScale();
    config.RecomputeFuelPulses();
    return config;
}

} // namespace kavrin

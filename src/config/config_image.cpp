// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/config_image.h"

#include <algorithm>

namespace kavrin {

void Configuration::SizeImage() {
    auto limit = [](std::int16_t v) {
        return static_cast<std::int16_t>(std::clamp<int>(v, 0, 255));
    };
    MapCols = limit(MapCols);
    MapRows = limit(MapRows);
    EngTempCells = limit(EngTempCells);
    AirTempCells = limit(AirTempCells);
    auto cap = [](int v) { return static_cast<std::int16_t>(std::min(v, 32767)); };
    FuelCells = cap(MapCols * MapRows);
    EngTempBase = cap(FuelCells + MapCols);
    AirTempBase = cap(EngTempBase + EngTempCells);
    ParamBase = cap(AirTempBase + AirTempCells);
    ImageLast =
        static_cast<std::int16_t>(std::min(ParamBase + kParamCount, ByteImage::kMaxBytes - 1));
    ConfigImage.Reset(ImageLast + 1);
    FuelPulseTable.assign(2 * static_cast<std::size_t>(FuelCells) + 1, 0.0f);
}

void Configuration::UpdateFuelScale() {
    FuelScale = FuelScaleForFactor(ConfigImage[ParamBase + kParameterScalings[kEfiFactor].offset]);
}

void Configuration::RecomputeFuelPulses() {
    const int cells = std::min<int>(FuelCells, static_cast<int>(FuelPulseTable.size()));
    for (int j = 0; j < cells; ++j) FuelPulseTable[j] = ConfigImage[j] * FuelScale;
}

void Configuration::TakeDump(const std::vector<std::uint8_t>& bytes) {
    const int n = std::min(static_cast<int>(bytes.size()), ImageLast + 1);
    for (int i = 0; i < n; ++i) ConfigImage.Set(i, bytes[static_cast<std::size_t>(i)]);
    UpdateFuelScale();
    RecomputeFuelPulses();
    RecolourFuel = true;
}

} // namespace kavrin

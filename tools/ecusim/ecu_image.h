// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>

namespace kavrin::ecusim {

// The ECU's configuration block as it lives in the ECU: every byte the PC can
// read with "G" and write with "M". The dump's check byte is not part of it.
class EcuImage {
public:
    static constexpr int kMapCols = 15; // 1000 .. 15000 rpm
    static constexpr int kMapRows = 11; // throttle steps
    static constexpr int kFuelBase = 0;
    static constexpr int kIgnitionBase = kMapCols * kMapRows;               // 165
    static constexpr int kEngineTempBase = kIgnitionBase + kMapCols;        // 180
    static constexpr int kEngineTempCells = 14;                             // 0 .. 130 degC
    static constexpr int kAirTempBase = kEngineTempBase + kEngineTempCells; // 194
    static constexpr int kAirTempCells = 7;                                 // 0 .. 60 degC
    static constexpr int kParamBase = kAirTempBase + kAirTempCells;         // 201
    static constexpr int kSize = kParamBase + 13;                           // 214

    static constexpr int kCompensation = kParamBase + 0; // 128 = 100 %
    static constexpr int kMainAngle = kParamBase + 1;    // 360/1024 deg per step
    static constexpr int kEfiAngle = kParamBase + 2;
    static constexpr int kFuelPump = kParamBase + 3; // 255 = 100 %
    static constexpr int kThrMin = kParamBase + 4;
    static constexpr int kThrMax = kParamBase + 5;
    static constexpr int kOptions = kParamBase + 6;
    static constexpr int kCutOff = kParamBase + 7;    // x 250 rpm
    static constexpr int kEfiFactor = kParamBase + 8; // x 0.0008 ms per fuel step
    static constexpr int kEfiOffset = kParamBase + 9; // x 16 fuel steps
    static constexpr int kPriming = kParamBase + 10;
    static constexpr int kDwell = kParamBase + 11; // x 0.0256 ms
    static constexpr int kOptions2 = kParamBase + 12;

    // Bits of the first option byte.
    static constexpr std::uint8_t kEfiInterpolationOn = 1u << 0;
    static constexpr std::uint8_t kEngineTempCompOn = 1u << 3;
    static constexpr std::uint8_t kAccelEnrichOn = 1u << 2;
    static constexpr std::uint8_t kNegativePulseStart = 1u << 4;
    static constexpr std::uint8_t kAirTempCompOn = 1u << 7;

    // Rows of the fuel map are throttle openings in 256ths of the sensor span,
    // finer at small openings where the engine is most sensitive.
    static constexpr std::array<int, kMapRows> kRowBreakpoints = {0,   16,  32,  48,  64, 96,
                                                                  128, 160, 192, 224, 256};

    // A running engine's tune, as the ECU would carry it from the bench.
    static EcuImage Tuned();

    std::uint8_t At(int index) const { return bytes_[static_cast<std::size_t>(index)]; }
    void Set(int index, std::uint8_t value) { bytes_[static_cast<std::size_t>(index)] = value; }
    const std::array<std::uint8_t, kSize>& Bytes() const { return bytes_; }

    std::uint8_t Fuel(int row, int col) const { return At(kFuelBase + row * kMapCols + col); }
    // Milliseconds of injection per fuel step; a zero factor would stall the
    // injectors, so the ECU falls back to 0.05 ms like the tool does.
    double FuelScaleMs() const;

private:
    std::array<std::uint8_t, kSize> bytes_{};
};

} // namespace kavrin::ecusim

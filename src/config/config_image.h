// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tool's copy of the ECU's configuration: one block of bytes holding the
// fuel map, ignition map, two compensation tables, thirteen parameters and a
// spare, with the fuel pulse of every fuel cell beside it.
#include "base/modulo.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kavrin {

// The ECU's units.
inline constexpr float kDegreesPerStep = 0.3515625f; // ignition angle, 360 / 1024
inline constexpr float kPercentPerStep = 0.78125f;   // compensation, 128 steps are 100 %
inline constexpr float kRpmPerCount = 0.9765625f;    // engine speed, 1024 counts per 1000 rpm
inline constexpr double kMsPerPulseCount = 0.0008;   // pulse counts and EFI factor steps

// The eleven parameter fields, in their order on the "Parameters" tab.
enum ParameterField {
    kCompensation,
    kMainAngle,
    kEfiAngle,
    kPump,
    kThrMin,
    kThrMax,
    kCutOff,
    kEfiFactor,
    kEfiOffset,
    kPriming,
    kDwell,
    kParameterFieldCount
};

// Where each field's byte lies (ParamBase + offset) and how it is scaled: in
// formatted mode the field shows byte x factor with that many decimals, and a
// typed value is divided by the factor. Factor 0 shows and takes the byte as it
// is in both modes. Both the display and the reading of the fields go by it.
struct ParameterScaling {
    ParameterField index;
    int offset;
    double factor;
    int decimals;
};
inline constexpr ParameterScaling kParameterScalings[kParameterFieldCount] = {
    {kCompensation, 0, kPercentPerStep, 1},
    {kMainAngle, 1, kDegreesPerStep, 1},
    {kEfiAngle, 2, kDegreesPerStep, 1},
    {kPump, 3, 100.0 / 255.0, 1}, // percent of full delivery
    {kThrMin, 4, 0, 0},           // throttle sensor counts
    {kThrMax, 5, 0, 0},
    {kCutOff, 7, kRpmPerCount, 0}, // the high byte of an engine-speed count
    {kEfiFactor, 8, 0.8, 0},       // us per fuel step
    {kEfiOffset, 9, 16, 2},        // in fuel steps: times FuelScale
    {kPriming, 10, 3.28, 0},
    {kDwell, 11, 0.0256, 2},
};
static_assert([] {
    for (int i = 0; i < kParameterFieldCount; ++i)
        if (kParameterScalings[i].index != i) return false;
    return true;
}());
// The two option bytes; their bits are ticked by check boxes.
inline constexpr int kOptionsOffset = 6;
// "EFI interpolation", bit 0 of the first option byte: the ECU blends the four
// fuel cells around the operating point instead of using the one it lies in.
inline constexpr std::uint8_t kEfiInterpolationBit = 1;
inline constexpr int kOptions2Offset = 12;

// The image's bytes. An index always fits the one-byte index of a write
// message, so the image never holds more than 256 bytes; reads past its end
// give 0 and writes past its end are dropped.
class ByteImage {
public:
    static constexpr int kMaxBytes = 256;

    void Reset(int size) {
        size_ = size < 0 ? 0 : (size > kMaxBytes ? kMaxBytes : size);
        bytes_.fill(0);
    }
    int size() const { return size_; }
    bool Contains(int index) const { return index >= 0 && index < size_; }
    std::uint8_t operator[](int index) const { return Contains(index) ? bytes_[index] : 0; }
    void Set(int index, int value) {
        if (Contains(index)) bytes_[index] = static_cast<std::uint8_t>(value);
    }

private:
    std::array<std::uint8_t, kMaxBytes> bytes_{};
    int size_ = 0;
};

struct Configuration {
    // Dimensions, set at start and by a configuration file's "format=" line.
    std::int16_t MapCols = 15;
    std::int16_t MapRows = 11;
    std::int16_t EngTempCells = 14;
    std::int16_t AirTempCells = 7;
    // Derived by SizeImage, never set otherwise.
    std::int16_t FuelCells = 0;
    std::int16_t EngTempBase = 0;
    std::int16_t AirTempBase = 0;
    std::int16_t ParamBase = 0;
    std::int16_t ImageLast = 0;

    ByteImage ConfigImage;
    std::vector<float> FuelPulseTable; // ms per fuel cell, indexes 0..2 x FuelCells
    float FuelScale = 0.0f;            // ms per fuel step
    bool RecolourFuel = false;

    static constexpr int kParamCount = 13;

    // Recomputes the derived values and re-creates the image and the pulse
    // table filled with zeros. Dimensions outside 0..255 are limited to that
    // range, and ImageLast to 255: an image larger than a write message can
    // address would have bytes the ECU can never be sent.
    void SizeImage();
    void UpdateFuelScale();
    // Pulse of every fuel cell from its byte and the current FuelScale.
    void RecomputeFuelPulses();
    // A whole configuration as the ECU sent it, from index 0 (its check byte
    // lands on the spare byte): the scale, the pulses and the fuel cells'
    // colours follow it, not an earlier map.
    void TakeDump(const std::vector<std::uint8_t>& bytes);
};

// Fuel conversions shared by the cell handlers and the step keys, so both use
// the very same arithmetic.

// Milliseconds per fuel step for an EFI factor byte; a zero byte would make
// every conversion divide by zero, so the ECU's own fallback of 0.05 ms is used.
inline float FuelScaleForFactor(int factorByte) {
    const double scale = factorByte * kMsPerPulseCount;
    return static_cast<float>(scale == 0 ? 0.05 : scale);
}

// Pulse of a fuel byte with the factor the image holds now. A byte above 255 is
// limited in the caller's variable.
inline float FuelRawToMs(Configuration& config, std::int16_t& raw) {
    config.UpdateFuelScale();
    if (raw > 255) raw = 255;
    return static_cast<float>(raw) * config.FuelScale;
}

// Nearest fuel byte for a pulse, limited to 0..255.
inline std::int16_t FuelMsToRaw(Configuration& config, float ms) {
    config.UpdateFuelScale();
    const float steps = ms / config.FuelScale;
    return std::clamp<std::int16_t>(RoundToInt16(steps), 0, 255);
}

// Image index of fuel cell (row, column), both counted from 1.
inline std::int16_t FuelCellIndex(const Configuration& config, std::int16_t row,
                                  std::int16_t column) {
    return static_cast<std::int16_t>((row - 1) * config.MapCols + (column - 1));
}

} // namespace kavrin

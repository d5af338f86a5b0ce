#pragma once
// What a value typed into one of the four tables becomes: the byte written to
// the ECU, the fuel pulse kept for the cell, and the text the cell shows.
#include "app/controls.h"
#include "app/modulo.h"
#include "config/config_image.h"
#include "link/link.h"
#include "link/link_state.h"

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kavrin {

// A number in single precision; one beyond its range saturates rather than
// being converted out of range.
inline float ToSingle(double value) {
    return static_cast<float>(
        std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}
inline float ReadSingle(std::string_view text) {
    return ToSingle(ReadNumber(text));
}

// Milliseconds per fuel step for a given EFI factor byte, as UpdateFuelScale
// derives it from the image; for a factor that is written but not yet in it.
inline float FuelScaleForFactor(int factorByte) {
    const double scale = factorByte * 0.0008;
    return static_cast<float>(scale == 0 ? 0.05 : scale);
}

// The conversions are inline so that the map views' step keys, which sit below
// this library, use the very same arithmetic.

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

// The handlers of the grid editors' ValidarCelda event for the fuel map, the
// ignition map and the two compensation tables. Rows and columns count from 1;
// valor is the typed text on entry and the text the cell is to show on return.
class MapCellHandlers {
public:
    // The fuel grid editor's SetTextColor(row, col, colour).
    using FuelTextColourSetter =
        std::function<void(std::int16_t row, std::int16_t col, Colour colour)>;

    MapCellHandlers(Configuration& config, const LinkFlags& flags, ConfigWriter& writer,
                    const DataFormatMode& dataFormat, FuelTextColourSetter setFuelTextColour,
                    std::function<void()> suggestFuelScale);

    void ogrd_fuel_ValidarCelda(std::int16_t& row, std::int16_t& col, std::string& valor,
                                bool& Cancel);
    void ogrd_ign_ValidarCelda(std::int16_t& row, std::int16_t& col, std::string& valor,
                               bool& Cancel);
    void ogrd3_ValidarCelda(std::int16_t& row, std::int16_t& col, std::string& valor, bool& Cancel);
    void ogrd4_ValidarCelda(std::int16_t& row, std::int16_t& col, std::string& valor, bool& Cancel);

private:
    void CompensationCell(int index, std::string& valor);
    bool Formatted() const { return dataFormat_ != kRawData; }

    Configuration& config_;
    const LinkFlags& flags_;
    ConfigWriter& writer_;
    const DataFormatMode& dataFormat_;
    FuelTextColourSetter setFuelTextColour_;
    std::function<void()> suggestFuelScale_;
};

} // namespace kavrin

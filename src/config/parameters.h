#pragma once
// The "Parameters" and "Options" tabs: eleven fields and ten check boxes, each a
// view onto one byte of the configuration image, and the two labels that
// suggest an EFI factor and offset for the current fuel map.
#include "base/controls.h"
#include "base/modulo.h"
#include "config/config_image.h"
#include "link/link.h"
#include "link/link_state.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kavrin {

class LanguageTexts;

// The controls of the two tabs. A control left null is one this build of the
// window does not have: it reads as an empty text and ignores what is written.
struct ParameterControls {
    Control* txtCompensation = nullptr;      // P + 0
    Control* txtMainAngle = nullptr;         // P + 1
    Control* txtEFI_angle = nullptr;         // P + 2
    Control* txtPump = nullptr;              // P + 3
    Control* txtTHRmin = nullptr;            // P + 4
    Control* txtTHRmax = nullptr;            // P + 5
    Control* txtCorte = nullptr;             // P + 7
    Control* txtFactor = nullptr;            // P + 8
    Control* txtOffset = nullptr;            // P + 9
    Control* txtPriming = nullptr;           // P + 10
    Control* txtDwell = nullptr;             // P + 11
    std::array<CheckControl*, 8> options{};  // bits of P + 6
    std::array<CheckControl*, 2> options2{}; // bits 0 and 1 of P + 12
    Control* lblfactor = nullptr;
    Control* lbloffset = nullptr;
};

// The window's refresh of every view from the image, and its map layout (which
// reads THR MIN and THR MAX back from their fields).
class ConfigRefresh {
public:
    virtual ~ConfigRefresh() = default;
    virtual void ShowConfig() = 0;
    virtual void LayoutMaps() = 0;
};

// Degrees (formatted) or a byte (raw) typed as text, as the angle byte the ECU
// takes: 1024 steps per turn, so 0..89.5 degrees give 0..255.
std::int16_t AngleToByte(std::string_view text, DataFormatMode dataFormat);

// The EFI factor byte whose 255 steps span the fuel map's pulses, and the
// offset byte that goes with it.
struct FuelScaleSuggestion {
    std::int16_t factor = 1;
    std::int16_t offset = 0;
};
FuelScaleSuggestion ComputeFuelScaleSuggestion(const Configuration& config);

class ParameterFields {
public:
    // lastValues is the live store of the channels: entry 5 holds the last raw
    // throttle reading.
    ParameterFields(const ParameterControls& controls, Configuration& config,
                    const LinkFlags& flags, ConfigWriter& writer, ConfigRefresh& refresh,
                    MessageBoxes& messages, const LanguageTexts& texts,
                    const DataFormatMode& dataFormat,
                    const std::array<std::int32_t, 21>& lastValues);

    // Run when the user leaves the field.
    void txtCompensation_Validate();
    void txtMainAngle_Validate();
    void txtEFI_angle_Validate();
    void txtPump_Validate();
    void txtTHRmin_Validate();
    void txtTHRmax_Validate();
    void txtCorte_Validate();
    void txtFactor_Validate();
    void txtOffset_Validate();
    void txtPriming_Validate();
    void txtDwell_Validate();

    // The "..." buttons: take the last throttle reading as THR MIN or THR MAX.
    void cmdTHRmin_Click();
    void cmdTHRmax_Click();

    // Raised after the box's tick has changed, by the user or by program.
    void options_Click(int index);
    void options2_Click(int index);

    // Shows the suggested factor and offset in lblfactor and lbloffset.
    void SuggestFuelScale();

private:
    void Write(int offset, std::int16_t value);
    void WriteUnscaled(ParameterField field);
    void WriteOptionBit(int offset, int bit, const CheckControl* box);
    double FieldNumber(ParameterField field) const;
    bool Formatted() const { return dataFormat_ != kRawData; }
    void RescaleFuelMap(int oldFactor, int newFactor);

    ParameterControls controls_;
    std::array<Control*, kParameterFieldCount> fields_;
    Configuration& config_;
    const LinkFlags& flags_;
    ConfigWriter& writer_;
    ConfigRefresh& refresh_;
    MessageBoxes& messages_;
    const LanguageTexts& texts_;
    const DataFormatMode& dataFormat_;
    const std::array<std::int32_t, 21>& lastValues_;
};

} // namespace kavrin

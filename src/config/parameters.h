// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Parameters" and "Options" tabs: eleven fields and ten check boxes, each a
// view onto one byte of the configuration image, and the two labels that
// suggest an EFI factor and offset for the current fuel map.
#include "base/controls.h"
#include "base/modulo.h"
#include "base/window_state.h"
#include "config/config_image.h"
#include "link/link.h"
#include "link/link_state.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kavrin {

class LanguageTexts;

// The controls of the two tabs; one this build of the window lacks is the null
// control.
struct ParameterControls {
    Control* txtCompensation = NoControl();                                // P + 0
    Control* txtMainAngle = NoControl();                                   // P + 1
    Control* txtEFI_angle = NoControl();                                   // P + 2
    Control* txtPump = NoControl();                                        // P + 3
    Control* txtTHRmin = NoControl();                                      // P + 4
    Control* txtTHRmax = NoControl();                                      // P + 5
    Control* txtCorte = NoControl();                                       // P + 7
    Control* txtFactor = NoControl();                                      // P + 8
    Control* txtOffset = NoControl();                                      // P + 9
    Control* txtPriming = NoControl();                                     // P + 10
    Control* txtDwell = NoControl();                                       // P + 11
    std::array<CheckControl*, 8> options = NoControls<CheckControl, 8>();  // bits of P + 6
    std::array<CheckControl*, 2> options2 = NoControls<CheckControl, 2>(); // bits 0 and 1 of P + 12
    Control* lblfactor = NoControl();
    Control* lbloffset = NoControl();
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
    // The state's LastValues entry 5 holds the last raw throttle reading.
    ParameterFields(const ParameterControls& controls, Configuration& config,
                    const LinkFlags& flags, ConfigWriter& writer, ConfigRefresh& refresh,
                    MessageBoxes& messages, const LanguageTexts& texts, const WindowState& state);

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
    bool Formatted() const { return state_.DataFormat != kRawData; }
    void RescaleFuelMap(int oldFactor, int newFactor);

    const ParameterControls& controls_;
    std::array<Control*, kParameterFieldCount> fields_;
    Configuration& config_;
    const LinkFlags& flags_;
    ConfigWriter& writer_;
    ConfigRefresh& refresh_;
    MessageBoxes& messages_;
    const LanguageTexts& texts_;
    const WindowState& state_;
};

} // namespace kavrin

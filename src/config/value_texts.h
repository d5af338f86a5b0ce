// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text every view of the configuration shows for a byte, in the window's
// display mode: the tables and fields, and the difference report, go by these.
#include "base/modulo.h"
#include "config/config_image.h"

#include <string>

namespace kavrin {

// A fuel cell shows its pulse in formatted mode, its byte in raw mode.
std::string FuelCellText(float pulseMs, int byte, DataFormatMode dataFormat);
std::string IgnitionCellText(int byte, DataFormatMode dataFormat);
std::string CompensationCellText(int byte, DataFormatMode dataFormat);
// fuelScale is the ms per fuel step of the configuration the byte belongs to:
// the EFI offset counts sixteen of them.
std::string ParameterFieldText(ParameterField field, int byte, float fuelScale,
                               DataFormatMode dataFormat);

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ".efi" configuration file: a "format=" and a "size=" header, then the
// image's bytes as decimal numbers grouped by table under ";" section lines.
// A file is read and checked completely before anything changes; only then
// are its steps applied to the image and sent to the ECU.
#include "config/config_image.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin {

class LanguageTexts;

// One thing the file asks for, in file order.
struct EfiStep {
    enum class Kind {
        Format, // a = MapCols, b = MapRows
        Size,   // a = the size the file gives (SizeConfig recomputes it)
        Data,   // ";EFI": the values start at index 0
        Value,  // a = the byte
    };
    Kind kind;
    std::int16_t a = 0;
    std::int16_t b = 0;
};

struct EfiReadResult {
    bool ok = false;
    int line = 0;       // where the file was refused (1 = first line), 0 = not a line
    int reasonText = 0;      // why, as a language entry (0: not refused)
    std::string reasonValue; // what that entry names: the item, the value
    std::vector<EfiStep> steps;
};

// Reads and checks a whole file. Refused: a file with binary data, a
// "format=" whose map is empty or would make the image larger than the 256
// bytes a write message can address (with the compensation tables of config),
// a value that is not a number or lies outside 0..255. Accepted as they
// stand: missing and surplus values, unknown header items, missing section
// lines, a "size=" that disagrees.
EfiReadResult ReadEfiText(std::string_view content, const Configuration& config);
// Why a file was refused, in the interface language.
std::string EfiRefusalText(const EfiReadResult& result, const LanguageTexts& texts);

// What loading does besides filling the image.
struct EfiLoadHooks {
    std::function<void()> SizeConfig;
    std::function<void(std::int16_t index, std::int16_t value)> WriteConfigByte;
    std::function<void()> ShowConfig;
};

// Applies checked steps: dimensions, image, one write per value, fuel pulses,
// one refresh.
void LoadEfiSteps(const std::vector<EfiStep>& steps, Configuration& config,
                  const EfiLoadHooks& hooks);

// The image as an ".efi" file, lines ended by CR LF.
std::string WriteEfiText(const Configuration& config);

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What lies at each index of the configuration, and its name as the window
// shows it: a map cell by its row and column headers, a parameter or an
// option switch by its caption. The difference report and the undo history
// name what they list by these.
#include "base/language_texts.h"
#include "base/modulo.h"
#include "config/config_image.h"
#include "config/map_axes.h"

#include <cstdint>
#include <string>

namespace kavrin {

enum class ItemKind {
    FuelCell,
    IgnitionCell,
    EngineTempCell,
    AirTempCell,
    Parameter,
    OptionSwitch,    // one bit of an option byte
    OtherOptionBits, // bits 2..7 of the second option byte, which no box shows
    WholeConfiguration,
    Spare, // the spare byte, or past the image
};

struct ConfigItem {
    ItemKind kind = ItemKind::Spare;
    int row = 0;    // fuel map row from 1; the one-row tables have row 1
    int column = 0; // column from 1
    ParameterField field = kParameterFieldCount;
    int optionOffset = 0; // kOptionsOffset or kOptions2Offset for the option bytes
};

// What lies at index in this layout. An option byte is given as
// OptionSwitch; which bits matter is the caller's to say.
ConfigItem ItemAt(const Configuration& config, int index);

// The bits of option byte P + optionOffset that have a check box.
int SwitchCount(int optionOffset);

class ItemNames {
public:
    // The fuel map's row headers follow THR MIN and THR MAX as the window's
    // configuration holds them, in the display mode given.
    ItemNames(const Configuration& config, DataFormatMode dataFormat, const LanguageTexts& texts);

    std::string KindName(ItemKind kind) const; // "fuel map cell"
    // The header cells the window shows for a map cell: "5000" / "49.9%";
    // empty where the table has none.
    std::string ColumnHeader(const ConfigItem& item) const;
    std::string RowHeader(const ConfigItem& item) const;
    std::string ParameterName(ParameterField field) const;
    std::string SwitchName(int optionOffset, int bit) const;
    // One line for an item: "fuel map cell 5000 rpm / 49.9%", "ignition map
    // cell 5000 rpm", "engine temperature compensation cell 30 °C", a
    // parameter's or a switch's name.
    std::string Name(const ConfigItem& item, int bit = 0) const;
    // The name of a change of one byte (an option byte by the first switch it
    // turns): for an undo step.
    std::string ChangeName(int index, std::uint8_t before, std::uint8_t after) const;

    // Undo step names of the changes that write many bytes at once.
    std::string BlockFillName(ItemKind kind, int cells) const; // "block fill (12): fuel map cell"
    std::string FactorRescaleName() const;
    std::string LoadFileName(const std::string& fileName) const;
    std::string Text(int entry) const { return texts_.Text(entry); }

    const Configuration& config() const { return config_; }

private:
    const Configuration& config_;
    DataFormatMode dataFormat_;
    const LanguageTexts& texts_;
    ThrottleAxis axis_;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The difference report: one row per differing item (map cell with its
// headers, parameter, option switch), the window's value and the other
// side's as the display mode shows them. The other side is the ECU's dump
// after a reconciliation, or a file the user compares with.
#include "base/language_texts.h"
#include "base/modulo.h"
#include "config/config_image.h"
#include "tune/config_items.h"
#include "tune/config_snapshot.h"
#include "tune/reconcile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kavrin {

struct ReportRow {
    ItemKind kind = ItemKind::WholeConfiguration;
    std::int16_t index = -1;  // image index; -1 for the whole configuration
    std::uint8_t mask = 0xFF; // the bits of the byte the row stands for
    std::uint8_t windowByte = 0;
    std::uint8_t otherByte = 0;
    bool mine = false;
    bool changedOnEcu = false;
    std::string item;   // "fuel map cell", a parameter's or a switch's name
    std::string column; // a map cell's headers as the window shows them
    std::string row;
    std::string name; // the item with its headers on one line
    std::string windowText;
    std::string otherText;
};

struct DifferenceReport {
    bool dimensionsDiffer = false;
    std::vector<ReportRow> rows;
    int Count() const { return static_cast<int>(rows.size()); }
};

// After a reconciliation: the window's configuration against the ECU's dump.
DifferenceReport BuildDifferenceReport(const ReconcileResult& result, const Configuration& window,
                                       DataFormatMode dataFormat, const LanguageTexts& texts);

// "Compare with…": the window's configuration against another (a file), byte
// by byte when their layouts agree.
DifferenceReport CompareConfigurations(const Configuration& window, const Configuration& other,
                                       DataFormatMode dataFormat, const LanguageTexts& texts);

// "Take the selected values": the writes that give the window the other
// side's value of each selected row (rows of one option byte combine).
std::vector<ByteWrite> TakeOtherValues(const DifferenceReport& report,
                                       std::span<const int> selectedRows);

} // namespace kavrin

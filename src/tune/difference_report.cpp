// SPDX-License-Identifier: GPL-3.0-or-later
#include "tune/difference_report.h"

#include "config/value_texts.h"
#include "tune/tune_texts.h"

#include <algorithm>
#include <map>
#include <utility>

namespace kavrin {

namespace {

std::string LayoutText(const ConfigDimensions& dims) {
    return "format=" + DecimalText(dims.MapCols) + "x" + DecimalText(dims.MapRows) +
           " size=" + DecimalText(dims.ConfigBytes());
}

// One side's bytes, laid out as the window's configuration. The fuel cells and
// the EFI offset are shown with that side's own EFI factor.
struct Side {
    std::span<const std::uint8_t> bytes;
    float fuelScale = 0;

    Side(const Configuration& layout, std::span<const std::uint8_t> b) : bytes(b) {
        fuelScale =
            FuelScaleForFactor(At(layout.ParamBase + kParameterScalings[kEfiFactor].offset));
    }
    std::uint8_t At(int index) const {
        return index >= 0 && index < static_cast<int>(bytes.size())
                   ? bytes[static_cast<std::size_t>(index)]
                   : 0;
    }
};

class RowBuilder {
public:
    RowBuilder(const Configuration& window, DataFormatMode dataFormat, const LanguageTexts& texts)
        : window_(window), dataFormat_(dataFormat), names_(window, dataFormat, texts) {}

    // One row per differing byte; an option byte gives one per switch turned,
    // and one for the bits no box shows.
    void AddByte(const Side& mine, const Side& other, const ByteDifference& d,
                 DifferenceReport& report) const {
        const ConfigItem item = ItemAt(window_, d.index);
        if (item.kind == ItemKind::Spare) return;
        if (item.kind != ItemKind::OptionSwitch) {
            Add(item, 0xFF, 0, d, mine, other, report);
            return;
        }
        const int changed = d.window ^ d.ecu;
        const int switches = SwitchCount(item.optionOffset);
        for (int bit = 0; bit < switches; ++bit)
            if (changed & (1 << bit))
                Add(item, static_cast<std::uint8_t>(1 << bit), bit, d, mine, other, report);
        const auto otherBits = static_cast<std::uint8_t>(0xFF << switches);
        if (changed & otherBits) {
            ConfigItem bits = item;
            bits.kind = ItemKind::OtherOptionBits;
            Add(bits, otherBits, 0, d, mine, other, report);
        }
    }

    void AddWholeConfiguration(const std::string& windowText, const std::string& otherText,
                               DifferenceReport& report) const {
        ReportRow row;
        row.kind = ItemKind::WholeConfiguration;
        row.item = row.name = names_.KindName(row.kind);
        row.windowText = windowText;
        row.otherText = otherText;
        report.rows.push_back(std::move(row));
    }

private:
    void Add(const ConfigItem& item, std::uint8_t mask, int bit, const ByteDifference& d,
             const Side& mine, const Side& other, DifferenceReport& report) const {
        ReportRow row;
        row.kind = item.kind;
        row.index = d.index;
        row.mask = mask;
        row.windowByte = d.window;
        row.otherByte = d.ecu;
        row.mine = d.mine;
        row.changedOnEcu = d.changedOnEcu;
        row.item = item.kind == ItemKind::OptionSwitch || item.kind == ItemKind::Parameter
                       ? names_.Name(item, bit)
                       : names_.KindName(item.kind);
        row.column = names_.ColumnHeader(item);
        row.row = names_.RowHeader(item);
        row.name = names_.Name(item, bit);
        row.windowText = ValueText(item, d.window, mask, mine.fuelScale);
        row.otherText = ValueText(item, d.ecu, mask, other.fuelScale);
        report.rows.push_back(std::move(row));
    }

    std::string ValueText(const ConfigItem& item, std::uint8_t byte, std::uint8_t mask,
                          float fuelScale) const {
        switch (item.kind) {
        case ItemKind::FuelCell:
            return FuelCellText(static_cast<float>(byte) * fuelScale, byte, dataFormat_);
        case ItemKind::IgnitionCell:
            return IgnitionCellText(byte, dataFormat_);
        case ItemKind::EngineTempCell:
        case ItemKind::AirTempCell:
            return CompensationCellText(byte, dataFormat_);
        case ItemKind::Parameter:
            return ParameterFieldText(item.field, byte, fuelScale, dataFormat_);
        case ItemKind::OptionSwitch: {
            // A check box is ticked or not in either mode; raw mode shows the bit.
            const bool on = (byte & mask) != 0;
            if (dataFormat_ == kRawData) return on ? "1" : "0";
            return names_.Text(on ? tune_texts::kSwitchOn : tune_texts::kSwitchOff);
        }
        default:
            return DecimalText(byte & mask);
        }
    }

    const Configuration& window_;
    DataFormatMode dataFormat_;
    ItemNames names_;
};

} // namespace

DifferenceReport BuildDifferenceReport(const ReconcileResult& result, const Configuration& window,
                                       DataFormatMode dataFormat, const LanguageTexts& texts) {
    DifferenceReport report;
    report.dimensionsDiffer = result.dimensionsDiffer;
    const RowBuilder rows(window, dataFormat, texts);
    if (result.dimensionsDiffer) {
        const int dumpConfigBytes = std::max(static_cast<int>(result.dump.size()) - 1, 0);
        rows.AddWholeConfiguration(LayoutText(result.windowDimensions),
                                   result.ecuDimensions ? LayoutText(*result.ecuDimensions)
                                                        : "size=" + DecimalText(dumpConfigBytes),
                                   report);
        return report;
    }
    // The merged bytes are the window's wherever they differ, and agree with
    // the dump elsewhere: the window's side of every item.
    const Side mine(window, result.merged);
    const Side ecu(window, result.dump);
    report.rows.reserve(result.differences.size());
    for (const ByteDifference& d : result.differences) rows.AddByte(mine, ecu, d, report);
    return report;
}

DifferenceReport CompareConfigurations(const Configuration& window, const Configuration& other,
                                       DataFormatMode dataFormat, const LanguageTexts& texts) {
    DifferenceReport report;
    const RowBuilder rows(window, dataFormat, texts);
    const ConfigDimensions windowDims = ConfigDimensions::Of(window);
    const ConfigDimensions otherDims = ConfigDimensions::Of(other);
    if (windowDims != otherDims || window.ImageLast != other.ImageLast) {
        report.dimensionsDiffer = true;
        rows.AddWholeConfiguration(LayoutText(windowDims), LayoutText(otherDims), report);
        return report;
    }
    std::vector<std::uint8_t> windowBytes, otherBytes;
    for (int i = 0; i < window.ImageLast; ++i) {
        windowBytes.push_back(window.ConfigImage[i]);
        otherBytes.push_back(other.ConfigImage[i]);
    }
    const Side mine(window, windowBytes);
    const Side file(window, otherBytes);
    for (int i = 0; i < window.ImageLast; ++i) {
        if (windowBytes[static_cast<std::size_t>(i)] == otherBytes[static_cast<std::size_t>(i)])
            continue;
        rows.AddByte(mine, file,
                     {static_cast<std::int16_t>(i), windowBytes[static_cast<std::size_t>(i)],
                      otherBytes[static_cast<std::size_t>(i)], false, false},
                     report);
    }
    return report;
}

std::vector<ByteWrite> TakeOtherValues(const DifferenceReport& report,
                                       std::span<const int> selectedRows) {
    std::map<std::int16_t, std::uint8_t> values;
    for (const int n : selectedRows) {
        if (n < 0 || n >= report.Count()) continue;
        const ReportRow& row = report.rows[static_cast<std::size_t>(n)];
        // A whole configuration of another layout is taken by loading it.
        if (row.index < 0) continue;
        const auto it = values.try_emplace(row.index, row.windowByte).first;
        it->second =
            static_cast<std::uint8_t>((it->second & ~row.mask) | (row.otherByte & row.mask));
    }
    std::vector<ByteWrite> writes;
    for (const auto& [index, value] : values) writes.push_back({index, value});
    return writes;
}

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "tune/config_items.h"

#include "tune/tune_texts.h"

#include <iterator>

namespace kavrin {

namespace {

// A caption as a name: without its tooltip ("caption~tooltip") and without
// the colon a field's label ends in ("Cut off:").
std::string CaptionAsName(std::string text) {
    if (const auto tilde = text.find('~'); tilde != std::string::npos) text.resize(tilde);
    while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
    return text;
}

} // namespace

ConfigItem ItemAt(const Configuration& c, int index) {
    ConfigItem item;
    if (index < 0 || index >= c.ImageLast) return item;
    item.row = 1;
    if (index < c.FuelCells) {
        item.kind = ItemKind::FuelCell;
        item.row = index / c.MapCols + 1;
        item.column = index % c.MapCols + 1;
    } else if (index < c.EngTempBase) {
        item.kind = ItemKind::IgnitionCell;
        item.column = index - c.FuelCells + 1;
    } else if (index < c.AirTempBase) {
        item.kind = ItemKind::EngineTempCell;
        item.column = index - c.EngTempBase + 1;
    } else if (index < c.ParamBase) {
        item.kind = ItemKind::AirTempCell;
        item.column = index - c.AirTempBase + 1;
    } else {
        const int offset = index - c.ParamBase;
        if (offset == kOptionsOffset || offset == kOptions2Offset) {
            item.kind = ItemKind::OptionSwitch;
            item.optionOffset = offset;
        } else {
            for (const ParameterScaling& p : kParameterScalings)
                if (p.offset == offset) item.field = p.index;
            item.kind = item.field == kParameterFieldCount ? ItemKind::Spare : ItemKind::Parameter;
        }
    }
    return item;
}

int SwitchCount(int optionOffset) {
    return optionOffset == kOptionsOffset
               ? static_cast<int>(std::size(tune_texts::kOptionCaptions))
               : static_cast<int>(std::size(tune_texts::kOption2Captions));
}

ItemNames::ItemNames(const Configuration& config, DataFormatMode dataFormat,
                     const LanguageTexts& texts)
    : config_(config), dataFormat_(dataFormat), texts_(texts),
      axis_(ThrottleAxisFor(
          config.ConfigImage[config.ParamBase + kParameterScalings[kThrMin].offset],
          config.ConfigImage[config.ParamBase + kParameterScalings[kThrMax].offset])) {}

std::string ItemNames::KindName(ItemKind kind) const {
    switch (kind) {
    case ItemKind::FuelCell:
        return texts_.Text(tune_texts::kFuelCell);
    case ItemKind::IgnitionCell:
        return texts_.Text(tune_texts::kIgnitionCell);
    case ItemKind::EngineTempCell:
        return texts_.Text(tune_texts::kEngineTempCell);
    case ItemKind::AirTempCell:
        return texts_.Text(tune_texts::kAirTempCell);
    case ItemKind::OtherOptionBits:
        return texts_.Text(tune_texts::kOtherOptionBits);
    case ItemKind::WholeConfiguration:
        return texts_.Text(tune_texts::kWholeConfiguration);
    case ItemKind::Parameter:
    case ItemKind::OptionSwitch:
    case ItemKind::Spare:
        break;
    }
    return {};
}

std::string ItemNames::ColumnHeader(const ConfigItem& item) const {
    switch (item.kind) {
    case ItemKind::FuelCell:
    case ItemKind::IgnitionCell:
        return EngineSpeedHeader(item.column);
    case ItemKind::EngineTempCell:
    case ItemKind::AirTempCell:
        return TemperatureHeader(item.column);
    default:
        return {};
    }
}

std::string ItemNames::RowHeader(const ConfigItem& item) const {
    return item.kind == ItemKind::FuelCell ? ThrottleRowHeader(axis_, item.row, dataFormat_)
                                           : std::string();
}

std::string ItemNames::ParameterName(ParameterField field) const {
    if (field < 0 || field >= kParameterFieldCount) return {};
    return CaptionAsName(texts_.Text(tune_texts::kParameterCaptions[field]));
}

std::string ItemNames::SwitchName(int optionOffset, int bit) const {
    if (bit < 0 || bit >= SwitchCount(optionOffset)) return {};
    const int entry = optionOffset == kOptionsOffset ? tune_texts::kOptionCaptions[bit]
                                                     : tune_texts::kOption2Captions[bit];
    return CaptionAsName(texts_.Text(entry));
}

std::string ItemNames::Name(const ConfigItem& item, int bit) const {
    const std::string kind = KindName(item.kind);
    switch (item.kind) {
    case ItemKind::FuelCell:
        return kind + " " + ColumnHeader(item) + " " + texts_.Text(tune_texts::kRpm) + " / " +
               RowHeader(item);
    case ItemKind::IgnitionCell:
        return kind + " " + ColumnHeader(item) + " " + texts_.Text(tune_texts::kRpm);
    case ItemKind::EngineTempCell:
    case ItemKind::AirTempCell:
        return kind + " " + ColumnHeader(item) + " " + texts_.Text(tune_texts::kDegreesCelsius);
    case ItemKind::Parameter:
        return ParameterName(item.field);
    case ItemKind::OptionSwitch:
        return SwitchName(item.optionOffset, bit);
    default:
        return kind;
    }
}

std::string ItemNames::ChangeName(int index, std::uint8_t before, std::uint8_t after) const {
    ConfigItem item = ItemAt(config_, index);
    if (item.kind != ItemKind::OptionSwitch) return Name(item);
    const int changed = before ^ after;
    for (int bit = 0; bit < SwitchCount(item.optionOffset); ++bit)
        if (changed & (1 << bit)) return Name(item, bit);
    item.kind = ItemKind::OtherOptionBits;
    return Name(item);
}

std::string ItemNames::BlockFillName(ItemKind kind, int cells) const {
    return texts_.Text(tune_texts::kBlockFill) + " (" + DecimalText(cells) + "): " + KindName(kind);
}

std::string ItemNames::FactorRescaleName() const {
    return texts_.Text(tune_texts::kFactorRescale);
}

std::string ItemNames::LoadFileName(const std::string& fileName) const {
    return texts_.Text(tune_texts::kLoadFile) + " " + fileName;
}

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/efi_file.h"

#include "base/language_texts.h"
#include "base/text_entries.h"

#include "base/modulo.h"

#include <cctype>

namespace kavrin {

namespace {
struct Item {
    std::string text;
    int line;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Whether the number reader finds a number at the start of text (it reads 0
// from a text that has none, and the file must not turn junk into zeros).
bool StartsWithNumber(std::string_view text) {
    std::string packed;
    for (char c : text)
        if (!IsBlank(c)) packed.push_back(c);
    std::size_t i = 0;
    if (packed.size() >= 2 && packed[0] == '&') {
        const char base = static_cast<char>(std::toupper(static_cast<unsigned char>(packed[1])));
        return (base == 'H' || base == 'O') && packed.size() > 2 &&
               std::isxdigit(static_cast<unsigned char>(packed[2]));
    }
    if (i < packed.size() && (packed[i] == '+' || packed[i] == '-')) ++i;
    if (i < packed.size() && packed[i] == '.') ++i;
    return i < packed.size() && std::isdigit(static_cast<unsigned char>(packed[i]));
}

// Items end at a comma or a line end (CR LF, LF or CR); leading spaces are not
// part of them. An empty line holds no item.
std::vector<Item> SplitItems(std::string_view content) {
    std::vector<Item> items;
    std::string current;
    bool lineHasItem = false;
    int line = 1;
    auto finish = [&](bool lineEnd) {
        if (!lineEnd || lineHasItem || !current.empty()) items.push_back({current, line});
        current.clear();
        lineHasItem = !lineEnd;
    };
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == ',') {
            finish(false);
        } else if (c == '\r' || c == '\n') {
            finish(true);
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
            ++line;
        } else if (!current.empty() || (c != ' ' && c != '\t')) {
            current.push_back(c);
        }
    }
    if (lineHasItem || !current.empty()) items.push_back({current, line});
    return items;
}

std::string FieldText(int value) {
    std::string text(1, ' ');
    text += DecimalText(value);
    text += ' ';
    return text;
}

EfiReadResult Refuse(int line, int reason, std::string value = {}) {
    EfiReadResult r;
    r.line = line;
    r.reasonText = reason;
    r.reasonValue = std::move(value);
    return r;
}
} // namespace

std::string EfiRefusalText(const EfiReadResult& result, const LanguageTexts& texts) {
    return texts.Format(result.reasonText, {result.reasonValue});
}

EfiReadResult ReadEfiText(std::string_view content, const Configuration& config) {
    int line = 1;
    for (unsigned char c : content) {
        if (c == '\n') ++line;
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F)
            return Refuse(line, text::kEfiBinary);
    }

    EfiReadResult result;
    bool dataMode = false;
    for (const Item& item : SplitItems(content)) {
        if (!dataMode) {
            std::string rest = item.text;
            const std::string key = SplitFirst(rest, '=');
            if (key == "format") {
                const std::int16_t cols = RoundToInt16(ReadNumber(SplitFirst(rest, 'x')));
                const std::int16_t rows = RoundToInt16(ReadNumber(rest));
                if (cols <= 0 || rows <= 0)
                    return Refuse(item.line, text::kEfiSizeNotPositive, item.text);
                const long long bytes = static_cast<long long>(cols) * rows + cols +
                                        config.EngTempCells + config.AirTempCells +
                                        Configuration::kParamCount + 1;
                if (bytes > ByteImage::kMaxBytes)
                    return Refuse(item.line, text::kEfiSizeTooLarge, item.text);
                result.steps.push_back({EfiStep::Kind::Format, cols, rows});
            } else if (key == "size") {
                result.steps.push_back({EfiStep::Kind::Size, RoundToInt16(ReadNumber(rest)), 0});
            } else if (key == ";EFI") {
                result.steps.push_back({EfiStep::Kind::Data, 0, 0});
                dataMode = true;
            }
            continue;
        }
        if (!item.text.empty() && item.text.front() == ';') continue;
        if (!StartsWithNumber(item.text))
            return Refuse(item.line, text::kEfiNotANumber, item.text);
        const std::int32_t value = RoundToInt32(ReadNumber(item.text));
        if (value < 0 || value > 255)
            return Refuse(item.line, text::kEfiOutOfRange, DecimalText(value));
        result.steps.push_back({EfiStep::Kind::Value, static_cast<std::int16_t>(value), 0});
    }
    result.ok = true;
    return result;
}

void LoadEfiSteps(const std::vector<EfiStep>& steps, Configuration& config,
                  const EfiLoadHooks& hooks) {
    std::int16_t index = 0;
    for (const EfiStep& step : steps) {
        switch (step.kind) {
        case EfiStep::Kind::Format:
            config.MapCols = step.a;
            config.MapRows = step.b;
            break;
        case EfiStep::Kind::Size:
            config.ImageLast = step.a;
            if (hooks.SizeConfig) hooks.SizeConfig();
            break;
        case EfiStep::Kind::Data:
            index = 0;
            break;
        case EfiStep::Kind::Value:
            if (index > config.ImageLast) break;
            config.ConfigImage.Set(index, step.a);
            if (hooks.WriteConfigByte) hooks.WriteConfigByte(index, step.a);
            ++index;
            break;
        }
    }
    for (int i = 0; i < config.FuelCells; ++i) {
        if (static_cast<std::size_t>(i) >= config.FuelPulseTable.size()) break;
        std::int16_t raw = config.ConfigImage[i];
        config.FuelPulseTable[static_cast<std::size_t>(i)] = FuelRawToMs(config, raw);
    }
    config.RecolourFuel = true;
    if (hooks.ShowConfig) hooks.ShowConfig();
}

std::string WriteEfiText(const Configuration& config) {
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\r\n"; };
    auto fields = [&](int& idx, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            if (i > 0) text += ",";
            text += FieldText(config.ConfigImage[idx++]);
        }
        line(text);
    };
    line("format=" + DecimalText(config.MapCols) + "x" + DecimalText(config.MapRows));
    line("size=" + DecimalText(config.ImageLast));
    line(";EFI");
    int idx = 0;
    for (int r = 1; r <= config.MapRows + 1; ++r) {
        if (r == config.MapRows + 1) line(";IGN");
        fields(idx, config.MapCols);
    }
    line(";ENG TEMP");
    fields(idx, config.EngTempCells);
    line(";AIR TEMP");
    fields(idx, config.AirTempCells);
    line(";OPTIONS");
    while (idx < config.ImageLast) line(FieldText(config.ConfigImage[idx++]));
    return out;
}

} // namespace kavrin

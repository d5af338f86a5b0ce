// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/language_texts.h"

#include "base/code_pages.h"
#include "base/modulo.h"
#include "base/text_entries.h"

#include <algorithm>
#include <cctype>

namespace kavrin {

namespace {
std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// Calls f for every complete line, ended by CR LF or by LF alone (as an editor
// on Linux saves the file); text after the last line end is not a line.
template <typename F> void ForEachLine(std::string_view content, F f) {
    std::size_t pos = 0;
    for (;;) {
        const auto end = content.find('\n', pos);
        if (end == std::string_view::npos) return;
        std::string_view line = content.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        f(line);
        pos = end + 1;
    }
}

// The character set of a "#CHARSET=n" line; nothing for other lines.
bool ReadCharsetDirective(std::string_view line, std::int16_t& charset) {
    if (line.empty() || line.front() != '#') return false;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    std::string name(line.substr(1, eq - 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (name != "CHARSET") return false;
    charset = RoundToInt16(ReadNumber(line.substr(eq + 1)));
    return true;
}
} // namespace

const std::string& LanguageTexts::Text(int n) const {
    static const std::string empty;
    return n >= 1 && n <= kEntries ? texts_[n] : empty;
}

std::string LanguageTexts::Format(int n, std::initializer_list<std::string_view> args) const {
    const std::string& text = Text(n);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && next >= '1' && next <= '9') {
            const auto k = static_cast<std::size_t>(next - '1');
            if (k < args.size()) out += *(args.begin() + k);
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string LanguageTexts::Explain(const Reason& reason) const {
    return reason.empty() ? Text(text::kNoReasonGiven) : Say(reason);
}

void LanguageTexts::Load(std::string_view content) {
    Parse(Latin1ToUtf8(content));
}

void LanguageTexts::Load(std::string_view content, const CodePageDecoder& decoder) {
    // The directive's line is plain ASCII in every code page, so it is found
    // in the bytes before anything is decoded; the last one counts.
    std::int16_t declared = 0;
    ForEachLine(content, [&](std::string_view line) { ReadCharsetDirective(line, declared); });
    Parse(decoder.ToUtf8(content, CodePageOfCharset(declared)));
}

void LanguageTexts::LoadFields(std::string_view content, const CodePageDecoder& decoder) {
    const std::string text = decoder.ToUtf8(content, 936);
    std::string lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        std::string field;
        if (pos < text.size() && text[pos] == '"') {
            // A quoted field runs to its closing quote, commas included.
            const auto close = text.find('"', pos + 1);
            const auto stop = close == std::string::npos ? text.size() : close;
            field = text.substr(pos + 1, stop - pos - 1);
            pos = close == std::string::npos ? text.size() : close + 1;
            while (pos < text.size() && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n')
                ++pos;
        } else {
            const auto stop = text.find_first_of(",\r\n", pos);
            field = text.substr(pos, (stop == std::string::npos ? text.size() : stop) - pos);
            pos = stop == std::string::npos ? text.size() : stop;
        }
        lines += field;
        lines += "\r\n";
        if (pos >= text.size()) break;
        // One separator: a comma, or a line end of CR LF, CR or LF.
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
            pos += 2;
        else
            ++pos;
    }
    Parse(lines);
}

void LanguageTexts::Parse(std::string_view text) {
    charset = 0;
    droppedLines = 0;
    loadedLines_ = 0;
    int entry = 0;
    ForEachLine(text, [&](std::string_view line) {
        if (!line.empty() && line.front() == '#') {
            ReadCharsetDirective(line, charset);
            return;
        }
        const auto semi = line.find(';');
        if (semi == std::string_view::npos) return;
        if (++entry <= kEntries) {
            texts_[entry] = std::string(line.substr(semi + 1));
            ++loadedLines_;
        } else
            ++droppedLines;
    });
}

} // namespace kavrin

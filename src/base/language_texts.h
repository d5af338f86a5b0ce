// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavrin {

class CodePageDecoder;

// The numbered interface texts of the current language (entries 1..399) and the
// font character set its file asks for.
class LanguageTexts {
public:
    static constexpr int kEntries = 399;

    // Text of entry n; empty for entries never filled and numbers out of range.
    const std::string& Text(int n) const;

    // Reads the content of a ".lan" file: "#CHARSET=n" directive, "#" comments,
    // text lines after the first ";", each ended by CR LF. Entries past those the
    // file has keep what an earlier file put there; lines past kEntries are dropped.
    // The bytes are single-byte code page (Latin-1) characters.
    void Load(std::string_view fileContent);

    // The same, with the bytes decoded in the code page of the character set
    // the file declares, wherever in the file its directive stands.
    void Load(std::string_view fileContent, const CodePageDecoder& decoder);

    // The file of the language "chinese": comma-separated fields in code page
    // 936, each field one line (a comma therefore splits a text in two).
    void LoadFields(std::string_view fileContent, const CodePageDecoder& decoder);

    std::int16_t charset = 0;
    // Text lines of the last file beyond the last entry, which the table cannot hold.
    int droppedLines = 0;

private:
    // Lines of UTF-8 text ended by CR LF.
    void Parse(std::string_view text);

    std::array<std::string, kEntries + 1> texts_{};
};

} // namespace kavrin

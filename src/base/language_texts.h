// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace kavrin {

class CodePageDecoder;

// Why something failed: a language entry of the tool's own words, or the
// system's words as it gave them.
struct Reason {
    int text = 0;
    std::string words;
    static Reason Entry(int n) {
        Reason r;
        r.text = n;
        return r;
    }
    static Reason Words(std::string w) {
        Reason r;
        r.words = std::move(w);
        return r;
    }
    bool empty() const { return text == 0 && words.empty(); }
};

// The numbered interface texts of the current language (entries 1..1000) and the
// font character set its file asks for.
class LanguageTexts {
public:
    static constexpr int kEntries = 1000;

    // Text of entry n; empty for entries never filled and numbers out of range.
    const std::string& Text(int n) const;
    // Text of entry n with "%1".."%9" replaced by the arguments, in any order the
    // language puts them.
    std::string Format(int n, std::initializer_list<std::string_view> args) const;
    // A reason in the interface language.
    std::string Say(const Reason& reason) const {
        return reason.text ? Text(reason.text) : reason.words;
    }
    // The same, with the tool's own "no reason given" for an empty one.
    std::string Explain(const Reason& reason) const;
    // True when the last file loaded gave at least one text.
    bool HasTexts() const { return loadedLines_ > 0; }

    // Reads the content of a ".lan" file: "#CHARSET=n" directive, "#" comments,
    // text lines after the first ";", each ended by CR LF or by LF alone. Entries
    // past those the file has keep what an earlier file put there; lines past
    // 1000 are dropped.
    // The bytes are single-byte code page (Latin-1) characters.
    void Load(std::string_view fileContent);

    // The same, with the bytes decoded in the code page of the character set
    // the file declares, wherever in the file its directive stands.
    void Load(std::string_view fileContent, const CodePageDecoder& decoder);

    // The file of the language "chinese": comma-separated fields in code page
    // 936, each field one line (a comma therefore splits a text in two).
    void LoadFields(std::string_view fileContent, const CodePageDecoder& decoder);

    std::int16_t charset = 0;
    // Text lines of the last file beyond entry 1000, which the table cannot hold.
    int droppedLines = 0;

private:
    // Lines of UTF-8 text ended by CR LF or LF.
    void Parse(std::string_view text);

    int loadedLines_ = 0;

    std::array<std::string, kEntries + 1> texts_{};
};

} // namespace kavrin

#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavrin {

// The numbered interface texts of the current language (entries 1..200) and the
// font character set its file asks for.
class LanguageTexts {
public:
    static constexpr int kEntries = 200;

    // Text of entry n; empty for entries never filled and numbers out of range.
    const std::string& Text(int n) const;

    // Reads the content of a ".lan" file: "#CHARSET=n" directive, "#" comments,
    // text lines after the first ";", each ended by CR LF. Entries past those the
    // file has keep what an earlier file put there; lines past 200 are dropped.
    // The bytes are single-byte code page (Latin-1) characters.
    void Load(std::string_view fileContent);

    std::int16_t charset = 0;

private:
    std::array<std::string, kEntries + 1> texts_{};
};

} // namespace kavrin

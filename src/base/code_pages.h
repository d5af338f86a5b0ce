// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Language files are written in a Windows code page named by their font
// character-set code; the texts are Unicode (UTF-8) everywhere else. The
// conversion itself is the platform's: iconv from the C library, the system
// converter on Windows.
#include <memory>
#include <string>
#include <string_view>

namespace kavrin {

// Windows code page of a font character-set code (0 Western 1252, 204
// Cyrillic 1251, 134 GBK 936, ...). Codes without a code page of their own
// read as Western.
int CodePageOfCharset(int charset);

class CodePageDecoder {
public:
    virtual ~CodePageDecoder() = default;
    // The bytes in the given code page as UTF-8. A byte sequence the code page
    // does not define becomes U+FFFD; the rest of the text is still converted.
    virtual std::string ToUtf8(std::string_view bytes, int codePage) const = 0;
};

// The converter of this platform.
std::unique_ptr<CodePageDecoder> MakeSystemCodePageDecoder();

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/code_pages.h"

#include <windows.h>

namespace kavrin {

namespace {
constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

// The bytes as UTF-8, or nothing when the code page does not define them all.
// Without MB_ERR_INVALID_CHARS the system would quietly put its own default
// character, or a best-fit guess, where a byte has no meaning.
bool Convert(UINT codePage, const char* bytes, int n, std::string& out) {
    const int wide = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, n, nullptr, 0);
    if (wide <= 0) return false;
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, n, w.data(), wide);
    const int len = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(len));
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data() + at, len, nullptr, nullptr);
    return true;
}

class Win32Decoder final : public CodePageDecoder {
public:
    std::string ToUtf8(std::string_view bytes, int codePage) const override {
        UINT page = static_cast<UINT>(codePage);
        if (!IsValidCodePage(page)) page = 1252;
        std::string out;
        if (bytes.empty() || Convert(page, bytes.data(), static_cast<int>(bytes.size()), out))
            return out;
        // Character by character, so that only what the code page lacks is
        // marked: a lead byte of a double-byte code page takes its trail byte.
        out.clear();
        for (std::size_t i = 0; i < bytes.size();) {
            const auto lead = static_cast<BYTE>(bytes[i]);
            const std::size_t n = IsDBCSLeadByteEx(page, lead) && i + 1 < bytes.size() ? 2 : 1;
            if (!Convert(page, bytes.data() + i, static_cast<int>(n), out)) {
                out += kReplacement;
                i += 1;
                continue;
            }
            i += n;
        }
        return out;
    }
};
} // namespace

std::unique_ptr<CodePageDecoder> MakeSystemCodePageDecoder() {
    return std::make_unique<Win32Decoder>();
}

} // namespace kavrin

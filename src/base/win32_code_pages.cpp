// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/code_pages.h"

#include <windows.h>

namespace kavrin {

namespace {
class Win32Decoder final : public CodePageDecoder {
public:
    std::string ToUtf8(std::string_view bytes, int codePage) const override {
        if (bytes.empty()) return {};
        const int n = static_cast<int>(bytes.size());
        const int wide =
            MultiByteToWideChar(static_cast<UINT>(codePage), 0, bytes.data(), n, nullptr, 0);
        if (wide <= 0) return std::string(bytes);
        std::wstring w(static_cast<std::size_t>(wide), L'\0');
        MultiByteToWideChar(static_cast<UINT>(codePage), 0, bytes.data(), n, w.data(), wide);
        const int len =
            WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(len), '\0');
        WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), len, nullptr, nullptr);
        return out;
    }
};
} // namespace

std::unique_ptr<CodePageDecoder> MakeSystemCodePageDecoder() {
    return std::make_unique<Win32Decoder>();
}

} // namespace kavrin

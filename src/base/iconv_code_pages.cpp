// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/code_pages.h"

#include <cerrno>
#include <iconv.h>

namespace kavrin {

namespace {
class IconvDecoder final : public CodePageDecoder {
public:
    std::string ToUtf8(std::string_view bytes, int codePage) const override {
        const std::string from = "CP" + std::to_string(codePage);
        iconv_t cd = iconv_open("UTF-8", from.c_str());
        if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
        if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);

        std::string out;
        out.reserve(bytes.size() * 2);
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* o = buffer;
            std::size_t oLeft = sizeof buffer;
            const std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
            out.append(buffer, static_cast<std::size_t>(o - buffer));
            if (r != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // An undefined byte, or a multi-byte character cut off at the end:
            // mark it and go on with the next byte.
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
        char* o = buffer;
        std::size_t oLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, &o, &oLeft);
        out.append(buffer, static_cast<std::size_t>(o - buffer));
        iconv_close(cd);
        return out;
    }
};
} // namespace

std::unique_ptr<CodePageDecoder> MakeSystemCodePageDecoder() {
    return std::make_unique<IconvDecoder>();
}

} // namespace kavrin

#include "base/language_texts.h"

#include "base/modulo.h"

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
} // namespace

const std::string& LanguageTexts::Text(int n) const {
    static const std::string empty;
    return n >= 1 && n <= kEntries ? texts_[n] : empty;
}

void LanguageTexts::Load(std::string_view content) {
    charset = 0;
    int entry = 0;
    std::size_t pos = 0;
    for (;;) {
        const auto end = content.find("\r\n", pos);
        if (end == std::string_view::npos) break; // text after the last line end is ignored
        const std::string_view line = content.substr(pos, end - pos);
        pos = end + 2;
        if (!line.empty() && line.front() == '#') {
            const auto eq = line.find('=');
            std::string name(line.substr(1, eq == std::string_view::npos ? line.npos : eq - 1));
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            if (name == "CHARSET" && eq != std::string_view::npos)
                charset = RoundToInt16(ReadNumber(line.substr(eq + 1)));
            continue;
        }
        const auto semi = line.find(';');
        if (semi == std::string_view::npos) continue;
        if (++entry <= kEntries) texts_[entry] = Latin1ToUtf8(line.substr(semi + 1));
    }
}

} // namespace kavrin

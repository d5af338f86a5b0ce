// SPDX-License-Identifier: GPL-3.0-or-later
// A ".lan" file in each of the character sets a file may declare: the first
// byte picks the "#CHARSET=" line put before the rest of the input, or the
// comma-separated format of the language "chinese".
#include "app/language_files.h"
#include "fuzz_harness.h"
#include "support/memory_file_system.h"

#include <QString>

#include <iterator>

using namespace kavrin;

namespace {
constexpr int kCharsets[] = {0, 161, 162, 177, 178, 186, 204, 238, 222, 163, 128, 129, 134, 136};
constexpr int kPicks = std::size(kCharsets) + 1;

// Valid UTF-8 decodes and encodes back unchanged; anything else comes back
// with replacement characters.
bool IsUtf8(const std::string& s) {
    return QString::fromUtf8(s).toUtf8().toStdString() == s;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto codePages = MakeSystemCodePageDecoder();
    if (size == 0) return 0;
    const std::size_t pick = data[0] % kPicks;
    const bool fields = pick == std::size(kCharsets);
    std::string file = fields ? "" : "#CHARSET=" + std::to_string(kCharsets[pick]) + "\r\n";
    file.append(reinterpret_cast<const char*>(data + 1), size - 1);
    test::MemoryFileSystem files;
    const std::string language = fields ? "Chinese" : "Language";
    files.files["/lang/" + language + ".lan"] = file;

    LanguageTexts texts;
    fuzz::Check(LanguageFiles(files, {"/lang"}, *codePages).Load(language, texts),
                "the file was not found");
    fuzz::Check(texts.Text(0).empty() && texts.Text(LanguageTexts::kEntries + 1).empty(),
                "an entry outside 1..200");
    for (int n = 1; n <= LanguageTexts::kEntries; ++n) {
        const std::string& text = texts.Text(n);
        fuzz::Check(IsUtf8(text), "an entry that is not UTF-8");
        fuzz::Check(text.find("\r\n") == std::string::npos, "an entry holding a line end");
    }
    return 0;
}

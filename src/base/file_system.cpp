// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/file_system.h"

#include "base/text_entries.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kavrin {

namespace {
// Paths are UTF-8 everywhere in the program. A path made from a plain string
// would be read in the system's code page on Windows; from UTF-8 code units it
// is the same file on every system.
std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

class DiskReadStream final : public ReadStream {
public:
    DiskReadStream(std::ifstream in, std::int64_t size) : in_(std::move(in)), size_(size) {}
    std::int64_t Read(char* buffer, std::int64_t size) override {
        if (in_.bad()) return -1;
        in_.read(buffer, size);
        if (in_.bad()) return -1;
        return in_.gcount();
    }
    std::int64_t Size() const override { return size_; }
    Reason LastError() const override {
        return in_.bad() ? Reason::Entry(text::kFileNotRead) : Reason{};
    }

private:
    std::ifstream in_;
    std::int64_t size_;
};
} // namespace

std::optional<std::string> DiskFileSystem::ReadFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(PathOf(path), ec)) return std::nullopt;
    if (std::filesystem::file_size(PathOf(path), ec) > static_cast<std::uintmax_t>(kMaxFileBytes))
        return std::nullopt;
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return content.str();
}

std::unique_ptr<ReadStream> DiskFileSystem::OpenStream(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path file = PathOf(path);
    if (!std::filesystem::is_regular_file(file, ec)) return nullptr;
    const auto size = std::filesystem::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (!in) return nullptr;
    return std::make_unique<DiskReadStream>(std::move(in),
                                            ec ? -1 : static_cast<std::int64_t>(size));
}

bool DiskFileSystem::WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << content;
    out.close();
    return static_cast<bool>(out);
}

std::vector<std::string> DiskFileSystem::ListFiles(const std::string& folder,
                                                   const std::string& suffix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(PathOf(folder), ec)) {
        const std::string name = Utf8Of(entry.path().filename());
        if (name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name);
    }
    return names;
}

bool DiskFileSystem::RemoveFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(PathOf(path), ec);
    return !std::filesystem::exists(PathOf(path), ec);
}

bool DiskFileSystem::MakeFolder(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(PathOf(path), ec);
    return std::filesystem::is_directory(PathOf(path), ec);
}

std::string DiskFileSystem::StateFolder() {
#ifdef _WIN32
    // The narrow environment is in the system's code page: a user name
    // outside it would be lost.
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local ? Utf8Of(std::filesystem::path(local)) : std::string();
#else
    auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    // A relative XDG_STATE_HOME is invalid and must be ignored.
    if (const std::string state = variable("XDG_STATE_HOME"); !state.empty() && state[0] == '/')
        return state;
    const std::string home = variable("HOME");
    return home.empty() ? std::string() : home + "/.local/state";
#endif
}

} // namespace kavrin

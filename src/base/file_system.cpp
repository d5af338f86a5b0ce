// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/file_system.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kavrin {

std::optional<std::string> DiskFileSystem::ReadFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec)) return std::nullopt;
    if (std::filesystem::file_size(std::filesystem::path(path), ec) >
        static_cast<std::uintmax_t>(kMaxFileBytes))
        return std::nullopt;
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return content.str();
}

bool DiskFileSystem::WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << content;
    out.close();
    return static_cast<bool>(out);
}

std::vector<std::string> DiskFileSystem::ListFiles(const std::string& folder,
                                                   const std::string& suffix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(folder), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name);
    }
    return names;
}

bool DiskFileSystem::RemoveFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(path), ec);
    return !std::filesystem::exists(std::filesystem::path(path), ec);
}

bool DiskFileSystem::MakeFolder(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path), ec);
    return std::filesystem::is_directory(std::filesystem::path(path), ec);
}

std::string DiskFileSystem::StateFolder() {
    auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
#ifdef _WIN32
    return variable("LOCALAPPDATA");
#else
    // A relative XDG_STATE_HOME is invalid and must be ignored.
    if (const std::string state = variable("XDG_STATE_HOME"); !state.empty() && state[0] == '/')
        return state;
    const std::string home = variable("HOME");
    return home.empty() ? std::string() : home + "/.local/state";
#endif
}

} // namespace kavrin

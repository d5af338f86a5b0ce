#pragma once
#include <optional>
#include <string>
#include <vector>

namespace kavrin {

// The files the system reads and writes: language files and configuration files.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    virtual bool WriteFile(const std::string& path, const std::string& content) = 0;
    // Names (not paths) of the files in folder whose name ends with suffix.
    virtual std::vector<std::string> ListFiles(const std::string& folder,
                                               const std::string& suffix) = 0;
    // Why the last ReadFile or WriteFile failed, in words for the user.
    virtual std::string LastError() const { return {}; }

    // No file the system reads is anywhere near this; a larger one is not one
    // of its files and is not read into memory.
    static constexpr long long kMaxFileBytes = 4 * 1024 * 1024;
};

class DiskFileSystem final : public FileSystem {
public:
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool WriteFile(const std::string& path, const std::string& content) override;
    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& suffix) override;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/append_stream.h"
#include "base/read_stream.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kavrin {

// The files the system reads and writes: language files, configuration files
// and datalogs.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    virtual bool WriteFile(const std::string& path, const std::string& content) = 0;
    // Names (not paths) of the files in folder whose name ends with suffix.
    virtual std::vector<std::string> ListFiles(const std::string& folder,
                                               const std::string& suffix) = 0;
    // A new, empty file to append to (an existing one is replaced); null when
    // it cannot be created.
    virtual std::unique_ptr<AppendStream> CreateStream(const std::string& /*path*/) {
        return nullptr;
    }
    // Why the last ReadFile, WriteFile or CreateStream failed.
    virtual Reason LastError() const { return {}; }
    // Removes a file; false when it is still there afterwards.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Makes a folder and the folders above it that are missing; true when it
    // exists afterwards.
    virtual bool MakeFolder(const std::string& path) = 0;
    // The user's folder for what the program keeps between runs and the user
    // does not edit (backups): $XDG_STATE_HOME, by default ~/.local/state; on
    // Windows the per-user application data folder. Empty when there is none.
    virtual std::string StateFolder() = 0;
    // A file to read in pieces, for files beyond kMaxFileBytes (datalogs); null
    // when it cannot be opened. Without a stream of its own a file system hands
    // out what ReadFile reads.
    virtual std::unique_ptr<ReadStream> OpenStream(const std::string& path) {
        auto text = ReadFile(path);
        if (!text) return nullptr;
        return std::make_unique<TextReadStream>(std::move(*text));
    }

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
    bool RemoveFile(const std::string& path) override;
    bool MakeFolder(const std::string& path) override;
    std::string StateFolder() override;
    std::unique_ptr<ReadStream> OpenStream(const std::string& path) override;
};

} // namespace kavrin

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
    // A file to read in pieces, for files beyond kMaxFileBytes (datalogs); null
    // when it cannot be opened. Without a stream of its own a file system hands
    // out what ReadFile reads.
    virtual std::unique_ptr<ReadStream> OpenStream(const std::string& path) {
        auto text = ReadFile(path);
        if (!text) return nullptr;
        return std::make_unique<TextReadStream>(std::move(*text));
    }
    // Why the last ReadFile, WriteFile, CreateStream or OpenStream failed, in
    // words for the user.
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
    std::unique_ptr<ReadStream> OpenStream(const std::string& path) override;
};

} // namespace kavrin

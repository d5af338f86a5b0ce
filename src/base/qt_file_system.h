// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/file_system.h"

namespace kavrin {

// Files through Qt. A write goes to a temporary file in the same folder that
// replaces the old file only once it is complete, so a failed save (read-only
// folder, full disk, folder gone) leaves the old file as it was.
class QtFileSystem final : public FileSystem {
public:
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool WriteFile(const std::string& path, const std::string& content) override;
    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& suffix) override;
    std::unique_ptr<AppendStream> CreateStream(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool MakeFolder(const std::string& path) override;
    std::string StateFolder() override;
    Reason LastError() const override { return lastError_; }
    std::unique_ptr<ReadStream> OpenStream(const std::string& path) override;

private:
    Reason lastError_;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/file_system.h"

#include <map>
#include <memory>
#include <string_view>

namespace kavrin::test {

class MemoryFileSystem final : public FileSystem {
public:
    std::optional<std::string> ReadFile(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool WriteFile(const std::string& path, const std::string& content) override {
        if (readOnly) return false;
        files[path] = content;
        return true;
    }
    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& suffix) override {
        std::vector<std::string> names;
        const std::string prefix = folder + "/";
        for (const auto& [path, content] : files) {
            if (path.rfind(prefix, 0) != 0) continue;
            const std::string name = path.substr(prefix.size());
            if (name.find('/') == std::string::npos && name.ends_with(suffix))
                names.push_back(name);
        }
        return names;
    }

    bool RemoveFile(const std::string& path) override {
        if (readOnly) return false;
        files.erase(path);
        return true;
    }
    bool MakeFolder(const std::string& /*path*/) override { return !readOnly; }
    std::string StateFolder() override { return "/home/user/.local/state"; }

    // Datalogs grow in files[path] as they are appended; with failWrites set
    // every append and flush fails, as on a full disk.
    std::unique_ptr<AppendStream> CreateStream(const std::string& path) override {
        if (readOnly) return nullptr;
        files[path].clear();
        return std::make_unique<Stream>(*this, path);
    }

    std::map<std::string, std::string> files;
    bool readOnly = false;
    bool failWrites = false;

private:
    class Stream final : public AppendStream {
    public:
        Stream(MemoryFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
        bool Append(std::string_view bytes) override {
            if (fs_.failWrites) return false;
            fs_.files[path_].append(bytes);
            return true;
        }
        bool Flush() override { return !fs_.failWrites; }
        Reason LastError() const override { return Reason::Words("no space left on device"); }

    private:
        MemoryFileSystem& fs_;
        std::string path_;
    };
};

} // namespace kavrin::test

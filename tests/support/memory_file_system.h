#pragma once
#include "base/file_system.h"

#include <map>

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

    std::map<std::string, std::string> files;
    bool readOnly = false;
};

} // namespace kavrin::test

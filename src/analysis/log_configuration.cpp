// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/log_configuration.h"

#include "config/efi_file.h"

namespace kavrin {

std::string ConfigPathForLog(std::string_view logPath) {
    const std::size_t name = logPath.find_last_of("/\\");
    const std::size_t dot = logPath.rfind('.');
    const bool hasExtension =
        dot != std::string_view::npos && (name == std::string_view::npos || dot > name + 1);
    return std::string(hasExtension ? logPath.substr(0, dot) : logPath) + ".efi";
}

LogConfiguration LoadLogConfiguration(FileSystem& files, std::string_view logPath,
                                      const Configuration& fallback) {
    LogConfiguration result;
    result.config = fallback;
    const auto text = files.ReadFile(ConfigPathForLog(logPath));
    if (!text) return result;
    Configuration config = fallback;
    const EfiReadResult file = ReadEfiText(*text, config);
    if (!file.ok) {
        result.refusal = file;
        return result;
    }
    EfiLoadHooks hooks;
    hooks.SizeConfig = [&config] { config.SizeImage(); };
    LoadEfiSteps(file.steps, config, hooks);
    config.UpdateFuelScale();
    result.config = std::move(config);
    result.fromFile = true;
    return result;
}

} // namespace kavrin

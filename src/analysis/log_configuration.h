// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A datalog records no configuration, so the configuration of the moment a log
// starts is saved beside it: same name, ".efi". Its analysis reads it back.
#include "base/file_system.h"
#include "config/config_image.h"
#include "config/efi_file.h"

#include <string>
#include <string_view>

namespace kavrin {

// "runs/kavrin-2026-12-07-031500.csv" -> "runs/kavrin-2026-12-07-031500.efi";
// a name without an extension gets ".efi" added.
std::string ConfigPathForLog(std::string_view logPath);

struct LogConfiguration {
    Configuration config;
    bool fromFile = false; // read from beside the log, else the fallback
    // Why the file beside the log was not used although it is there: its line
    // and reason (EfiRefusalText); not ok only then.
    EfiReadResult refusal = Accepted();
    static EfiReadResult Accepted() {
        EfiReadResult r;
        r.ok = true;
        return r;
    }
};

// The configuration beside the log when it is there and sound, else the
// fallback (the window's configuration).
LogConfiguration LoadLogConfiguration(FileSystem& files, std::string_view logPath,
                                      const Configuration& fallback);

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "sim_options.h"

#include <string>
#include <vector>

namespace kavrin::ecusim {

// Everything the program is told on its command line.
struct ProgramOptions {
    SimOptions sim;
    int port = 9;          // registered as COM<port>
    bool select = false;   // also make it the tool's chosen port
    std::string readyFile; // "COM<port> <device>" once the port is usable
    std::string logFile;   // one line per event
    bool help = false;
};

struct ParsedCommandLine {
    ProgramOptions options;
    std::string error; // empty when the command line was understood
};

// Arguments after the program name; "--name value" and "--name=value" both work.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

} // namespace kavrin::ecusim

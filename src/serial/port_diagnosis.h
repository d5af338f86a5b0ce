// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Why a port did not open, in words, and what to do about it, in the
// interface language.
#include "serial/port_system.h"
#include "serial/serial_device.h"

#include <string>
#include <vector>

namespace kavrin {

class LanguageTexts;

struct PortDiagnosis {
    std::string reason; // a few words, for a port label: "permission denied"
    std::string detail; // what is wrong and what to do, in sentences
};

// device: what the port number stood for (empty: nothing); error: what the
// failed open said; facts: the second look at the device; ports: the names
// of the ports that exist.
PortDiagnosis DiagnoseOpenFailure(const std::string& device, const OpenError& error,
                                  const DeviceFacts& facts, const std::vector<std::string>& ports,
                                  const LanguageTexts& texts);

} // namespace kavrin

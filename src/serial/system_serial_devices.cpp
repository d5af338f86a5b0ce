// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_directory.h"

#include <QSerialPortInfo>

namespace kavrin {

std::vector<std::string> SystemSerialDevices() {
    std::vector<std::string> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back(info.systemLocation().toStdString());
    return devices;
}

std::string UnlistedDeviceName([[maybe_unused]] std::int16_t port) {
#ifdef Q_OS_WIN
    return WindowsDeviceName(port);
#else
    return {};
#endif
}

} // namespace kavrin

#include "serial/port_directory.h"

#include <QSerialPortInfo>

namespace kavrin {

std::vector<std::string> SystemSerialDevices() {
    std::vector<std::string> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back(info.systemLocation().toStdString());
    return devices;
}

} // namespace kavrin

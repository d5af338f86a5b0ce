#include "serial/rs232.h"

namespace kavrin {

rs232::rs232(SerialDevice& device, PortDirectory& ports) : device_(device), ports_(ports) {}

void rs232::OpenComPort(std::int16_t port) {
    portOpen_ = false;
    if (handle_ != 0) CloseComPort();
    if (!device_.Open(ports_.DeviceName(port))) {
        handle_ = -1;
        return;
    }
    handle_ = 1;
    portOpen_ = true;
}

void rs232::CloseComPort() {
    if (handle_ == 0 || handle_ == -1) return;
    device_.Close();
    handle_ = -1;
}

void rs232::SendString(std::string_view text) {
    if (!portOpen_) return;
    for (char c : text) device_.WriteByte(static_cast<std::uint8_t>(c));
}

std::int16_t rs232::ReceiveWaitingByte() {
    if (!portOpen_) return -1;
    return static_cast<std::int16_t>(device_.ReadWaitingByte());
}

std::int16_t rs232::ReceiveByte() {
    if (!portOpen_) return -1;
    return static_cast<std::int16_t>(device_.ReadByte());
}

} // namespace kavrin

#pragma once
#include "serial/port_directory.h"
#include "serial/serial_device.h"

namespace kavrin {

// A COM port through the Win32 communications calls.
class Win32SerialDevice final : public SerialDevice {
public:
    ~Win32SerialDevice() override;
    bool Open(const std::string& deviceName) override;
    void Close() override;
    void WriteByte(std::uint8_t byte) override;
    int ReadByte() override;
    int ReadWaitingByte() override;

private:
    void* handle_ = nullptr;
};

// Port numbers as Windows has them: the registry list of serial ports.
class Win32PortDirectory final : public PortDirectory {
public:
    std::string DeviceName(std::int16_t port) override { return WindowsDeviceName(port); }
    std::vector<std::string> ListComPorts() override;
};

} // namespace kavrin

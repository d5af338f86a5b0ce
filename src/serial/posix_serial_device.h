#pragma once
#include "serial/serial_device.h"

namespace kavrin {

// A tty through the POSIX terminal interface. Chosen over QSerialPort because
// the link reads one byte at a time with a 10 ms limit and no event loop, and
// wants the driver's own queue rather than a second buffer in between.
class PosixSerialDevice final : public SerialDevice {
public:
    ~PosixSerialDevice() override;
    bool Open(const std::string& deviceName) override;
    void Close() override;
    void WriteByte(std::uint8_t byte) override;
    int ReadByte() override;
    int ReadWaitingByte() override;

private:
    int fd_ = -1;
};

} // namespace kavrin

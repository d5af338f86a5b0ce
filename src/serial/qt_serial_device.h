// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "serial/serial_device.h"

#include <memory>

class QSerialPort;

namespace kavrin {

// A serial device through Qt's serial port, on every platform. The link has no
// event loop of its own at this level: every call waits on the port itself, so
// nothing depends on Qt delivering readyRead or bytesWritten in between.
class QtSerialDevice final : public SerialDevice {
public:
    QtSerialDevice();
    ~QtSerialDevice() override;
    bool Open(const std::string& deviceName) override;
    OpenError LastOpenError() const override { return error_; }
    void Close() override;
    void WriteByte(std::uint8_t byte) override;
    int ReadByte() override;
    int ReadWaitingByte() override;

private:
    int TakeBufferedByte();
    void KeepError();
    std::unique_ptr<QSerialPort> port_;
    OpenError error_;
};

} // namespace kavrin

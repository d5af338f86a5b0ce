// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "serial/serial_device.h"

#include <QElapsedTimer>

#include <memory>

class QSerialPort;

namespace kavrin {

// A serial device through Qt's serial port, on every platform. What arrives
// waits, in the driver or in Qt's buffer, until the link tick takes it; where
// the driver allows, the event loop does not wake for it (driver_reads.h). What is written
// is handed to the driver as far as it takes it at once, the rest as the
// driver asks for more. Errors arrive as Qt's signal and are kept for the link
// to see.
class QtSerialDevice final : public SerialDevice {
public:
    QtSerialDevice();
    ~QtSerialDevice() override;
    bool Open(const std::string& deviceName) override;
    OpenError LastOpenError() const override { return error_; }
    void Close() override;
    void Write(std::span<const std::uint8_t> bytes) override;
    std::size_t Read(std::span<std::uint8_t> into) override;
    bool Failed() const override { return failed_; }

    // Bytes the driver has not taken for this long mean a line that no longer
    // moves: a write then marks the device failed.
    static constexpr int kWriteStallMs = 1000;

private:
    void KeepError();
    void Fail();
    std::unique_ptr<QSerialPort> port_;
    OpenError error_;
    bool failed_ = false;
    // The tick reads the driver itself, and Qt no longer watches the port.
    bool readsDriver_ = false;
    // Since the driver last took bytes, or found nothing left to take.
    QElapsedTimer sinceDriverTook_;
};

} // namespace kavrin

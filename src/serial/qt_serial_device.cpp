// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/qt_serial_device.h"

#include "serial/driver_reads.h"

#include <QSerialPort>

#include <algorithm>

namespace kavrin {

namespace {
bool BreaksTheLine(QSerialPort::SerialPortError e) {
    return e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
           e == QSerialPort::WriteError || e == QSerialPort::UnknownError;
}
} // namespace

QtSerialDevice::QtSerialDevice() : port_(std::make_unique<QSerialPort>()) {
    QSerialPort* port = port_.get();
    // An adapter pulled out or a line hung up shows here, from the event loop,
    // not in a call of ours.
    QObject::connect(port, &QSerialPort::errorOccurred, port,
                     [this](QSerialPort::SerialPortError e) {
                         if (port_->isOpen() && BreaksTheLine(e)) Fail();
                     });
    QObject::connect(port, &QSerialPort::bytesWritten, port,
                     [this](qint64) { sinceDriverTook_.start(); });
}

QtSerialDevice::~QtSerialDevice() {
    Close();
}

bool QtSerialDevice::Open(const std::string& deviceName) {
    Close();
    error_ = {};
    failed_ = false;
    readsDriver_ = false;
    if (deviceName.empty()) {
        error_.kind = OpenError::Kind::NotFound;
        return false;
    }
    QSerialPort& port = *port_;
    port.setPortName(QString::fromStdString(deviceName));
    if (!port.open(QIODevice::ReadWrite)) {
        KeepError();
        return false;
    }
    const bool configured =
        port.setBaudRate(QSerialPort::Baud115200) && port.setDataBits(QSerialPort::Data8) &&
        port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
        port.setFlowControl(QSerialPort::NoFlowControl);
    // Whatever the ECU sent before the port was ours belongs to nobody.
    if (!configured || !port.clear(QSerialPort::AllDirections)) {
        KeepError();
        port.close();
        return false;
    }
    readsDriver_ = ReadOnTickOnly(port);
    sinceDriverTook_.start();
    return true;
}

// Qt reports a device held by another program (its lock file, or the
// system's exclusive use) as a permission error too.
void QtSerialDevice::KeepError() {
    switch (port_->error()) {
    case QSerialPort::DeviceNotFoundError:
        error_.kind = OpenError::Kind::NotFound;
        break;
    case QSerialPort::PermissionError:
        error_.kind = OpenError::Kind::Refused;
        break;
    default:
        error_.kind = OpenError::Kind::Other;
    }
    error_.text = port_->errorString().toStdString();
}

void QtSerialDevice::Fail() {
    // Emptying the queue of a broken line fails too, and says so again.
    if (failed_) return;
    failed_ = true;
    // Nothing queued will reach the ECU any more; the link reopens the port.
    port_->clear(QSerialPort::Output);
}

void QtSerialDevice::Close() {
    // The driver takes what is still queued ("S" before a reopen or at the
    // end) and sends it before it lets the line go.
    if (!port_->isOpen()) return;
    if (!failed_) port_->flush();
    port_->close();
}

void QtSerialDevice::Write(std::span<const std::uint8_t> bytes) {
    QSerialPort& port = *port_;
    if (!port.isOpen() || failed_ || bytes.empty()) return;
    const qint64 queued = port.bytesToWrite();
    if (queued > 0) {
        port.flush();
        if (port.bytesToWrite() < queued)
            sinceDriverTook_.start();
        else if (sinceDriverTook_.hasExpired(kWriteStallMs)) {
            Fail();
            return;
        }
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (port.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        Fail();
        return;
    }
    // Handed to the driver now as far as it takes them, without waiting.
    port.flush();
    if (port.bytesToWrite() == 0) sinceDriverTook_.start();
}

std::size_t QtSerialDevice::Read(std::span<std::uint8_t> into) {
    QSerialPort& port = *port_;
    if (!port.isOpen() || into.empty()) return 0;
    // Asking Qt for no more than it holds keeps it from watching the port
    // again when the tick reads the driver itself.
    const qint64 held = readsDriver_ ? std::min<qint64>(port.bytesAvailable(),
                                                        static_cast<qint64>(into.size()))
                                     : static_cast<qint64>(into.size());
    const qint64 n = held > 0 ? port.read(reinterpret_cast<char*>(into.data()), held) : 0;
    const std::size_t brought = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (!readsDriver_ || failed_) return brought;
    const std::ptrdiff_t waiting = TakeFromDriver(port, into.subspan(brought));
    if (waiting < 0) {
        Fail();
        return brought;
    }
    return brought + static_cast<std::size_t>(waiting);
}

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/qt_serial_device.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

namespace kavrin {

namespace {
constexpr int kReadTimeoutMs = 10;
constexpr int kWriteTimeoutMs = 110;
} // namespace

QtSerialDevice::QtSerialDevice() : port_(std::make_unique<QSerialPort>()) {}

QtSerialDevice::~QtSerialDevice() {
    Close();
}

bool QtSerialDevice::Open(const std::string& deviceName) {
    Close();
    error_ = {};
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

void QtSerialDevice::Close() {
    // WriteByte leaves nothing in Qt's buffer, and the driver sends what it
    // holds before it lets the line go: the ECU's "S" is not lost here.
    if (port_->isOpen()) port_->close();
}

void QtSerialDevice::WriteByte(std::uint8_t byte) {
    QSerialPort& port = *port_;
    if (!port.isOpen()) return;
    const char c = static_cast<char>(byte);
    if (port.write(&c, 1) != 1) return;
    // Without an event loop the byte would wait in Qt's buffer; hand it to the
    // driver now. A byte the driver does not take in time is dropped, as the
    // line would lose it.
    if (!port.waitForBytesWritten(kWriteTimeoutMs) && port.bytesToWrite() > 0)
        port.clear(QSerialPort::Output);
}

int QtSerialDevice::TakeBufferedByte() {
    char c = 0;
    return port_->getChar(&c) ? static_cast<std::uint8_t>(c) : -1;
}

int QtSerialDevice::ReadWaitingByte() {
    QSerialPort& port = *port_;
    if (!port.isOpen()) return -1;
    if (port.bytesAvailable() == 0) port.waitForReadyRead(0);
    return TakeBufferedByte();
}

int QtSerialDevice::ReadByte() {
    QSerialPort& port = *port_;
    if (!port.isOpen()) return -1;
    if (port.bytesAvailable() > 0) return TakeBufferedByte();
    QElapsedTimer waited;
    waited.start();
    if (port.waitForReadyRead(kReadTimeoutMs)) return TakeBufferedByte();
    // A hung-up line reports at once; keep the pace of one empty read per
    // 10 ms so that waits measured in reads stay honest.
    const qint64 left = kReadTimeoutMs - waited.elapsed();
    if (left > 0) QThread::msleep(static_cast<unsigned long>(left));
    return -1;
}

} // namespace kavrin

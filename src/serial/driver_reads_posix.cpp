// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/driver_reads.h"

#include <QSerialPort>
#include <QSocketNotifier>

#include <cerrno>
#include <termios.h>
#include <unistd.h>

namespace kavrin {

namespace {
// The most a terminal can be told to wait for before it is readable.
constexpr cc_t kBatchBytes = 255;
} // namespace

// A raw terminal that waits for at least one byte and has no inter-byte timer
// answers a read of a descriptor that does not block with what is there, with
// "try again" when nothing is, and with nothing at all only once hung up.
bool ReadOnTickOnly(QSerialPort& port) {
    const int fd = static_cast<int>(port.handle());
    termios settings{};
    if (fd < 0 || ::tcgetattr(fd, &settings) != 0) return false;
    settings.c_cc[VMIN] = kBatchBytes;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) return false;
    // Qt's watch for arriving bytes; it starts again only when a read asks Qt
    // for more than it holds, which ours never do. Should it still be there,
    // it wakes the thread once a batch.
    for (QSocketNotifier* watch : port.findChildren<QSocketNotifier*>())
        if (watch->type() == QSocketNotifier::Read) watch->setEnabled(false);
    return true;
}

std::ptrdiff_t TakeFromDriver(QSerialPort& port, std::span<std::uint8_t> into) {
    const int fd = static_cast<int>(port.handle());
    if (fd < 0) return -1;
    if (into.empty()) return 0;
    for (;;) {
        const ssize_t n = ::read(fd, into.data(), into.size());
        if (n > 0) return n;
        if (n == 0) return -1;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

} // namespace kavrin

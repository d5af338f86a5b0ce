#include "serial/posix_serial_device.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kavrin {

namespace {
constexpr int kReadTimeoutMs = 10;
constexpr int kWriteTimeoutMs = 110;

void SleepMs(int ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
} // namespace

PosixSerialDevice::~PosixSerialDevice() {
    Close();
}

bool PosixSerialDevice::Open(const std::string& deviceName) {
    Close();
    if (deviceName.empty()) return false;
    const int fd = ::open(deviceName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // Two locks: the advisory lock keeps out every program that asks for one
    // (including another copy of this tool, even as root); TIOCEXCL keeps out
    // ordinary programs that don't.
    termios tio{};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0 ||
        ::tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
#ifdef CRTSCTS
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
#endif
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, B115200) != 0 || ::cfsetospeed(&tio, B115200) != 0 ||
        ::tcsetattr(fd, TCSANOW, &tio) != 0) {
        ::close(fd);
        return false;
    }
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    return true;
}

void PosixSerialDevice::Close() {
    if (fd_ < 0) return;
    // The exclusive mode belongs to the device, not to this descriptor: left
    // set, it would keep the next open out (ours included, unless root).
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

void PosixSerialDevice::WriteByte(std::uint8_t byte) {
    if (fd_ < 0) return;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ssize_t n = ::write(fd_, &byte, 1);
        if (n == 1) return;
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, kWriteTimeoutMs);
    }
}

int PosixSerialDevice::ReadWaitingByte() {
    std::uint8_t byte = 0;
    return fd_ >= 0 && ::read(fd_, &byte, 1) == 1 ? byte : -1;
}

int PosixSerialDevice::ReadByte() {
    if (fd_ < 0) return -1;
    std::uint8_t byte = 0;
    if (::read(fd_, &byte, 1) == 1) return byte;
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, kReadTimeoutMs);
    if (ready > 0 && (p.revents & POLLIN) && ::read(fd_, &byte, 1) == 1) return byte;
    // A hung-up line reports at once; keep the driver's pace of one empty read
    // per 10 ms so that waits measured in reads stay honest.
    if (ready > 0) SleepMs(kReadTimeoutMs);
    return -1;
}

} // namespace kavrin

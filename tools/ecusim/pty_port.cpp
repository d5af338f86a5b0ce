// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_port.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kavrin::ecusim {

PtyPort::~PtyPort() {
    Close();
}

void PtyPort::Close() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

bool PtyPort::Open(std::string& error) {
    Close();
    auto fail = [&](const char* what) {
        error = std::string(what) + ": " + std::strerror(errno);
        Close();
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return fail("posix_openpt");
    if (::grantpt(master_) != 0) return fail("grantpt");
    if (::unlockpt(master_) != 0) return fail("unlockpt");
    const char* name = ::ptsname(master_);
    if (name == nullptr) return fail("ptsname");
    path_ = name;
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return fail("open slave");
    // Binary bytes must pass untouched: no echo of what the tool sends, no
    // CR/LF translation, no signals on 0x03, no XON/XOFF flow control.
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0) return fail("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0) return fail("tcsetattr");
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) return fail("fcntl");
    return true;
}

std::vector<std::uint8_t> PtyPort::ReadAvailable() {
    std::vector<std::uint8_t> out;
    if (master_ < 0) return out;
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            out.insert(out.end(), buffer, buffer + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return out;
    }
}

std::size_t PtyPort::Write(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    return done;
}

void PtyPort::ReleaseExclusiveLock() {
    if (slave_ >= 0) ::ioctl(slave_, TIOCNXCL);
}

} // namespace kavrin::ecusim

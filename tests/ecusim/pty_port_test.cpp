#include "ecusim/pty_port.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

namespace kavrin::ecusim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads until n bytes came or a second passed without any.
template <typename ReadSome> Bytes ReadUntil(int fd, std::size_t n, ReadSome readSome) {
    Bytes out;
    pollfd p{fd, POLLIN, 0};
    while (out.size() < n && ::poll(&p, 1, 1000) > 0) {
        const Bytes got = readSome();
        if (got.empty()) break;
        out.insert(out.end(), got.begin(), got.end());
    }
    return out;
}

Bytes ReadSome(int fd) {
    std::uint8_t buffer[256];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    return got > 0 ? Bytes(buffer, buffer + got) : Bytes{};
}

// The tool opens the device the way it opens a serial port; every byte value
// must cross in both directions unchanged (no echo, no CR/LF translation, no
// signal characters, no flow control), and the port must open again after the
// tool has locked and closed it.
TEST(PtyPortTest, EveryByteCrossesUnchangedAndThePortReopens) {
    PtyPort port;
    std::string error;
    ASSERT_TRUE(port.Open(error)) << error;
    ASSERT_EQ(port.DevicePath().rfind("/dev/", 0), 0u);

    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);

    for (int round = 0; round < 2; ++round) {
        const int tool = ::open(port.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(tool, 0) << "round " << round;
        ASSERT_EQ(::ioctl(tool, TIOCEXCL), 0);
        ::tcflush(tool, TCIOFLUSH);

        ASSERT_EQ(::write(tool, all.data(), all.size()), 256);
        EXPECT_EQ(ReadUntil(port.MasterFd(), 256, [&] { return port.ReadAvailable(); }), all);

        EXPECT_EQ(port.Write(all), 256u);
        EXPECT_EQ(ReadUntil(tool, 256, [tool] { return ReadSome(tool); }), all);
        EXPECT_TRUE(port.ReadAvailable().empty()) << "nothing echoed back";

        ::close(tool);
        port.ReleaseExclusiveLock();
    }
}

} // namespace
} // namespace kavrin::ecusim

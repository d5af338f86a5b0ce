// The real terminal device, on a pseudo-terminal pair made for the test.
#include "serial/qt_serial_device.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kavrin {
namespace {

struct Pty {
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        name = ptsname(master);
        // Keep the other end open so that the master never reads a hang-up.
        keep = ::open(name.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        tcgetattr(keep, &tio);
        cfmakeraw(&tio);
        tcsetattr(keep, TCSANOW, &tio);
    }
    ~Pty() {
        ::close(keep);
        ::close(master);
    }
    void Send(const std::string& bytes) const {
        [[maybe_unused]] auto n = ::write(master, bytes.data(), bytes.size());
        tcdrain(master);
    }
    // What the device wrote, waiting for the pseudo-terminal to pass it on.
    std::string Take(std::size_t expected) const {
        std::string got;
        char buf[64];
        while (got.size() < expected) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0) break;
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, n);
        }
        return got;
    }
    int master = -1;
    int keep = -1;
    std::string name;
};

TEST(QtSerialDevice, OpensExclusivelyAndMovesSingleBytes) {
    Pty pty;
    QtSerialDevice device;
    ASSERT_TRUE(device.Open(pty.name));

    QtSerialDevice other;
    EXPECT_FALSE(other.Open(pty.name)) << "a second program must not share the port";

    device.WriteByte('G');
    device.WriteByte(0xE0);
    EXPECT_EQ(pty.Take(2), "G\xE0");

    pty.Send("R\xFF");
    EXPECT_EQ(device.ReadByte(), 'R');
    EXPECT_EQ(device.ReadByte(), 0xFF);

    EXPECT_EQ(device.ReadByte(), -1);

    // Bytes that came together: the second one is already waiting.
    EXPECT_EQ(device.ReadWaitingByte(), -1);
    pty.Send("$#");
    EXPECT_EQ(device.ReadByte(), '$');
    EXPECT_EQ(device.ReadWaitingByte(), '#');
    EXPECT_EQ(device.ReadWaitingByte(), -1);

    device.WriteByte('S');
    device.Close();
    EXPECT_EQ(pty.Take(1), "S") << "the last byte leaves before the close";
    EXPECT_TRUE(other.Open(pty.name)) << "closing releases the port";
}

TEST(QtSerialDevice, OpeningEmptiesWhatWaitedAndRejectsNonTerminals) {
    Pty pty;
    pty.Send("stale");
    QtSerialDevice device;
    ASSERT_TRUE(device.Open(pty.name));
    EXPECT_EQ(device.ReadByte(), -1);

    QtSerialDevice notATerminal;
    EXPECT_FALSE(notATerminal.Open("/dev/null"));
    EXPECT_FALSE(notATerminal.Open("/dev/does-not-exist"));
    EXPECT_FALSE(notATerminal.Open(""));
    EXPECT_EQ(notATerminal.ReadByte(), -1);
}

} // namespace
} // namespace kavrin

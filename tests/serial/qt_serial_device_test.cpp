// SPDX-License-Identifier: GPL-3.0-or-later
// The real terminal device, on a pseudo-terminal pair made for the test.
#include "serial/port_system.h"
#include "serial/qt_serial_device.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
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
        char c = 0;
        pollfd p{master, POLLIN, 0};
        while (got.size() < expected && ::poll(&p, 1, 2000) > 0 && ::read(master, &c, 1) == 1)
            got += c;
        return got;
    }
    int master = -1, keep = -1;
    std::string name;
};

// Opening empties what waited and takes the port for this program alone; the
// last byte leaves before the close. A failed open keeps why, and a second look
// names who holds the port: this very program.
TEST(QtSerialDevice, OpensExclusivelyMovesSingleBytesAndFlushesOnClose) {
    Pty pty;
    pty.Send("stale");
    QtSerialDevice device, other;
    ASSERT_TRUE(device.Open(pty.name));
    EXPECT_EQ(device.ReadByte(), -1);
    EXPECT_FALSE(other.Open(pty.name));
    EXPECT_EQ(other.LastOpenError().kind, OpenError::Kind::Refused);
#ifdef __linux__
    const auto holders = MakePortSystem()->Look(pty.name).holders;
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].name + " " + std::to_string(holders[0].pid),
              std::string(program_invocation_short_name) + " " + std::to_string(::getpid()));
    EXPECT_FALSE(MakePortSystem()->Look("/dev/does-not-exist").exists);
#endif
    using Kind = OpenError::Kind;
    for (auto [name, kind] :
         {std::pair{"/dev/null", Kind::Other}, std::pair{"/dev/does-not-exist", Kind::NotFound},
          std::pair{"", Kind::NotFound}}) {
        EXPECT_FALSE(other.Open(name)) << name;
        EXPECT_EQ(other.LastOpenError().kind, kind) << name;
    }

    device.WriteByte('G');
    device.WriteByte(0xE0);
    EXPECT_EQ(pty.Take(2), "G\xE0");
    pty.Send("R\xFF");
    EXPECT_EQ(device.ReadByte(), 'R');
    EXPECT_EQ(device.ReadWaitingByte(), 0xFF) << "the second byte is already waiting";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device.ReadByte(), -1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10));

    device.WriteByte('S');
    device.Close();
    EXPECT_EQ(pty.Take(1), "S");
    EXPECT_TRUE(other.Open(pty.name)) << "closing releases the port";
}

} // namespace
} // namespace kavrin

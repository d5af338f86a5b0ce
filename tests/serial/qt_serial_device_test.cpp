// SPDX-License-Identifier: GPL-3.0-or-later
// The real terminal device, on a pseudo-terminal pair made for the test.
#include "serial/port_system.h"
#include "serial/qt_serial_device.h"
#include "support/qt_application.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <span>
#include <stdlib.h>
#include <string_view>
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

// What the reads take, waiting up to two seconds for `count` bytes or a
// failure: the pseudo-terminal passes them on in its own time.
std::string Arrived(QtSerialDevice& device, std::size_t count) {
    std::string got;
    [[maybe_unused]] const bool all = QTest::qWaitFor(
        [&] {
            std::uint8_t buffer[64];
            const std::size_t n = device.Read(buffer);
            got.append(reinterpret_cast<const char*>(buffer), n);
            return got.size() >= count || device.Failed();
        },
        2000);
    return got;
}

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Opening empties what waited and takes the port for this program alone;
// writes leave without an event loop (the last ones before a close are tried
// end to end). A failed open keeps why, and a second look names who holds the
// port: this very program. A line that hangs up fails the device.
TEST(QtSerialDevice, OpensExclusivelyMovesBytesAndNoticesAHangUp) {
    auto pty = std::make_unique<Pty>();
    pty->Send("stale");
    QtSerialDevice device, other;
    ASSERT_TRUE(device.Open(pty->name));
    EXPECT_FALSE(other.Open(pty->name));
    EXPECT_EQ(other.LastOpenError().kind, OpenError::Kind::Refused);
#ifdef __linux__
    const auto holders = MakePortSystem()->Look(pty->name).holders;
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].name + " " + std::to_string(holders[0].pid),
              std::string(program_invocation_short_name) + " " + std::to_string(::getpid()));
    EXPECT_FALSE(MakePortSystem()->Look("/dev/does-not-exist").exists);
#endif
    using Kind = OpenError::Kind;
    for (auto [path, kind] :
         {std::pair{"/dev/null", Kind::Other}, std::pair{"/dev/does-not-exist", Kind::NotFound},
          std::pair{"", Kind::NotFound}}) {
        EXPECT_FALSE(other.Open(path)) << path;
        EXPECT_EQ(other.LastOpenError().kind, kind) << path;
    }

    device.Write(Bytes("G\xE0"));
    EXPECT_EQ(pty->Take(2), "G\xE0");
    // Qt no longer watches for arriving bytes: the read takes them from the driver.
    pty->Send("R\xFF");
    EXPECT_EQ(Arrived(device, 2), "R\xFF") << "what waited before the open is gone";
    device.Close();
    ASSERT_TRUE(other.Open(pty->name)) << "closing releases the port";
    EXPECT_FALSE(other.Failed());
    pty.reset();
    EXPECT_EQ(Arrived(other, 1), "");
    EXPECT_TRUE(other.Failed()) << "the tick's read finds the line hung up";
    other.Write(Bytes("R"));
}

} // namespace
} // namespace kavrin

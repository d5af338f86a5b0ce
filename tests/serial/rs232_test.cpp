// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/rs232.h"
#include "support/fake_serial_device.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

// A shut port takes and gives nothing; bytes come whole (0xFF is 255). How
// texts and reopens reach the wire is the link's.
TEST(rs232, HandleLifecycleAndBytes) {
    FakeSerialDevice device;
    FakePortDirectory ports;
    rs232 port(device, ports);
    EXPECT_EQ(port.handle(), 0);
    port.SendString("G");
    EXPECT_EQ(port.ReceiveByte(), -1);
    port.OpenComPort(4);
    EXPECT_TRUE(device.written.empty());
    device.Feed({0xFF, 7});
    EXPECT_EQ(port.ReceiveByte(), 255);
    port.CloseComPort();
    EXPECT_EQ(port.ReceiveByte(), -1) << "what came on a port let go is not kept";
    EXPECT_EQ(port.handle(), -1);
    device.missing = {"fake:9"};
    port.OpenComPort(9);
    EXPECT_FALSE(port.portOpen());
}

TEST(PortNumbers, EntriesWinAndOtherDevicesFollowTheRule) {
    const auto table = AssignPortNumbers(
        {{7, "/dev/ttyUSB0"}, {1, "/dev/pts/4"}, {5, "\\\\.\\COM12"}},
        {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/rfcomm0",
         "/dev/ttyS1", "/dev/ttyAMA0", "\\\\.\\COM3", "\\\\.\\COM5", "\\\\.\\COM12"});
    const std::map<int, std::string> expected{
        {1, "/dev/pts/4"},    {2, "/dev/ttyS1"},    {3, "\\\\.\\COM3"},   {5, "\\\\.\\COM12"},
        {7, "/dev/ttyUSB0"},  {34, "/dev/ttyUSB1"}, {49, "/dev/ttyACM0"}, {65, "/dev/rfcomm0"},
        {66, "/dev/ttyAMA0"}, {67, "/dev/ttyS0"},   {68, "\\\\.\\COM5"}};
    EXPECT_EQ(table, expected);
}

// macOS's /dev/cu.<x> and /dev/tty.<x> are one port: one number, for the
// device that opens without waiting for the carrier.
TEST(PortNumbers, PairedMacDevicesGetOneNumber) {
    struct Case {
        std::map<int, std::string> entries;
        std::vector<std::string> devices;
        std::map<int, std::string> expected;
    };
    const Case cases[] = {
        {{},
         {"/dev/tty.usbserial-1", "/dev/cu.usbserial-1", "/dev/cu.Bluetooth", "/dev/tty.Bluetooth"},
         {{65, "/dev/cu.Bluetooth"}, {66, "/dev/cu.usbserial-1"}}},
        {{}, {"/dev/tty.lonely", "/dev/cu."}, {{65, "/dev/cu."}, {66, "/dev/tty.lonely"}}},
        {{{4, "/dev/tty.usbserial-1"}},
         {"/dev/cu.usbserial-1", "/dev/tty.usbserial-1"},
         {{4, "/dev/tty.usbserial-1"}}},
        {{{4, "/dev/cu.a"}}, {"/dev/tty.a", "/dev/cu.b"}, {{4, "/dev/cu.a"}, {65, "/dev/cu.b"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(AssignPortNumbers(c.entries, c.devices), c.expected);
}

TEST(PortNumbers, DirectoryReadsThePortsSection) {
    MemorySettingsStore settings;
    settings.SaveSetting("kavrin", "ports", "COM9", "/dev/pts/7");
    settings.SaveSetting("kavrin", "ports", "junk", "/dev/null");
    SettingsPortDirectory ports(settings, [] { return std::vector<std::string>{"/dev/ttyS2"}; });
    EXPECT_EQ(ports.DeviceName(9), "/dev/pts/7");
    EXPECT_EQ(ports.DeviceName(3), "/dev/ttyS2");
    EXPECT_EQ(ports.DeviceName(4), "");
    EXPECT_EQ(ports.ListComPorts(), (std::vector<std::string>{"COM3", "COM9"}));

    SettingsPortDirectory byNumber(
        settings, [] { return std::vector<std::string>{}; }, &WindowsDeviceName);
    EXPECT_EQ(byNumber.DeviceName(9), "/dev/pts/7");
    EXPECT_EQ(byNumber.DeviceName(4), "\\\\.\\COM4") << "a number the table lacks";
    EXPECT_EQ(WindowsDeviceName(1234), "\\\\.\\COM123"); // the field holds 10 characters
}

// The system's devices are looked at once, not at every reopen of the port;
// again when asked, and when the device a port stood for has gone: a port
// that moved to another device is then found at once.
TEST(PortNumbers, TheTableIsKeptUntilRefreshedOrItsDeviceIsGone) {
    static int looks = 0;
    MemorySettingsStore settings;
    settings.SaveSetting("kavrin", "ports", "COM21", "/dev/pts/5");
    SettingsPortDirectory ports(settings, [] {
        ++looks;
        return std::vector<std::string>{"/dev/ttyS0"};
    });
    FakeSerialDevice device;
    rs232 port(device, ports);
    for (int i = 0; i < 3; ++i) port.OpenComPort(21);
    EXPECT_EQ(looks, 1);
    settings.SaveSetting("kavrin", "ports", "COM21", "/dev/pts/7");
    port.OpenComPort(21);
    EXPECT_EQ(device.openName, "/dev/pts/5") << "the table as it was";
    device.missing = {"/dev/pts/5"};
    port.OpenComPort(21);
    EXPECT_EQ(looks, 2);
    EXPECT_EQ(device.openName, "/dev/pts/7");
    ports.Refresh();
    EXPECT_EQ(looks, 3);
}

} // namespace
} // namespace kavrin::test

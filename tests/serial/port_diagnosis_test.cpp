// SPDX-License-Identifier: GPL-3.0-or-later
// Why a port did not open, from what the open said and a second look at the
// device, the look faked: the tests run as root, who may open anything.
#include "base/language_texts.h"
#include "serial/port_diagnosis.h"
#include "support/fake_link_host.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

using Kind = OpenError::Kind;

// A device that exists; no group or holders unless given.
DeviceFacts Facts(bool mayReadWrite, const char* group = "dialout", bool listed = false,
                  std::vector<DeviceHolder> holders = {}) {
    DeviceFacts f;
    f.looked = f.exists = true;
    f.mayReadWrite = mayReadWrite;
    f.user = "alice";
    f.group = group;
    f.groupMayReadWrite = f.group != "root";
    f.listedInGroup = listed;
    f.holders = std::move(holders);
    return f;
}

TEST(PortDiagnosis, SaysWhyAndWhatToDo) {
    const LanguageTexts english = EnglishTexts(); // the reasons in the shipped words
    const OpenError notFound{Kind::NotFound, ""}, refused{Kind::Refused, ""},
        io{Kind::Other, "Input/output error"}, none;
    DeviceFacts gone, unknown, modemManager = Facts(true, "dialout", false, {{88, "ModemManager"}});
    gone.looked = modemManager.modemManagerProbes = true;
    struct Case {
        const char* device;
        OpenError error;
        DeviceFacts facts;
        const char* reason;
        const char* detail; // a part of it
    };
    const Case cases[] = {
        {"", notFound, unknown, "no such port", "Ports that exist: COM1, COM34."},
        {"/dev/ttyUSB3", notFound, unknown, "no such device",
         "/dev/ttyUSB3 does not exist. Ports that exist: COM1, COM34."},
        {"/dev/ttyUSB3", refused, gone, "no such device", "does not exist"},
        {"/dev/ttyUSB0", refused, Facts(false), "permission denied",
         "the group dialout, which you are not in. Join it with\n"
         "    sudo usermod -aG dialout alice\nthen log out and in again"},
        {"/dev/ttyUSB0", refused, Facts(false, "uucp", true), "permission denied",
         "joined the group uucp that owns /dev/ttyUSB0 after this login. Log out and in again"},
        {"/dev/ttyS0", refused, Facts(false, "root"), "permission denied", "Ask the administrator"},
        {"/dev/ttyS0", refused, Facts(true, "dialout", false, {{1234, "minicom"}}),
         "in use by minicom (1234)", "/dev/ttyS0 is held by minicom (process 1234). Close"},
        {"/dev/ttyS0", refused, Facts(true), "in use", "in use by another program"},
        {"\\\\.\\COM3", refused, unknown, "access denied", "may be using it"},
        {"/dev/ttyACM0", refused, modemManager, "in use by ModemManager (88)",
         "ModemManager is running and tries USB serial devices as modems"},
        {"/dev/ttyS0", io, Facts(true), "Input/output error", "/dev/ttyS0: Input/output error."},
        {"fake:1", none, unknown, "", ""},
    };
    for (const Case& c : cases) {
        const PortDiagnosis d =
            DiagnoseOpenFailure(c.device, c.error, c.facts, {"COM1", "COM34"}, english);
        EXPECT_EQ(d.reason, c.reason) << c.detail;
        EXPECT_NE(d.detail.find(c.detail), std::string::npos) << d.detail;
    }
    EXPECT_EQ(DiagnoseOpenFailure("/dev/ttyUSB3", notFound, unknown, {}, english).detail,
              "/dev/ttyUSB3 does not exist. No serial port was found: is the adapter plugged in?");
}

} // namespace
} // namespace kavrin::test

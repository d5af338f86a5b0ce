// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_diagnosis.h"

namespace kavrin {

namespace {

std::string PortsThatExist(const std::vector<std::string>& ports) {
    if (ports.empty()) return "No serial port was found: is the adapter plugged in?";
    std::string list;
    for (const auto& name : ports) {
        // A listed name may end with a zero character, which is no part of it.
        const std::string clean = name.substr(0, name.find('\0'));
        list += (list.empty() ? "" : ", ") + clean;
    }
    return "Ports that exist: " + list + ".";
}

PortDiagnosis Denied(const std::string& device, const DeviceFacts& facts) {
    const std::string you = facts.user.empty() ? "You" : "You (" + facts.user + ")";
    if (facts.group.empty() || !facts.groupMayReadWrite)
        return {"permission denied", you + " may not read and write " + device +
                                         ". Ask the administrator for access to it."};
    if (facts.listedInGroup && !facts.sessionInGroup)
        return {"permission denied", you + " joined the group " + facts.group + " that owns " +
                                         device +
                                         " after this login. Log out and in again: the "
                                         "group counts from the next login."};
    const std::string user = facts.user.empty() ? "$USER" : facts.user;
    return {"permission denied", you + " may not use " + device + ": it belongs to the group " +
                                     facts.group + ", which you are not in. Join it with\n" +
                                     "    sudo usermod -aG " + facts.group + " " + user +
                                     "\nthen log out and in again: the group counts from the "
                                     "next login."};
}

PortDiagnosis HeldBy(const std::string& device, const std::vector<DeviceHolder>& holders) {
    std::string shortList, longList;
    for (const auto& h : holders) {
        const std::string pid = std::to_string(h.pid);
        shortList += (shortList.empty() ? "" : ", ") + h.name + " (" + pid + ")";
        longList += (longList.empty() ? "" : ", ") + h.name + " (process " + pid + ")";
    }
    return {"in use by " + shortList, device + " is held by " + longList +
                                          ". Close that program, then choose the port again."};
}

constexpr const char* kModemManagerHint =
    " ModemManager is running and tries USB serial devices as modems, holding them for a few "
    "seconds after they appear. Try again shortly, stop it (sudo systemctl stop ModemManager), "
    "or keep it off this device with a udev rule setting ENV{ID_MM_DEVICE_IGNORE}=\"1\".";

} // namespace

PortDiagnosis DiagnoseOpenFailure(const std::string& device, const OpenError& error,
                                  const DeviceFacts& facts, const std::vector<std::string>& ports) {
    using Kind = OpenError::Kind;
    if (device.empty())
        return {"no such port", "No device is known for this port. " + PortsThatExist(ports)};
    if (error.kind == Kind::NotFound || (facts.looked && !facts.exists))
        return {"no such device", device + " does not exist. " + PortsThatExist(ports)};

    PortDiagnosis d;
    if (error.kind == Kind::Refused) {
        if (facts.looked && !facts.mayReadWrite) return Denied(device, facts);
        if (!facts.holders.empty())
            d = HeldBy(device, facts.holders);
        else if (facts.looked)
            d = {"in use", device + " is in use by another program. Close it, then choose the "
                                    "port again."};
        else
            d = {"access denied", device + " refused access: another program may be using it, "
                                           "or you may not use it."};
    } else if (error.kind == Kind::Other) {
        const std::string text = error.text.empty() ? "unknown error" : error.text;
        d = {text, device + ": " + text + "."};
    } else {
        return {};
    }
    if (facts.modemManagerProbes) d.detail += kModemManagerHint;
    return d;
}

} // namespace kavrin

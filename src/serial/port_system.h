// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A second look at a device that would not open: does it exist, may this user
// use it, who holds it. The platform's part of saying why a port failed.
#include <memory>
#include <string>
#include <vector>

namespace kavrin {

struct DeviceHolder {
    int pid = 0;
    std::string name;
};

struct DeviceFacts {
    bool looked = false; // false: the platform can tell nothing more
    bool exists = false;
    bool mayReadWrite = false; // this user may read and write it
    std::string user;          // this user's login name
    std::string group;         // the group that owns the device
    bool groupMayReadWrite = false;
    bool listedInGroup = false;        // the user is a member of that group ...
    bool sessionInGroup = false;       // ... and this login already counts it
    std::vector<DeviceHolder> holders; // programs that have it open
    // ModemManager runs and will try the device as a modem.
    bool modemManagerProbes = false;
};

class PortSystem {
public:
    virtual ~PortSystem() = default;
    virtual DeviceFacts Look(const std::string& device) const = 0;
};

// The look this platform can take; where it knows nothing, facts that say so.
std::unique_ptr<PortSystem> MakePortSystem();

} // namespace kavrin

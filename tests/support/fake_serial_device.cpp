// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_serial_device.h"

#include <algorithm>

namespace kavrin::test {

bool FakeSerialDevice::Open(const std::string& deviceName) {
    lastError = {};
    failed = false;
    if (missing.count(deviceName)) {
        lastError.kind = OpenError::Kind::NotFound;
        return false;
    }
    isOpen = true;
    openName = deviceName;
    opened.push_back(deviceName);
    incoming.clear(); // both directions are purged at open
    return true;
}

void FakeSerialDevice::Write(std::span<const std::uint8_t> bytes) {
    if (!isOpen || failed) return;
    if (refuseWrites) {
        failed = true;
        return;
    }
    written.insert(written.end(), bytes.begin(), bytes.end());
}

std::size_t FakeSerialDevice::Read(std::span<std::uint8_t> into) {
    if (!isOpen) return 0;
    const std::size_t n = std::min({into.size(), incoming.size(), mostPerRead});
    std::copy_n(incoming.begin(), n, into.begin());
    incoming.erase(incoming.begin(), incoming.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void FakeSerialDevice::Feed(const std::vector<std::uint8_t>& bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
}

} // namespace kavrin::test

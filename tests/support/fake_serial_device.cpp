// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_serial_device.h"

namespace kavrin::test {

bool FakeSerialDevice::Open(const std::string& deviceName) {
    if (isOpen) Close();
    lastError = {};
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

void FakeSerialDevice::Close() {
    if (isOpen) ++closes;
    isOpen = false;
}

void FakeSerialDevice::WriteByte(std::uint8_t byte) {
    if (isOpen) written.push_back(byte);
}

int FakeSerialDevice::ReadWaitingByte() {
    if (!isOpen || incoming.empty()) return -1;
    const int b = incoming.front();
    incoming.pop_front();
    return b;
}

int FakeSerialDevice::ReadByte() {
    if (isOpen && !incoming.empty()) {
        if (clock_) clock_->Advance(gapMs);
        return ReadWaitingByte();
    }
    if (clock_) clock_->Advance(10);
    return -1;
}

void FakeSerialDevice::Feed(const std::vector<std::uint8_t>& bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
}

} // namespace kavrin::test

// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/rs232.h"

namespace kavrin {

rs232::rs232(SerialDevice& device, PortDirectory& ports, const PortSystem* system)
    : device_(device), ports_(ports), system_(system) {}

void rs232::OpenComPort(std::int16_t port) {
    portOpen_ = false;
    if (handle_ != 0) CloseComPort();
    std::string name = ports_.DeviceName(port);
    failure_ = {};
    // The port table is kept from the last look at the system's devices; only
    // a device that has gone sends us to look again.
    if (!OpenDevice(name) && failure_.kind == OpenError::Kind::NotFound) {
        ports_.Refresh();
        const std::string now = ports_.DeviceName(port);
        if (now != name) {
            name = now;
            OpenDevice(name);
        }
    }
    if (!portOpen_) {
        handle_ = -1;
        // Kept as the open saw it: a later look could find the device already
        // released or plugged in.
        failedDevice_ = name;
    }
}

bool rs232::OpenDevice(const std::string& name) {
    if (device_.Open(name)) {
        failure_ = {};
        handle_ = 1;
        portOpen_ = true;
        return true;
    }
    failure_ = device_.LastOpenError();
    return false;
}

PortDiagnosis rs232::WhyNotOpen(const LanguageTexts& texts) const {
    if (portOpen_ || failure_.kind == OpenError::Kind::None) return {};
    const DeviceFacts facts =
        system_ && !failedDevice_.empty() ? system_->Look(failedDevice_) : DeviceFacts{};
    // Only a missing device needs the ports that exist.
    const bool missing = failedDevice_.empty() || failure_.kind == OpenError::Kind::NotFound ||
                         (facts.looked && !facts.exists);
    return DiagnoseOpenFailure(failedDevice_, failure_, facts,
                               missing ? ports_.ListComPorts() : std::vector<std::string>{}, texts);
}

void rs232::CloseComPort() {
    // Bytes of a port let go belong to nobody.
    inboxAt_ = inboxEnd_ = 0;
    if (handle_ == 0 || handle_ == -1) return;
    device_.Close();
    handle_ = -1;
}

void rs232::SendString(std::string_view text) {
    if (!portOpen_ || text.empty()) return;
    device_.Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

std::int16_t rs232::ReceiveByte() {
    if (!portOpen_) return -1;
    if (inboxAt_ == inboxEnd_) {
        inboxAt_ = 0;
        inboxEnd_ = device_.Read(inbox_);
        if (inboxEnd_ == 0) return -1;
    }
    return inbox_[inboxAt_++];
}

} // namespace kavrin

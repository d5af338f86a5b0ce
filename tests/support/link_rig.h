// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A link with every edge faked: the serial device, the clock, the window, the
// settings. Tests feed bytes and run ticks by hand.
#include "config/config_image.h"
#include "config/efi_file.h"
#include "fake_clock.h"
#include "fake_link_host.h"
#include "fake_serial_device.h"
#include "link/link.h"
#include "memory_settings_store.h"
#include "serial/rs232.h"

#include <functional>
#include <ostream>
#include <vector>

namespace kavrin::test {

// One write message as it left for the ECU: command letter, image index, byte.
struct Write {
    char command = 0;
    int index = 0, value = 0;
    bool operator==(const Write&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Write& w) {
        return os << w.command << "(" << w.index << ", " << w.value << ")";
    }
};

struct LinkRig {
    FakeClock clock;
    FakeSerialDevice device;
    FakePortDirectory ports;
    rs232 port{device, ports};
    LinkState state;
    Configuration config;
    FakeLinkHost host{config};
    MemorySettingsStore settings;
    WriteSuppression writes;
    Link link{port, clock, state, config, host, host, settings, writes};

    LinkRig() { config.SizeImage(); }

    // Opens port 1 and clears what the open wrote.
    void Open() {
        std::int16_t p = 1;
        link.AbrirPuerto(p, true);
        device.ClearWritten();
    }
    // The link tick, 50 ms of the clock apart.
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.Advance(50);
            link.tmrcom_Timer();
        }
    }
    // Loads a checked file as the window does: every value through the link's
    // write, then one refresh.
    void Load(const EfiReadResult& file, std::function<void()> refresh = {}) {
        EfiLoadHooks hooks{
            [this] { config.SizeImage(); },
            [this](std::int16_t i, std::int16_t v) { link.WriteConfigByte('M', i, v); },
            std::move(refresh)};
        LoadEfiSteps(file.steps, config, hooks);
    }
    // The write messages sent since the last clear; one with a wrong check
    // byte shows as command '?'.
    std::vector<Write> Sent() const {
        std::vector<Write> writes;
        const auto& w = device.written;
        for (std::size_t i = 0; i + 4 <= w.size(); i += 4)
            writes.push_back({(w[i] ^ w[i + 1] ^ w[i + 2] ^ w[i + 3]) == 0 ? char(w[i]) : '?',
                              w[i + 1], w[i + 2]});
        return writes;
    }
};

inline std::vector<std::uint8_t> Frame(std::uint8_t command, std::uint16_t value) {
    const auto low = static_cast<std::uint8_t>(value & 0xFF);
    const auto high = static_cast<std::uint8_t>(value >> 8);
    return {command, low, high, static_cast<std::uint8_t>(command ^ low ^ high)};
}

// "$", the count and the bytes, the last byte chosen so that the check is good.
inline std::vector<std::uint8_t> Dump(std::vector<std::uint8_t> bytes) {
    std::uint8_t check = 0xAA;
    for (auto b : bytes) check ^= b;
    bytes.push_back(check);
    std::vector<std::uint8_t> out{'$', static_cast<std::uint8_t>(bytes.size())};
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

} // namespace kavrin::test

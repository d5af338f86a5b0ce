// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window benchmarks stand on instead of the machine: a serial device
// that plays back a prepared stream, a port table and a settings store that
// asks for formatted display.
#include "base/clock.h"
#include "base/settings_store.h"
#include "line_rate.h"
#include "serial/port_directory.h"
#include "serial/serial_device.h"
#include "ui/main_window.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kavrin::bench {

class PlaybackDevice final : public SerialDevice {
public:
    bool Open(const std::string&) override { return true; }
    void Close() override {}
    void Write(std::span<const std::uint8_t> bytes) override {
        written += static_cast<long long>(bytes.size());
    }
    std::size_t Read(std::span<std::uint8_t> into) override {
        const std::size_t n = std::min(into.size(), stream_.size() - pos_);
        std::copy_n(stream_.begin() + static_cast<std::ptrdiff_t>(pos_), n, into.begin());
        pos_ += n;
        return n;
    }
    void Load(std::vector<std::uint8_t> bytes) {
        stream_ = std::move(bytes);
        pos_ = 0;
    }
    long long written = 0;

private:
    std::vector<std::uint8_t> stream_;
    std::size_t pos_ = 0;
};

class BenchPorts final : public PortDirectory {
public:
    std::string DeviceName(std::int16_t n) override { return "bench" + std::to_string(n); }
    std::vector<std::string> ListComPorts() override { return list; }
    std::vector<std::string> list{"COM1"};
};

class FormattedSettings final : public SettingsStore {
public:
    std::string GetSetting(const std::string&, const std::string&, const std::string& key,
                           const std::string& d) override {
        return key == "raw_mode" ? "1" : d;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}
    std::vector<std::string> Keys(const std::string&, const std::string&) override { return {}; }
};

// One four-byte frame: command, value low and high, and their check.
inline void Put(std::vector<std::uint8_t>& out, std::uint8_t c, std::uint16_t value) {
    const auto lo = static_cast<std::uint8_t>(value & 0xFF);
    const auto hi = static_cast<std::uint8_t>(value >> 8);
    out.insert(out.end(), {c, lo, hi, static_cast<std::uint8_t>(c ^ lo ^ hi)});
}

// "$", the count and a whole configuration with a good check: THR MAX 220,
// EFI factor 100, the maps rising.
inline std::vector<std::uint8_t> TuneDump() {
    std::vector<std::uint8_t> dump{'$', 215};
    std::uint8_t check = 0xAA;
    for (int i = 0; i < 214; ++i) {
        const auto b = static_cast<std::uint8_t>(i == 209 ? 100 : (i == 206 ? 220 : 40 + i % 200));
        dump.push_back(b);
        check ^= b;
    }
    dump.push_back(check);
    return dump;
}

// The real window, shown, online with the tune, on the file system given.
template <typename Files> struct OnlineWindow {
    OnlineWindow()
        : window(Platform{device, ports, clock, settings, files,
                          QCoreApplication::applicationDirPath().toStdString()}) {
        window.Load();
        window.show();
        device.Load(TuneDump());
        window.logic().tmrcom_Timer();
        window.logic().tmrcom_Timer();
        QCoreApplication::processEvents();
    }
    Files files;
    PlaybackDevice device;
    BenchPorts ports;
    SteadyClock clock;
    FormattedSettings settings;
    MainWindow window;
};

} // namespace kavrin::bench

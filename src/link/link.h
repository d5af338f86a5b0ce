// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/write_suppression.h"
#include "link/decoder.h"
#include "link/link_host.h"
#include "link/link_state.h"

#include <cstdint>
#include <functional>

namespace kavrin {

class SettingsStore;

// The one way a configuration byte is written: into the image while offline,
// as a write message to the ECU while online. Clamps value into 0..255 in the
// caller's variable; does nothing while suppressWrites is set.
class ConfigWriter {
public:
    virtual ~ConfigWriter() = default;
    virtual void WriteConfigByte(char command, std::int16_t& index, std::int16_t& value) = 0;
};

// The link cycle: opens the port, drives the decoder from the 50 ms tick, asks
// for the configuration and status every second, reopens the port after
// silence, and shows the link's condition in the status bar.
class Link final : public ConfigWriter, private DecoderEvents {
public:
    Link(rs232& port, MonotonicClock& clock, LinkState& state, Configuration& config,
         LinkHost& host, LinkStatus& status, SettingsStore& settings,
         const WriteSuppression& writes);

    // Opens port (0 means 1, and the caller's variable gets 1). Quiet: no
    // message box when the port cannot be opened.
    void AbrirPuerto(std::int16_t& port, bool quiet);
    void GoOffline();
    void ShowLinkCounters() override;

    void WriteConfigByte(char command, std::int16_t& index, std::int16_t& value) override;

    // Who watches every byte written (after clamping: into the image offline,
    // sent online) and the link going offline: the window's record of which
    // bytes are the user's own.
    struct WriteWatch {
        std::function<void(int index, std::uint8_t value, bool online)> written;
        std::function<void()> wentOffline;
    };
    void Watch(WriteWatch watch) { watch_ = std::move(watch); }

    void tmrcom_Timer(); // every 50 ms
    // Every 1000 ms. While the decoder waits inside a dump or a 0xFF sequence
    // the requests are held back and go out once, when it is done.
    void Timer2_Timer();
    void barra_PanelClick();
    void SendConfigRequest(); // "G"
    // The window is about to close: "S", then the port is closed.
    void Shutdown();

    static constexpr std::int16_t kSilenceAfterOpen = 100;
    static constexpr std::int16_t kSilenceAfterByte = 5;
    // One second of the line, twenty ticks' worth.
    static constexpr int kMostBytesPerTick = 11520;

private:
    void ReopenPort() override;
    // Takes what has arrived through the decoder; false when decoding must
    // end for this tick.
    bool Decode();
    void SendRequests();

    rs232& port_;
    LinkState& state_;
    LinkHost& host_;
    LinkStatus& status_;
    SettingsStore& settings_;
    const WriteSuppression& writes_;
    Configuration& config_;
    Decoder decoder_;
    bool requestsHeld_ = false;
    WriteWatch watch_;
};

} // namespace kavrin

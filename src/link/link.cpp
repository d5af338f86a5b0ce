// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link.h"

#include "base/modulo.h"
#include "base/settings_store.h"
#include "link/write_message.h"
#include "serial/rs232.h"

#include <algorithm>

namespace kavrin {

Link::Link(rs232& port, MonotonicClock& clock, LinkState& state, Configuration& config,
           LinkHost& host, LinkStatus& status, SettingsStore& settings,
           const WriteSuppression& writes)
    : port_(port), state_(state), host_(host), status_(status), settings_(settings),
      writes_(writes), config_(config), decoder_(port, clock, state, config, host, *this) {}

void Link::AbrirPuerto(std::int16_t& port, bool quiet) {
    state_.silenceCountdown = kSilenceAfterOpen;
    GoOffline();
    if (port == 0) port = 1;
    status_.Connecting();
    port_.OpenComPort(port);
    if (port_.portOpen()) {
        state_.currentPort = port;
        settings_.SaveSetting(kAppName, "main", "com", DecimalText(port));
        port_.SendString("R");
        status_.PortOpened(port);
        return;
    }
    status_.PortFailed(port, quiet);
}

void Link::GoOffline() {
    if (state_.flags.online && watch_.wentOffline) watch_.wentOffline();
    state_.flags.online = false;
    state_.flags.configValid = false;
    // Data from the port being closed must not show this one as receiving.
    state_.flags.dataReceived = false;
    status_.Offline();
    port_.CloseComPort();
}

void Link::ShowLinkCounters() {
    status_.CountersChanged();
}

void Link::WriteConfigByte(char command, std::int16_t& index, std::int16_t& value) {
    if (writes_.Suppressed()) return;
    value = std::clamp<std::int16_t>(value, 0, 255);
    if (!state_.flags.online) {
        config_.ConfigImage.Set(index, value);
        if (watch_.written) watch_.written(index, static_cast<std::uint8_t>(value), false);
        return;
    }
    if (!port_.portOpen()) return;
    // An index the message's one byte cannot carry would land on another byte.
    if (index < 0 || index > 255) return;
    const auto message = MakeWriteMessage(command, static_cast<std::uint8_t>(index),
                                          static_cast<std::uint8_t>(value));
    port_.SendString(
        std::string_view(reinterpret_cast<const char*>(message.data()), message.size()));
    if (watch_.written) watch_.written(index, static_cast<std::uint8_t>(value), true);
}

void Link::tmrcom_Timer() {
    bool decodeOn = true;
    if (decoder_.Waiting()) {
        // Inside a dump or a 0xFF sequence the rest of the tick waits with the
        // decoder, as though the tick had not come: only its bytes are taken.
        decodeOn = Decode();
        if (decoder_.Waiting()) return;
    }
    // A port that failed (an adapter pulled out, a line that takes nothing)
    // is healed as a silent one.
    if (state_.silenceCountdown <= 0 || port_.failed()) {
        ++state_.counters.timeouts;
        ShowLinkCounters();
        host_.HideLiveMarkers();
        AbrirPuerto(state_.currentPort, true);
    }
    --state_.silenceCountdown;
    if (state_.flags.dataReceived) {
        state_.flags.online = true;
        status_.Receiving();
    }
    state_.flags.dataReceived = false;
    host_.TrackLiveCell();
    if (port_.portOpen() && decodeOn) Decode();
    // Requests held back while the decoder waited go out once it is done.
    if (requestsHeld_ && !decoder_.Waiting()) {
        requestsHeld_ = false;
        SendRequests();
    }
}

bool Link::Decode() {
    // What has arrived is taken; a peer that sends faster than the line could
    // carry is left to the next tick rather than holding this one.
    for (int taken = 0; taken < kMostBytesPerTick; ++taken) {
        const std::int16_t b = port_.ReceiveByte();
        if (b == -1) break;
        state_.silenceCountdown = kSilenceAfterByte;
        if (!decoder_.Step(static_cast<std::uint8_t>(b))) return false;
    }
    return decoder_.CheckDeadline();
}

void Link::Timer2_Timer() {
    if (decoder_.Waiting()) {
        requestsHeld_ = true;
        return;
    }
    SendRequests();
}

void Link::SendRequests() {
    if (!port_.portOpen()) return;
    if (!state_.flags.configValid) port_.SendString("G");
    port_.SendString("R");
}

void Link::barra_PanelClick() {
    SendConfigRequest();
}

void Link::SendConfigRequest() {
    port_.SendString("G");
}

void Link::Shutdown() {
    port_.SendString("S");
    port_.CloseComPort();
}

void Link::ReopenPort() {
    AbrirPuerto(state_.currentPort, true);
}

} // namespace kavrin

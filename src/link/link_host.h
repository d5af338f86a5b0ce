// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <vector>

namespace kavrin {

// What the link raises in the rest of the window: the configuration and live
// data the ECU sends, and the beat of the link tick.
class LinkHost {
public:
    virtual ~LinkHost() = default;

    // A dump whose check is good: the ECU's whole configuration, its check
    // byte last. How it enters the window's configuration is the window's
    // affair; nothing of it has been stored yet.
    virtual void DumpReceived(const std::vector<std::uint8_t>& bytes) = 0;
    // The ECU's echo of one written byte, already stored in the image.
    virtual void ConfigEchoed(std::int16_t index, std::int16_t value) = 0;
    // One accepted live frame.
    virtual void ShowChannel(std::int16_t channel, std::int32_t value) = 0;
    // Every link tick: move the live-cell markers to the engine's operating point.
    virtual void TrackLiveCell() = 0;
    // The line went silent: the markers go.
    virtual void HideLiveMarkers() = 0;
};

// The link's condition as the status bar, the port menu and the tables show it.
class LinkStatus {
public:
    virtual ~LinkStatus() = default;
    // A port is being opened (text 72); port 0 clears every check mark.
    virtual void Connecting() = 0;
    // The port opened: its menu item is checked.
    virtual void PortOpened(std::int16_t port) = 0;
    // The port did not open (text 73); said in a box unless quiet.
    virtual void PortFailed(std::int16_t port, bool quiet) = 0;
    // The ECU answers (text 74): the tables and channels in their online colours.
    virtual void Receiving() = 0;
    // The link went offline: the tables and channels greyed.
    virtual void Offline() = 0;
    // One of the five counters changed.
    virtual void CountersChanged() = 0;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/controls.h"

#include <cstdint>
#include <string>

namespace kavrin {

// What the link reaches in the rest of the window: the views that other parts
// own, and the status bar that shows the link.
class LinkHost {
public:
    virtual ~LinkHost() = default;

    // Refresh every table and field from the configuration image.
    virtual void ShowConfig() = 0;
    // Lay out the map headers and rebind the table editors.
    virtual void LayoutMaps() = 0;
    // One accepted live frame.
    virtual void ShowChannel(std::int16_t channel, std::int32_t value) = 0;
    // Move the live-cell markers to the engine's operating point.
    virtual void TrackLiveCell() = 0;
    virtual void HideLiveMarkers() = 0;
    // Background of the four tables: grey offline, white once data arrives.
    virtual void SetGridBackground(Colour colour) = 0;
    // Text colour of the channel check boxes, value labels and scale boxes.
    virtual void SetChannelControlsColour(Colour colour) = 0;
    // Check mark on the port menu items for port; 0 clears every mark.
    virtual void SetPortMenuCheck(std::int16_t port) = 0;

    // Status bar: panels 1 to 5 hold the counters.
    virtual void SetCounterPanel(int panel, const std::string& text) = 0;
    virtual void SetConnectionText(const std::string& text) = 0;
    virtual void SetConnectionPicture(bool connected) = 0;
    // The message box for a port that cannot be opened.
    virtual void ShowPortMessage(const std::string& text) = 0;
};

} // namespace kavrin

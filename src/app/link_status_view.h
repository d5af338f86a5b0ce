// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The link as the window shows it: the five counters and the connection panel
// of the status bar, the "Comm" menu's port items and their check marks, the
// box for a port that will not open, and the greyed tables while offline.
#include "app/main_view.h"
#include "base/language_texts.h"
#include "link/link_host.h"
#include "link/link_state.h"
#include "serial/rs232.h"

#include <cstdint>
#include <functional>

namespace kavrin {

class LinkStatusView final : public LinkStatus {
public:
    // open: what a port item's click does (the link's AbrirPuerto, not quiet);
    // showPending: the frames taken this tick, shown before the channels grey.
    LinkStatusView(MainView& view, const LanguageTexts& texts, LinkState& link, rs232& port,
                   std::function<void(std::int16_t&)> open, std::function<void()> showPending);

    void Connecting() override;
    void PortOpened(std::int16_t port) override;
    void PortFailed(std::int16_t port, bool quiet) override;
    void Receiving() override;
    void Offline() override;
    void CountersChanged() override;

    // The "Comm" menu: one item per port the system has, the open one checked.
    void RebuildPortMenu();
    // Port item k (1-based) opens its port.
    void mncom_Click(int k);
    // The counters and the connection text again, in the current language.
    void Retranslate();

    static constexpr Colour kOfflineGrid = Rgb(224, 224, 224);
    static constexpr Colour kOnlineGrid = Rgb(255, 255, 255);
    static constexpr Colour kOfflineChannelText = Rgb(192, 192, 192);

private:
    void ShowConnection(int entry);
    void SetPortMenuCheck(std::int16_t port);
    void SetGridBackground(Colour colour);
    void SetChannelControlsColour(Colour colour);

    MainView& view_;
    const LanguageTexts& texts_;
    LinkState& link_;
    rs232& port_;
    std::function<void(std::int16_t&)> open_;
    std::function<void()> showPending_;
    int connectionEntry_ = 0; // the entry the connection panel shows: 72, 73 or 74
};

} // namespace kavrin

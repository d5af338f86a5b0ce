// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/link_status_view.h"

#include "base/modulo.h"

#include <algorithm>

namespace kavrin {

namespace {
// The number in a port item's caption, "COM7".
std::int16_t PortOfCaption(const std::string& caption) {
    return RoundToInt16(ReadNumber(caption.size() > 3 ? caption.substr(3) : ""));
}
} // namespace

LinkStatusView::LinkStatusView(MainView& view, const LanguageTexts& texts, LinkState& link,
                               rs232& port, std::function<void(std::int16_t&)> open,
                               std::function<void()> showPending)
    : view_(view), texts_(texts), link_(link), port_(port), open_(std::move(open)),
      showPending_(std::move(showPending)) {}

void LinkStatusView::Connecting() {
    SetPortMenuCheck(0);
    ShowConnection(72);
    view_.connection->SetConnectedPicture(false);
}

void LinkStatusView::PortOpened(std::int16_t port) {
    SetPortMenuCheck(port);
}

void LinkStatusView::PortFailed(std::int16_t port, bool quiet) {
    ShowConnection(73);
    if (quiet) return;
    std::string message = "COM" + DecimalText(port) + " " + texts_.Text(71);
    const PortDiagnosis why = port_.WhyNotOpen(texts_);
    if (!why.detail.empty()) message += "\n\n" + why.detail;
    view_.messages->Exclamation(message);
}

void LinkStatusView::Receiving() {
    view_.connection->SetConnectedPicture(true);
    ShowConnection(74);
    SetGridBackground(kOnlineGrid);
}

void LinkStatusView::Offline() {
    // Frames taken before the link went down show before the channels grey.
    if (showPending_) showPending_();
    SetChannelControlsColour(kOfflineChannelText);
    SetGridBackground(kOfflineGrid);
}

void LinkStatusView::CountersChanged() {
    const LinkCounters& c = link_.counters;
    const std::int32_t values[] = {c.rValue, c.badDumps, c.badFrames, c.timeouts, c.dumpRetry};
    for (int k = 0; k < 5; ++k)
        view_.counterPanels[k]->SetText(texts_.Text(77 + k) + " " + DecimalText(values[k]));
}

void LinkStatusView::Retranslate() {
    CountersChanged();
    if (connectionEntry_) ShowConnection(connectionEntry_);
}

void LinkStatusView::ShowConnection(int entry) {
    connectionEntry_ = entry;
    view_.connection->SetText(texts_.Text(entry));
}

void LinkStatusView::RebuildPortMenu() {
    PortMenu* menu = view_.portMenu;
    if (menu) menu->RemoveExtraItems();
    const std::vector<std::string> list = port_.ports().ListComPorts();
    if (!menu) return;
    // With no port listed the menu keeps its item "com1", which stands for port 1.
    std::vector<CheckControl*> items{menu->Item(1)};
    for (int i = 1; i <= static_cast<int>(list.size()); ++i) {
        CheckControl* item = i == 1 ? items[0] : menu->Item(i);
        if (!item) continue;
        std::string caption = list[static_cast<std::size_t>(i - 1)];
        caption.erase(std::remove(caption.begin(), caption.end(), '\0'), caption.end());
        item->SetText(caption);
        item->SetVisible(true);
        if (i > 1) items.push_back(item);
    }
    view_.mncom.assign(items.begin(), items.end());
    SetPortMenuCheck(port_.portOpen() ? link_.currentPort : 0);
}

void LinkStatusView::mncom_Click(int k) {
    if (k < 1 || k > static_cast<int>(view_.mncom.size()) || !view_.mncom[k - 1]) return;
    std::int16_t port = PortOfCaption(view_.mncom[static_cast<std::size_t>(k - 1)]->Text());
    open_(port);
}

void LinkStatusView::SetPortMenuCheck(std::int16_t port) {
    for (CheckControl* item : view_.mncom)
        if (item) item->SetChecked(port != 0 && PortOfCaption(item->Text()) == port);
}

void LinkStatusView::SetGridBackground(Colour colour) {
    const MapGrids& g = view_.grids;
    for (GridControl* grid : {g.grd_fuel, g.grd_ign, g.grd3, g.grd4}) grid->SetBackColor(colour);
}

void LinkStatusView::SetChannelControlsColour(Colour colour) {
    const ChannelControls& ch = view_.channels;
    for (int n = 0; n < kMeasuredChannels; ++n)
        for (Control* c : {static_cast<Control*>(ch.chk[n]), ch.lblvalor[n], ch.txtEscala[n]})
            c->SetForeColour(colour);
}

} // namespace kavrin

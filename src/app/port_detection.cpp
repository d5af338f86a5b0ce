// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/port_detection.h"

#include "base/modulo.h"

#include <algorithm>

namespace kavrin {

namespace {
constexpr const char* kGap = "   ";

// The number of a port name, "COM" and the digits; a name can end with a zero
// character, which is no part of it.
std::string PortTag(const std::string& name) {
    std::string tag = name.size() > 3 ? name.substr(3) : std::string();
    tag.erase(std::remove(tag.begin(), tag.end(), '\0'), tag.end());
    return tag;
}
} // namespace

frmAuto::frmAuto(AutoDetectView& view, DetectionHost& host, PortDirectory& ports,
                 const LanguageTexts& texts)
    : view_(view), host_(host), ports_(ports), texts_(texts) {}

void frmAuto::Form_Load() {
    // A language that has these texts replaces the window's own captions.
    if (!texts_.Text(82).empty()) view_.SetCaption(texts_.Text(82));
    if (!texts_.Text(83).empty()) view_.AgainButton().SetText(texts_.Text(83));
    if (!texts_.Text(84).empty()) view_.CloseButton().SetText(texts_.Text(84));
    StartDetection();
}

void frmAuto::Form_KeyDown(int keyCode) {
    if (keyCode == 27) view_.Close();
}

void frmAuto::StartDetection() {
    current_ = nullptr;
    view_.Status().SetText(texts_.Text(85));
    view_.Status().SetForeColour(kBlack);
    view_.SetStatusBold(false);
    for (int i = 1; i <= view_.PortLabelCount(); ++i) view_.PortLabel(i).SetVisible(false);

    // An adapter plugged in since the last look is tried too.
    ports_.Refresh();
    const std::vector<std::string> list = ports_.ListComPorts();
    for (int i = 1; i <= static_cast<int>(list.size()); ++i) {
        Control& label = view_.PortLabel(i);
        view_.PlacePortLabel(i, (i + 1) * 300);
        std::string caption = list[i - 1];
        caption.erase(std::remove(caption.begin(), caption.end(), '\0'), caption.end());
        label.SetText(caption);
        if (static_cast<int>(tags_.size()) <= i) tags_.resize(i + 1);
        tags_[i] = PortTag(list[i - 1]);
        label.SetForeColour(kListed);
        label.SetVisible(true);
    }
    index_ = 1;
    ProbeNextPort();
}

void frmAuto::ProbeNextPort() {
    view_.SetAgainEnabled(false);
    // Labels of an earlier, longer list are tried too.
    if (index_ > view_.PortLabelCount()) {
        view_.Status().SetText(texts_.Text(86));
        view_.Status().SetForeColour(kFailed);
        view_.SetTimer(false, interval_);
        view_.SetAgainEnabled(true);
        return;
    }
    current_ = &view_.PortLabel(index_);
    // Label 1 of an empty list has no tag: its empty number opens port 1.
    const std::string tag = index_ < static_cast<int>(tags_.size()) ? tags_[index_] : "";
    currentTag_ = tag;
    portName_ = "COM" + tag;
    current_->SetText(portName_ + kGap + texts_.Text(87));
    view_.DescribePortLabel(index_, "");

    std::int16_t port = RoundToInt16(ReadNumber(tag));
    host_.AbrirPuerto(port, true);
    host_.ClearDataReceived();
    if (host_.PortOpen()) {
        current_->SetText(portName_ + kGap + texts_.Text(88));
        host_.SendString("S");
    } else {
        const PortDiagnosis why = host_.WhyNotOpen();
        const std::string reason = why.reason.empty() ? "" : ": " + why.reason;
        SetLabel(*current_, portName_ + kGap + texts_.Text(89) + reason, kFailed);
        view_.DescribePortLabel(index_, why.detail);
        current_ = nullptr;
    }
    view_.SetTimer(true, interval_);
}

void frmAuto::Timer1_Timer() {
    if (found_) {
        view_.Close();
        return;
    }
    ++index_;
    if (!current_) {
        ProbeNextPort();
    } else if (host_.DataReceived()) {
        SetLabel(*current_, portName_ + kGap + texts_.Text(74), kAnswered);
        view_.Status().SetText(texts_.Text(91) + " " + currentTag_);
        view_.Status().SetForeColour(kAnswered);
        view_.SetStatusBold(true);
        interval_ = kCloseDelay;
        view_.SetTimer(true, interval_);
        found_ = true;
        view_.SetAgainEnabled(true);
    } else {
        SetLabel(*current_, portName_ + kGap + texts_.Text(90), kNoAnswer);
        ProbeNextPort();
    }
}

void frmAuto::SetLabel(Control& label, const std::string& text, Colour colour) {
    label.SetText(text);
    label.SetForeColour(colour);
}

} // namespace kavrin

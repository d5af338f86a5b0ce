// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The automatic port detection window's logic: tries every listed port in turn
// through the link's AbrirPuerto and stops at the first one on which the ECU
// answers. The main window's link tick keeps decoding meanwhile; an answer is
// seen through the link's dataReceived flag.
#include "base/controls.h"
#include "base/language_texts.h"
#include "link/link.h"
#include "serial/port_diagnosis.h"
#include "serial/port_directory.h"
#include "serial/rs232.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin {

// What the detection window reaches in the main window.
class DetectionHost {
public:
    virtual ~DetectionHost() = default;
    virtual void AbrirPuerto(std::int16_t& port, bool quiet) = 0;
    virtual bool PortOpen() const = 0;
    virtual bool DataReceived() const = 0;
    virtual void ClearDataReceived() = 0;
    virtual void SendString(std::string_view text) = 0;
    // Why the port of the last AbrirPuerto did not open.
    virtual PortDiagnosis WhyNotOpen() const = 0;
};

// The link as the detection window reaches it.
class PortDetection final : public DetectionHost {
public:
    PortDetection(Link& link, rs232& port, LinkState& state, const LanguageTexts& texts)
        : link_(link), port_(port), state_(state), texts_(texts) {}
    void AbrirPuerto(std::int16_t& port, bool quiet) override { link_.AbrirPuerto(port, quiet); }
    bool PortOpen() const override { return port_.portOpen(); }
    bool DataReceived() const override { return state_.flags.dataReceived; }
    void ClearDataReceived() override { state_.flags.dataReceived = false; }
    void SendString(std::string_view text) override { port_.SendString(text); }
    PortDiagnosis WhyNotOpen() const override { return port_.WhyNotOpen(texts_); }

private:
    Link& link_;
    rs232& port_;
    LinkState& state_;
    const LanguageTexts& texts_;
};

// The detection window's controls and its timer Timer1.
class AutoDetectView {
public:
    virtual ~AutoDetectView() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual Control& AgainButton() = 0;
    virtual Control& CloseButton() = 0;
    virtual void SetAgainEnabled(bool enabled) = 0;
    virtual Control& Status() = 0; // lblstatus
    virtual void SetStatusBold(bool bold) = 0;
    // Port labels lblCOM, 1-based; label 1 is always there.
    virtual int PortLabelCount() const = 0;
    // Creates labels up to i as needed.
    virtual Control& PortLabel(int i) = 0;
    virtual void PlacePortLabel(int i, int topTwips) = 0;
    // The whole of what a port label says, where its caption has no room:
    // tooltip and accessible description.
    virtual void DescribePortLabel(int i, const std::string& text) = 0;
    // Timer1: runs with the interval while enabled; each tick calls Timer1_Timer.
    virtual void SetTimer(bool enabled, int intervalMs) = 0;
    // Unloads the window.
    virtual void Close() = 0;
};

class frmAuto {
public:
    static constexpr int kProbeInterval = 1500;
    static constexpr int kCloseDelay = 5000;
    static constexpr Colour kListed = Rgb(128, 128, 128);
    static constexpr Colour kFailed = Rgb(255, 0, 0);
    static constexpr Colour kNoAnswer = Rgb(2, 0, 0);
    static constexpr Colour kAnswered = Rgb(0, 255, 0);
    static constexpr Colour kBlack = Rgb(0, 0, 0);

    frmAuto(AutoDetectView& view, DetectionHost& host, PortDirectory& ports,
            const LanguageTexts& texts);

    // Window events.
    void Form_Load();
    void Timer1_Timer();
    void cmdAgain_Click() { StartDetection(); }
    void cmdClose_Click() { view_.Close(); }
    void Form_KeyDown(int keyCode);

    void StartDetection();
    void ProbeNextPort();

    bool found() const { return found_; }
    int interval() const { return interval_; }
    int currentIndex() const { return index_; }

private:
    void SetLabel(Control& label, const std::string& text, Colour colour);

    AutoDetectView& view_;
    DetectionHost& host_;
    PortDirectory& ports_;
    const LanguageTexts& texts_;
    std::int16_t index_ = 1;
    Control* current_ = nullptr; // label of the port being tried; none after a failed open
    std::string portName_;
    std::string currentTag_;
    bool found_ = false;
    int interval_ = kProbeInterval;
    // Tags of the labels by index (index 0 unused); label 1 starts with none.
    std::vector<std::string> tags_{"", ""};
};

} // namespace kavrin

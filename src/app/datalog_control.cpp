// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/datalog_control.h"

#include "analysis/log_configuration.h"
#include "base/modulo.h"
#include "base/text_entries.h"
#include "config/efi_file.h"

namespace kavrin {

DatalogControl::DatalogControl(MainView& view, FileSystem& files, MonotonicClock& clock,
                               CalendarClock* calendar, const LanguageTexts& texts,
                               const LiveChannels& channels, const WindowState& state,
                               const Configuration& config)
    : view_(view), files_(files), calendar_(calendar ? *calendar : systemCalendar_), texts_(texts),
      channels_(channels), state_(state), config_(config), datalog_(clock) {}

void DatalogControl::mnLog_Click() {
    if (datalog_.Running()) {
        Stop();
        return;
    }
    view_.dialogs->ChooseLogFile(texts_.Text(text::kLogDialogTitle),
                                 DatalogFileName(calendar_.Now()),
                                 [this](const auto& path) { StartLog(path); });
}

void DatalogControl::StartLog(const std::optional<std::string>& path) {
    // A log started meanwhile (the menu of another window) stays as it is.
    if (datalog_.Running()) return;
    if (path && !path->empty()) {
        auto stream = files_.CreateStream(*path);
        const Reason why = files_.LastError();
        if (!datalog_.Start(std::move(stream), *path, Columns())) {
            const Reason failure = datalog_.TakeFailure().value_or(Reason{});
            view_.messages->Exclamation(
                *path + "\n" +
                texts_.Format(text::kCannotBeWritten,
                              {texts_.Explain(why.empty() ? failure : why)}) +
                "\n" + texts_.Text(text::kNoLogStarted));
        } else if (const std::string efi = ConfigPathForLog(*path);
                   !files_.WriteFile(efi, WriteEfiText(config_))) {
            // The log runs on; its analysis falls back to the window's configuration.
            view_.messages->Exclamation(
                efi + "\n" +
                texts_.Format(text::kCannotBeWritten, {texts_.Explain(files_.LastError())}));
        }
    }
    ShowState();
}

void DatalogControl::Stop() {
    if (!datalog_.Running()) return;
    datalog_.Stop();
    ShowState();
    ReportFailure();
}

void DatalogControl::Tick() {
    datalog_.Tick();
    ReportFailure();
    // The row count follows at the tick's pace, not at every frame's.
    if (datalog_.Running() && datalog_.Rows() != shownRows_) ShowState();
}

void DatalogControl::OnChannel(std::int16_t channel) {
    if (channel == 0) datalog_.AddRow(channels_.ShownValues(), state_.LastValues[kStatusChannel]);
}

void DatalogControl::ReportFailure() {
    const auto why = datalog_.TakeFailure();
    if (!why) return;
    ShowState();
    view_.messages->Exclamation(texts_.Text(text::kLogStopped) + "\n" + datalog_.Path() + "\n" +
                                texts_.Format(text::kCannotBeWritten, {texts_.Explain(*why)}) +
                                "\n" + texts_.Text(text::kLogRowsKept));
}

void DatalogControl::ShowState() {
    const bool running = datalog_.Running();
    view_.mnLog->SetChecked(running);
    shownRows_ = running ? datalog_.Rows() : -1;
    const std::string& path = datalog_.Path();
    const std::string name = path.substr(path.find_last_of("/\\") + 1);
    view_.logPanel->SetText(
        running ? texts_.Format(text::kLogPanel, {name, DecimalText(datalog_.Rows())}) : "");
    view_.logPanel->SetVisible(running);
}

DatalogHeader DatalogControl::Columns() const {
    DatalogHeader header;
    if (const std::string& time = texts_.Text(text::kLogTimeColumn); !time.empty())
        header.time = time;
    for (int n = 0; n < kMeasuredChannels; ++n) {
        const std::string shown = view_.channels.chk[n]->Text();
        header.names[n] = shown.empty() ? ChannelTable()[n].name : shown;
        header.units[n] = ChannelTable()[n].unit;
    }
    // The captions beside the indicators, bit 0 first, without their colon.
    struct Caption {
        int entry;
        const char* design;
    };
    static constexpr Caption kIndicators[kStatusIndicators] = {{35, "CRANKING"}, {34, "SELECTOR"},
                                                               {36, "STOP"},     {38, "PULSE"},
                                                               {37, "FIRST"},    {39, "ANTICIP"}};
    for (int i = 0; i < kStatusIndicators; ++i) {
        std::string text = texts_.Text(kIndicators[i].entry);
        text = text.substr(0, text.find('~'));
        while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
        text.erase(0, text.find_first_not_of(' '));
        header.indicators[i] = text.empty() ? kIndicators[i].design : text;
    }
    return header;
}

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The datalog as the window runs it: the "Log" entry, the file it asks for,
// the status panel, and what is said when the disk fails.
#include "app/main_view.h"
#include "base/clock.h"
#include "base/file_system.h"
#include "base/language_texts.h"
#include "config/config_image.h"
#include "live/channels.h"
#include "live/datalog.h"

namespace kavrin {

class DatalogControl {
public:
    DatalogControl(MainView& view, FileSystem& files, MonotonicClock& clock,
                   CalendarClock* calendar, const LanguageTexts& texts,
                   const LiveChannels& channels, const WindowState& state,
                   const Configuration& config);

    // "Log": starts a datalog in a file the user chooses, or stops it. The
    // configuration of that moment is saved beside it for its analysis.
    void mnLog_Click();
    // Ends a running log with its last rows; says so when they could not be written.
    void Stop();
    // The link timer's tick: rows reach the disk, the panel follows the count.
    void Tick();
    // One accepted live frame; a row per engine-speed frame.
    void OnChannel(std::int16_t channel);
    // The panel again, in the current language.
    void ShowState();

    const Datalog& datalog() const { return datalog_; }

private:
    void StartLog(const std::optional<std::string>& path);
    void ReportFailure();
    // The column titles as the window shows them now.
    DatalogHeader Columns() const;

    MainView& view_;
    FileSystem& files_;
    CalendarClock& calendar_;
    SystemCalendarClock systemCalendar_;
    const LanguageTexts& texts_;
    const LiveChannels& channels_;
    const WindowState& state_;
    const Configuration& config_;
    Datalog datalog_;
    long long shownRows_ = -1;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's logic: it owns the state of the whole window and wires the
// subsystems together. The Qt window calls its handlers; it reaches the
// widgets only through MainView.
#include "analysis/datalog_reader.h"
#include "app/config_files.h"
#include "app/datalog_control.h"
#include "app/languages.h"
#include "app/link_status_view.h"
#include "app/tune_control.h"
#include "app/main_view.h"
#include "app/port_detection.h"
#include "base/clock.h"
#include "base/file_system.h"
#include "base/language_texts.h"
#include "base/modulo.h"
#include "base/settings_store.h"
#include "base/window_state.h"
#include "config/config_image.h"
#include "config/config_view.h"
#include "config/map_cells.h"
#include "config/parameters.h"
#include "grid/grid.h"
#include "grid/map_views.h"
#include "grid/step_keys.h"
#include "link/link.h"
#include "live/channel_settings.h"
#include "live/channels.h"
#include "live/datalog.h"
#include "live/live_cell_tracker.h"
#include "serial/rs232.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kavrin {

// What the window needs from the machine.
struct Platform {
    SerialDevice& serial;
    PortDirectory& ports;
    MonotonicClock& clock;
    SettingsStore& settings;
    FileSystem& files;
    std::string programFolder; // where the ".lan" files are
    // Further folders of ".lan" files, searched after the program's own: the
    // installed data folder, the user's own.
    std::vector<std::string> moreLanguageFolders{};
    // The local time that names datalogs; the system's when not given.
    CalendarClock* calendar = nullptr;
    // Where a port that would not open is looked into; none, only what the
    // open itself said.
    const PortSystem* portSystem = nullptr;
};

class frmKAVRIN final : public LinkHost, public ConfigRefresh {
public:
    frmKAVRIN(MainView& view, Platform platform, LiveChart& chart);
    ~frmKAVRIN() override;

    // Window events.
    void Form_Load();
    void Form_Activate();    // the window became active: the fuel box closes
    void Form_QueryUnload(); // about to close: "S", then the port is closed
    void Form_Terminate();
    void tmrcom_Timer();
    void Timer2_Timer() { link_.Timer2_Timer(); }
    void barra_PanelClick() { link_.barra_PanelClick(); }
    void tab1_Click(int selectedTab) { mapViews_.tab1_Click(selectedTab); }
    // The "Data Format" menu (raw 0, formatted 1).
    void mnMode_Click(int k);
    // Channel rows: check box clicked, scale box left after an edit.
    void chk_Click(int n);
    void txtEscala_Validate(int n);

    void mnExit_Click();
    // "About KAVRIN" changes nothing of the tool's state.
    void mnAbout_Click() {}
    // What the detection window reaches here.
    DetectionHost& detectionHost();

    void AbrirPuerto(std::int16_t& port, bool quiet) { link_.AbrirPuerto(port, quiet); }
    void WriteConfigByte(char command, std::int16_t& index, std::int16_t& value) {
        link_.WriteConfigByte(command, index, value);
    }
    void SizeConfig();
    // Writes fuel cells as typed ones would be, as one step named name: each
    // pair is a fuel cell index ((row - 1) x columns + column - 1) and its new
    // byte. Nothing else writes the analysis' proposals.
    void ApplyFuelCells(const std::vector<std::pair<int, int>>& cells, const std::string& name);
    // Called with each engine-speed frame as a log row would hold it, for the
    // live mixture analysis; empty to stop.
    void SetEngineSpeedSampleListener(std::function<void(const LogSample&)> listener) {
        onEngineSpeedSample_ = std::move(listener);
    }
    FileSystem& fileSystem() { return platform_.files; }
    SettingsStore& settings() { return platform_.settings; }

    // LinkHost and ConfigRefresh
    void DumpReceived(const std::vector<std::uint8_t>& bytes) override;
    void ConfigEchoed(std::int16_t index, std::int16_t value) override;
    void ShowChannel(std::int16_t channel, std::int32_t value) override;
    void TrackLiveCell() override;
    void HideLiveMarkers() override;
    void ShowConfig() override;
    void LayoutMaps() override;

    static constexpr const char* kCaption = ConfigFiles::kCaption;

    // The parameter fields' and buttons' handlers, which the binding calls.
    ParameterFields& parameters() { return parameters_; }

    // What the window holds, read-only.
    const LinkState& linkState() const { return linkState_; }
    const Configuration& config() const { return config_; }
    const WindowState& state() const { return state_; }
    const LanguageTexts& texts() const { return texts_; }
    // The grid editor of table 0 (fuel) to 3 (air compensation).
    const grid* editor(int table) const;

    // The rooms of the window, each with its own menu commands.
    ConfigFiles& files() { return files_; }
    Languages& languages() { return languages_; }
    DatalogControl& datalog() { return datalog_; }
    LinkStatusView& linkStatus() { return linkStatus_; }
    TuneControl& tune() { return *tune_; }

private:
    class KeyHandler;
    // Tells the user once when the settings store cannot keep the choices.
    void CheckSettingsStore();
    void BindEditors();
    // What a change of language brings besides the tagged controls.
    void LanguageSwitched();
    std::unique_ptr<grid> MakeEditor(GridControl* control, EditBox* box,
                                     void (MapCellHandlers::*validate)(std::int16_t&, std::int16_t&,
                                                                       std::string&, bool&));

    // State of the window, owned here for the life of the program.
    LinkState linkState_;
    Configuration config_;
    LanguageTexts texts_;
    WindowState state_;

    MainView& view_;
    Platform platform_;
    rs232 port_;
    LinkStatusView linkStatus_;
    Link link_;
    ConfigView configView_;
    MapViews mapViews_;
    StepMessageBoxes stepBoxes_; // the parameters' questions keep their step open
    ParameterFields parameters_;
    MapCellHandlers cells_;
    LiveFuelCellStepper stepper_;
    LiveChannels channels_;
    std::unique_ptr<grid> ogrd_fuel, ogrd_ign, ogrd3, ogrd4;
    std::unique_ptr<KeyHandler> keys_;
    ChannelSettings channelSettings_;
    bool settingsWarned_ = false;
    LiveChart& chart_;
    LiveCellTracker tracker_;
    DatalogControl datalog_;
    ConfigFiles files_;
    Languages languages_;
    std::optional<HeldSettingsWrites> closingWrites_;
    PortDetection detection_;
    std::function<void(const LogSample&)> onEngineSpeedSample_;
    SystemCalendarClock systemCalendar_; // names the backups when the platform gives none
    std::unique_ptr<TuneControl> tune_;
};

} // namespace kavrin

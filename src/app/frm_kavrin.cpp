// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frm_kavrin.h"

#include "base/text_entries.h"
#include "config/efi_file.h"
#include "live/live_cell.h"

#include <algorithm>
#include <cctype>

namespace kavrin {

namespace {
std::vector<std::string> LanguageFolders(const Platform& platform) {
    std::vector<std::string> folders{platform.programFolder};
    folders.insert(folders.end(), platform.moreLanguageFolders.begin(),
                   platform.moreLanguageFolders.end());
    return folders;
}

// A stored number limited to what the window can show.
std::int16_t StoredNumber(SettingsStore& settings, const char* key, const char* defaultValue,
                          std::int16_t low, std::int16_t high) {
    const std::int16_t value =
        RoundToInt16(ReadNumber(settings.GetSetting(kAppName, "main", key, defaultValue)));
    return std::clamp(value, low, high);
}

// Port numbers run to 255; 0 (a text that is not a number) opens port 1.
constexpr std::int16_t kLastPort = 255;
} // namespace

// The window's own keys and the step keys of the fuel and ignition boxes, and
// the fuel grid's selection.
class frmKAVRIN::KeyHandler final : public OwnerWindowListener, public GridListener {
public:
    explicit KeyHandler(frmKAVRIN& frm) : frm_(frm) {}

    // Seen only while no editing box is open.
    void OnKeyDown(int& keyCode) override {
        if (keyCode == kKeyEscape) {
            keyCode = 0;
            frm_.mnExit_Click();
            return;
        }
        std::int16_t code = static_cast<std::int16_t>(keyCode);
        const TuneControl::Step step(*frm_.tune_);
        if (frm_.stepper_.Form_KeyDown(code, frm_.state_.LiveRow, frm_.state_.LiveCol))
            keyCode = code;
    }
    void OnSelChange() override { frm_.mapViews_.grd_fuel_SelChange(); }

    class BoxKeys final : public EditBoxListener {
    public:
        BoxKeys(frmKAVRIN& frm, EditBox& box, StepBox kind) : frm_(frm), box_(box), kind_(kind) {}
        void OnKeyPress(int& keyAscii) override {
            if (keyAscii <= 0 || keyAscii > 127) return;
            const auto text = StepBoxText(kind_, box_.Text(), static_cast<char>(keyAscii),
                                          frm_.state_.DataFormat);
            if (!text) return;
            box_.SetText(*text);
            box_.SetSelStart(static_cast<int>(text->size()));
            keyAscii = 0;
        }

    private:
        frmKAVRIN& frm_;
        EditBox& box_;
        StepBox kind_;
    };
    std::unique_ptr<BoxKeys> fuelKeys, ignitionKeys;

private:
    frmKAVRIN& frm_;
};

frmKAVRIN::frmKAVRIN(MainView& view, Platform platform, LiveChart& chart)
    : view_(view), platform_(std::move(platform)),
      port_(platform_.serial, platform_.ports, platform_.portSystem),
      linkStatus_(view, texts_, linkState_, port_,
                  [this](std::int16_t& port) { link_.AbrirPuerto(port, false); },
                  [this] { channels_.Refresh(); }),
      link_(port_, platform_.clock, linkState_, config_, *this, linkStatus_, platform_.settings,
            state_.writes),
      configView_(config_, state_.writes, state_, view.grids, view.parameters,
                  [this](std::int16_t row, std::int16_t col, Colour colour) {
                      if (ogrd_fuel) ogrd_fuel->SetTextColor(row, col, colour);
                  }),
      mapViews_(view.grids, view.maps, view.parameters, state_, texts_,
                MapViewHooks{[this] { BindEditors(); }, [this] { view_.p->BringToFront(); },
                             [this] { ShowConfig(); }}),
      stepBoxes_(*view.messages),
      parameters_(view.parameters, config_, linkState_.flags, link_, *this, stepBoxes_, texts_,
                  state_),
      cells_(
          config_, linkState_.flags, link_, state_,
          [this](std::int16_t row, std::int16_t col, Colour colour) {
              if (ogrd_fuel) ogrd_fuel->SetTextColor(row, col, colour);
          },
          [this] { parameters_.SuggestFuelScale(); }),
      stepper_(config_, link_, state_),
      channels_(view.channels, chart, config_, state_, *view.parameters.txtTHRmin,
                view.windowBackground),
      keys_(std::make_unique<KeyHandler>(*this)),
      channelSettings_(view.channels, platform_.settings), chart_(chart),
      tracker_(view.grids, *view.p, *view.p2, state_),
      datalog_(view, platform_.files, platform_.clock, platform_.calendar, texts_, channels_,
               state_, config_),
      files_(view, platform_.files, texts_, config_,
             ConfigFiles::Hooks{[this] { datalog_.Stop(); },
                                EfiLoadHooks{[this] { SizeConfig(); },
                                             [this](std::int16_t index, std::int16_t value) {
                                                 link_.WriteConfigByte('M', index, value);
                                             },
                                             [this] { ShowConfig(); }},
                                [this] { tune_->Saved(); }}),
      languages_(view, platform_.settings, platform_.files, LanguageFolders(platform_), texts_,
                 [this] { LanguageSwitched(); }),
      detection_(link_, port_, linkState_, texts_) {
    view_.window->AddListener(keys_.get());
    view_.grids.grd_fuel->AddListener(keys_.get());
    keys_->fuelKeys =
        std::make_unique<KeyHandler::BoxKeys>(*this, *view_.txtgrd_fuel, StepBox::Fuel);
    view_.txtgrd_fuel->AddListener(keys_->fuelKeys.get());
    keys_->ignitionKeys =
        std::make_unique<KeyHandler::BoxKeys>(*this, *view_.txtgrd_ign, StepBox::Ignition);
    view_.txtgrd_ign->AddListener(keys_->ignitionKeys.get());

    tune_ = std::make_unique<TuneControl>(
        TuneView{view.notInEcuPanel, view.notePanel, view.report, view.messages, &view.dialogs,
                 view.historyChanged},
        config_, linkState_, state_, texts_, platform_.clock, platform_.files,
        platform_.calendar ? *platform_.calendar : systemCalendar_, files_,
        TuneControl::Hooks{
            [this](std::int16_t index, std::int16_t value) {
                link_.WriteConfigByte('M', index, value);
            },
            [this](std::int16_t row, std::int16_t col, Colour colour) {
                if (ogrd_fuel) ogrd_fuel->SetTextColor(row, col, colour);
            },
            [this] { SizeConfig(); }, [this] { ShowConfig(); }, [this] { LayoutMaps(); },
            [this] { return platform_.ports.DeviceName(linkState_.currentPort); }});
    stepBoxes_.Attach(tune_.get());
    link_.Watch(Link::WriteWatch{
        [this](int index, std::uint8_t value, bool online) { tune_->Written(index, value, online); },
        [this] { tune_->WentOffline(); }});
}

frmKAVRIN::~frmKAVRIN() {
    // The editors let go of the grids and boxes before the window's own listeners.
    ogrd_fuel.reset();
    ogrd_ign.reset();
    ogrd3.reset();
    ogrd4.reset();
    view_.window->RemoveListener(keys_.get());
    view_.grids.grd_fuel->RemoveListener(keys_.get());
    view_.txtgrd_fuel->RemoveListener(keys_->fuelKeys.get());
    view_.txtgrd_ign->RemoveListener(keys_->ignitionKeys.get());
}

void frmKAVRIN::Form_Load() {
    {
    // Filling the window from the settings writes nothing to the ECU.
    const SuppressWrites quiet(state_.writes);
    chart_.Start();

    SettingsStore& settings = platform_.settings;
    channelSettings_.Restore();
    languages_.Restore();
    state_.DataFormat = StoredNumber(settings, "raw_mode", "0", kRawData, kFormattedData);
    for (int k = 0; k < 2; ++k) view_.mnMode[k]->SetChecked(k == state_.DataFormat);
    linkStatus_.RebuildPortMenu();
    linkState_.currentPort = StoredNumber(settings, "commport", "1", 0, kLastPort);
    std::int16_t port = StoredNumber(settings, "com", "1", 0, kLastPort);
    link_.AbrirPuerto(port, false);

    languages_.BuildMenu();
    languages_.Apply();

    config_.MapCols = 15;
    config_.MapRows = 11;
    config_.EngTempCells = 14;
    config_.AirTempCells = 7;
    SizeConfig();

    link_.SendConfigRequest();
    }
    link_.ShowLinkCounters();
    state_.maps.singleCellSelected = true;
    files_.SetCaption(files_.caption());
    CheckSettingsStore();
}

void frmKAVRIN::Form_Activate() {
    if (ogrd_fuel) ogrd_fuel->OcultarCajas();
}

void frmKAVRIN::Form_QueryUnload() {
    // What closing stores (the column widths and the rest) is written in one
    // go when the window has gone.
    if (!closingWrites_) closingWrites_.emplace(platform_.settings);
    datalog_.Stop();
    link_.Shutdown();
}

void frmKAVRIN::tmrcom_Timer() {
    link_.tmrcom_Timer();
    // The tick's frames are shown once, with their last values.
    channels_.Refresh();
    datalog_.Tick();
    tune_->Tick();
}

void frmKAVRIN::Form_Terminate() {
    port_.CloseComPort();
    closingWrites_.reset();
}

void frmKAVRIN::mnMode_Click(int k) {
    if (k != 0 && k != 1) return;
    for (grid* g : {ogrd_fuel.get(), ogrd_ign.get(), ogrd3.get(), ogrd4.get()})
        if (g) g->OcultarCajas();
    for (int i = 0; i < 2; ++i) view_.mnMode[i]->SetChecked(i == k);
    state_.DataFormat = static_cast<DataFormatMode>(k);
    if (state_.writes.Suppressed()) return;
    LayoutMaps();
    ShowConfig();
    platform_.settings.SaveSetting(kAppName, "main", "raw_mode", DecimalText(k));
    CheckSettingsStore();
}

void frmKAVRIN::chk_Click(int n) {
    channelSettings_.chk_Click(n);
    CheckSettingsStore();
}

void frmKAVRIN::txtEscala_Validate(int n) {
    channelSettings_.txtEscala_Validate(n);
    CheckSettingsStore();
}

void frmKAVRIN::CheckSettingsStore() {
    if (settingsWarned_ || platform_.settings.CanRemember()) return;
    settingsWarned_ = true;
    view_.messages->Warning(texts_.Text(text::kSettingsNotRemembered));
}

void frmKAVRIN::LanguageSwitched() {
    mapViews_.ShowMapTitles();
    // The counters and the link's condition are worded by the language too;
    // they would otherwise keep the old words until the link next changes.
    linkStatus_.Retranslate();
    datalog_.ShowState();
    CheckSettingsStore();
}

void frmKAVRIN::SizeConfig() {
    config_.SizeImage();
    configView_.SizeGrids();
    LayoutMaps();
    if (tune_) tune_->Resized();
}

const grid* frmKAVRIN::editor(int table) const {
    switch (table) {
    case 0:
        return ogrd_fuel.get();
    case 1:
        return ogrd_ign.get();
    case 2:
        return ogrd3.get();
    case 3:
        return ogrd4.get();
    default:
        return nullptr;
    }
}

std::unique_ptr<grid> frmKAVRIN::MakeEditor(
    GridControl* control, EditBox* box,
    void (MapCellHandlers::*validate)(std::int16_t&, std::int16_t&, std::string&, bool&)) {
    auto editor = std::make_unique<grid>(linkState_.flags, state_.writes, platform_.settings);
    editor->inicializar(*view_.window, *control, *box);
    grid* self = editor.get();
    editor->events.ValidarCelda = [this, validate](std::int16_t& row, std::int16_t& col,
                                                   std::string& valor, bool& Cancel) {
        const TuneControl::Step step(*tune_);
        (cells_.*validate)(row, col, valor, Cancel);
    };
    // A block fill is one step.
    editor->events.CommitBlock = [this](bool starts) {
        if (starts)
            tune_->BeginStep();
        else
            tune_->EndStep();
    };
    // While a box is open the keys go to the box alone.
    editor->events.EditarCelda = [this, self](std::int16_t&, std::int16_t&, std::string&) {
        view_.window->SetKeyPreview(false);
        self->EditarCelda();
    };
    return editor;
}

void frmKAVRIN::BindEditors() {
    // Every layout binds the editors afresh, idle; an editor is made once and
    // keeps its place for the life of the window.
    auto bind = [this](std::unique_ptr<grid>& editor, GridControl* control, EditBox* box,
                       auto validate) {
        if (editor)
            editor->inicializar(*view_.window, *control, *box);
        else
            editor = MakeEditor(control, box, validate);
    };
    const MapGrids& g = view_.grids;
    bind(ogrd_fuel, g.grd_fuel, view_.txtgrd_fuel, &MapCellHandlers::ogrd_fuel_ValidarCelda);
    bind(ogrd_ign, g.grd_ign, view_.txtgrd_ign, &MapCellHandlers::ogrd_ign_ValidarCelda);
    bind(ogrd3, g.grd3, view_.txtgrd3, &MapCellHandlers::ogrd3_ValidarCelda);
    bind(ogrd4, g.grd4, view_.txtGrd4, &MapCellHandlers::ogrd4_ValidarCelda);
    ogrd_fuel->events.OcultarCajas = [this] { view_.window->SetKeyPreview(true); };
    // A box left open would take keys that an idle editor never commits.
    for (grid* editor : {ogrd_fuel.get(), ogrd_ign.get(), ogrd3.get(), ogrd4.get()})
        editor->OcultarCajas();
}

void frmKAVRIN::mnExit_Click() {
    if (view_.unload)
        view_.unload();
    else
        Form_QueryUnload();
}

DetectionHost& frmKAVRIN::detectionHost() {
    return detection_;
}

void frmKAVRIN::DumpReceived(const std::vector<std::uint8_t>& bytes) {
    tune_->DumpReceived(bytes);
}

void frmKAVRIN::ConfigEchoed(std::int16_t index, std::int16_t value) {
    tune_->ConfigEchoed(index, value);
    ShowConfig();
}

void frmKAVRIN::ShowConfig() {
    configView_.ShowConfig();
}

void frmKAVRIN::LayoutMaps() {
    mapViews_.LayoutMaps();
}

void frmKAVRIN::ShowChannel(std::int16_t channel, std::int32_t value) {
    channels_.ShowChannel(channel, value);
    datalog_.OnChannel(channel);
    if (channel == kRpmChannel && onEngineSpeedSample_) {
        LogSample sample;
        sample.timeMs = platform_.clock.NowMs();
        sample.values = channels_.ShownValues();
        sample.status = state_.LastValues[kStatusChannel];
        onEngineSpeedSample_(sample);
    }
}

void frmKAVRIN::ApplyFuelCells(const std::vector<std::pair<int, int>>& cells,
                               const std::string& name) {
    // The whole proposal applied is one step of the history, named as the
    // panel names it.
    const TuneControl::Step step(*tune_, [name] { return name; });
    for (const auto& [cell, byte] : cells) {
        if (cell < 0 || cell >= config_.FuelCells) continue;
        std::int16_t index = static_cast<std::int16_t>(cell);
        std::int16_t raw = static_cast<std::int16_t>(std::clamp(byte, 0, 255));
        // As a typed cell: the pulse the byte gives, its colour, the image
        // offline, the write (and its echo) online.
        const float ms = FuelRawToMs(config_, raw);
        if (cell < static_cast<int>(config_.FuelPulseTable.size()))
            config_.FuelPulseTable[cell] = ms;
        if (ogrd_fuel)
            ogrd_fuel->SetTextColor(static_cast<std::int16_t>(cell / config_.MapCols + 1),
                                    static_cast<std::int16_t>(cell % config_.MapCols + 1),
                                    FuelCellColour(raw));
        if (!linkState_.flags.online) config_.ConfigImage.Set(index, raw);
        link_.WriteConfigByte('M', index, raw);
    }
    ShowConfig();
}

void frmKAVRIN::TrackLiveCell() {
    tracker_.TrackLiveCell();
}

void frmKAVRIN::HideLiveMarkers() {
    view_.p->SetVisible(false);
    view_.p2->SetVisible(false);
}

} // namespace kavrin

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

// The main window as the detection window sees it.
class frmKAVRIN::Detection final : public DetectionHost {
public:
    explicit Detection(frmKAVRIN& frm) : frm_(frm) {}
    void AbrirPuerto(std::int16_t& port, bool quiet) override { frm_.AbrirPuerto(port, quiet); }
    bool PortOpen() const override { return frm_.port_.portOpen(); }
    bool DataReceived() const override { return frm_.linkState_.flags.dataReceived; }
    void ClearDataReceived() override { frm_.linkState_.flags.dataReceived = false; }
    void SendString(std::string_view text) override { frm_.port_.SendString(text); }
    PortDiagnosis WhyNotOpen() const override { return frm_.port_.WhyNotOpen(frm_.texts_); }

private:
    frmKAVRIN& frm_;
};

frmKAVRIN::frmKAVRIN(MainView& view, Platform platform, LiveChart& chart)
    : view_(view), platform_(std::move(platform)),
      port_(platform_.serial, platform_.ports, platform_.portSystem),
      link_(port_, platform_.clock, linkState_, config_, *this, platform_.settings, texts_),
      configView_(config_, linkState_.flags, state_, view.grids, view.parameters,
                  [this](std::int16_t row, std::int16_t col, Colour colour) {
                      if (ogrd_fuel) ogrd_fuel->SetTextColor(row, col, colour);
                  }),
      mapViews_(view.grids, view.maps, view.parameters, state_, texts_,
                MapViewHooks{[this] { BindEditors(); }, [this] { view_.p->BringToFront(); },
                             [this] { ShowConfig(); }}),
      parameters_(view.parameters, config_, linkState_.flags, link_, *this, *view.messages, texts_,
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
      channelSettings_(view.channels, platform_.settings), codePages_(MakeSystemCodePageDecoder()),
      languageFiles_(platform_.files, LanguageFolders(platform_), *codePages_), chart_(chart),
      tracker_(view.grids, *view.p, *view.p2, state_, linkState_.flags), datalog_(platform_.clock),
      detection_(std::make_unique<Detection>(*this)) {
    view_.window->AddListener(keys_.get());
    view_.grids.grd_fuel->AddListener(keys_.get());
    keys_->fuelKeys =
        std::make_unique<KeyHandler::BoxKeys>(*this, *view_.txtgrd_fuel, StepBox::Fuel);
    view_.txtgrd_fuel->AddListener(keys_->fuelKeys.get());
    keys_->ignitionKeys =
        std::make_unique<KeyHandler::BoxKeys>(*this, *view_.txtgrd_ign, StepBox::Ignition);
    view_.txtgrd_ign->AddListener(keys_->ignitionKeys.get());
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
    LinkFlags& flags = linkState_.flags;
    flags.suppressWrites = true;
    chart_.Start();

    SettingsStore& settings = platform_.settings;
    channelSettings_.Restore();
    languageName_ = settings.GetSetting(kAppName, "main", "language", "English");
    LoadLanguageFile();
    state_.DataFormat = StoredNumber(settings, "raw_mode", "0", kRawData, kFormattedData);
    for (int k = 0; k < 2; ++k) view_.mnMode[k]->SetChecked(k == state_.DataFormat);
    RebuildPortMenu();
    std::int16_t port = StoredNumber(settings, "com", "1", 0, kLastPort);
    link_.AbrirPuerto(port, false);

    BuildLanguageMenu();
    ApplyLanguage(view_.tagged, texts_);
    ApplyTabCaptions();

    config_.MapCols = 15;
    config_.MapRows = 11;
    config_.EngTempCells = 14;
    config_.AirTempCells = 7;
    SizeConfig();

    link_.SendConfigRequest();
    flags.suppressWrites = false;
    link_.ShowLinkCounters();
    state_.maps.singleCellSelected = true;
    SetCaption(caption_);
    CheckSettingsStore();
}

void frmKAVRIN::Form_Activate() {
    if (ogrd_fuel) ogrd_fuel->OcultarCajas();
}

void frmKAVRIN::Form_QueryUnload() {
    // What closing stores (the column widths and the rest) is written in one
    // go when the window has gone.
    if (!closingWrites_) closingWrites_.emplace(platform_.settings);
    StopDatalog();
    link_.Shutdown();
}

void frmKAVRIN::tmrcom_Timer() {
    link_.tmrcom_Timer();
    // The tick's frames are shown once, with their last values.
    channels_.Refresh();
    datalog_.Tick();
    ReportDatalogFailure();
    // The row count follows at the tick's pace, not at every frame's.
    if (datalog_.Running() && datalog_.Rows() != shownLogRows_) ShowDatalogState();
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
    if (linkState_.flags.suppressWrites) return;
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

void frmKAVRIN::SetCaption(const std::string& text) {
    caption_ = text;
    view_.caption->SetText(text);
}

void frmKAVRIN::mnOpen_Click() {
    const auto path = view_.dialogs->ChooseOpenFile(texts_.Text(75));
    if (!path || path->empty()) return;
    ReadEfiFile(*path);
}

void frmKAVRIN::mnSave_Click() {
    const auto path = view_.dialogs->ChooseSaveFile(texts_.Text(76), caption_);
    if (!path || path->empty()) return;
    WriteEfiFile(*path);
}

bool frmKAVRIN::ReadEfiFile(const std::string& path) {
    FileSystem& files = platform_.files;
    const auto content = files.ReadFile(path);
    if (!content) {
        view_.messages->Exclamation(path + "\n" +
                                    texts_.Format(text::kCannotBeRead, {Why(files.LastError())}) +
                                    "\n" + texts_.Text(text::kNothingLoaded));
        return false;
    }
    const EfiReadResult file = ReadEfiText(*content, config_);
    if (!file.ok) {
        view_.messages->Exclamation(
            path + "\n" +
            texts_.Format(text::kLineReason,
                          {DecimalText(file.line), EfiRefusalText(file, texts_)}) +
            "\n" + texts_.Text(text::kNothingLoaded));
        return false;
    }
    SetCaption(path);
    EfiLoadHooks hooks;
    hooks.SizeConfig = [this] { SizeConfig(); };
    hooks.WriteConfigByte = [this](std::int16_t index, std::int16_t value) {
        link_.WriteConfigByte('M', index, value);
    };
    hooks.ShowConfig = [this] { ShowConfig(); };
    // A log covers one configuration.
    StopDatalog();
    LoadEfiSteps(file.steps, config_, hooks);
    return true;
}

void frmKAVRIN::mnLog_Click() {
    if (datalog_.Running()) {
        StopDatalog();
        return;
    }
    CalendarClock& calendar = platform_.calendar ? *platform_.calendar : systemCalendar_;
    const auto path = view_.dialogs->ChooseLogFile(texts_.Text(text::kLogDialogTitle),
                                                   DatalogFileName(calendar.Now()));
    if (path && !path->empty()) {
        FileSystem& files = platform_.files;
        auto stream = files.CreateStream(*path);
        const Reason why = files.LastError();
        if (!datalog_.Start(std::move(stream), *path, DatalogColumns())) {
            const Reason failure = datalog_.TakeFailure().value_or(Reason{});
            view_.messages->Exclamation(
                *path + "\n" +
                texts_.Format(text::kCannotBeWritten, {Why(why.empty() ? failure : why)}) +
                "\n" + texts_.Text(text::kNoLogStarted));
        }
    }
    ShowDatalogState();
}

void frmKAVRIN::StopDatalog() {
    if (!datalog_.Running()) return;
    datalog_.Stop();
    ShowDatalogState();
    ReportDatalogFailure();
}

void frmKAVRIN::ReportDatalogFailure() {
    const auto why = datalog_.TakeFailure();
    if (!why) return;
    ShowDatalogState();
    view_.messages->Exclamation(texts_.Text(text::kLogStopped) + "\n" + datalog_.Path() + "\n" +
                                texts_.Format(text::kCannotBeWritten, {Why(*why)}) + "\n" +
                                texts_.Text(text::kLogRowsKept));
}

void frmKAVRIN::ShowDatalogState() {
    const bool running = datalog_.Running();
    view_.mnLog->SetChecked(running);
    shownLogRows_ = running ? datalog_.Rows() : -1;
    const std::string& path = datalog_.Path();
    const std::string name = path.substr(path.find_last_of("/\\") + 1);
    view_.logPanel->SetText(
        running ? texts_.Format(text::kLogPanel, {name, DecimalText(datalog_.Rows())}) : "");
    view_.logPanel->SetVisible(running);
}

DatalogHeader frmKAVRIN::DatalogColumns() const {
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

bool frmKAVRIN::WriteEfiFile(const std::string& path) {
    FileSystem& files = platform_.files;
    if (!files.WriteFile(path, WriteEfiText(config_))) {
        view_.messages->Exclamation(path + "\n" +
                                    texts_.Format(text::kCannotBeSaved, {Why(files.LastError())}) +
                                    "\n" + texts_.Text(text::kOldFileKept));
        return false;
    }
    SetCaption(path);
    return true;
}

void frmKAVRIN::BuildLanguageMenu() {
    languageNames_ = languageFiles_.List();
    if (languageNames_.empty()) {
        view_.mnLanguage->SetEntries({"English"});
        view_.mnLanguage->SetChecked(0, false);
        return;
    }
    view_.mnLanguage->SetEntries(languageNames_);
    for (std::size_t i = 0; i < languageNames_.size(); ++i)
        view_.mnLanguage->SetChecked(static_cast<int>(i), languageNames_[i] == languageName_);
}

void frmKAVRIN::mnlan_Click(int k) {
    const std::vector<std::string> names =
        languageNames_.empty() ? std::vector<std::string>{"English"} : languageNames_;
    if (k < 0 || k >= static_cast<int>(names.size())) return;
    for (std::size_t i = 0; i < names.size(); ++i)
        view_.mnLanguage->SetChecked(static_cast<int>(i), static_cast<int>(i) == k);
    languageName_ = names[static_cast<std::size_t>(k)];
    platform_.settings.SaveSetting(kAppName, "main", "language", languageName_);
    // The link's condition is said again in the new language at once, not
    // when the link next changes.
    int connectionEntry = 0;
    for (int entry : {72, 73, 74})
        if (!connectionText_.empty() && texts_.Text(entry) == connectionText_) connectionEntry = entry;
    LoadLanguageFile();
    if (connectionEntry) SetConnectionText(texts_.Text(connectionEntry));
    if (datalog_.Running()) ShowDatalogState();
    ApplyLanguage(view_.tagged, texts_);
    ApplyTabCaptions();
    mapViews_.ShowMapTitles();
    // The counters are captioned by the language too; they would otherwise
    // keep the old words until a counter next changes.
    link_.ShowLinkCounters();
    CheckSettingsStore();
}

void frmKAVRIN::ApplyTabCaptions() {
    static constexpr int kEntries[6] = {13, 14, 40, 41, 66, 65};
    // A language file without these entries leaves the design captions.
    for (int i = 0; i < 6; ++i)
        if (const std::string& text = texts_.Text(kEntries[i]); !text.empty())
            view_.tabCaptions[i]->SetText(text);
}

void frmKAVRIN::SizeConfig() {
    config_.SizeImage();
    configView_.SizeGrids();
    LayoutMaps();
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
    auto editor = std::make_unique<grid>(linkState_.flags, platform_.settings);
    editor->inicializar(*view_.window, *control, *box);
    grid* self = editor.get();
    editor->events.ValidarCelda = [this, validate](std::int16_t& row, std::int16_t& col,
                                                   std::string& valor, bool& Cancel) {
        (cells_.*validate)(row, col, valor, Cancel);
    };
    // While a box is open the keys go to the box alone.
    editor->events.EditarCelda = [this, self](std::int16_t&, std::int16_t&, std::string&) {
        view_.window->SetKeyPreview(false);
        self->EditarCelda();
    };
    return editor;
}

void frmKAVRIN::BindEditors() {
    // Every layout binds the editors afresh, idle. They are bound again rather
    // than replaced: a layout can run while an editor is still inside one of
    // its own calls (a dump decoded while it lets pending events run), and
    // that editor must outlive the call.
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

std::string frmKAVRIN::Why(const Reason& reason) const {
    return reason.empty() ? texts_.Text(text::kNoReasonGiven) : texts_.Say(reason);
}

void frmKAVRIN::LoadLanguageFile() {
    // English first: an entry that a translation does not have yet (a file
    // made for an older version) shows in English rather than empty. A file
    // that is not there leaves every text as it is; at start, with no texts
    // yet, the window shows English then.
    const bool found = languageFiles_.Has(languageName_);
    if (languageName_ != kBaseLanguage && (found || !texts_.HasTexts()))
        languageFiles_.Load(kBaseLanguage, texts_);
    if (languageFiles_.Load(languageName_, texts_)) {
        view_.notePanel->SetText(
            texts_.HasTexts() ? "" : texts_.Format(text::kLanguageWithoutTexts, {languageName_}));
        view_.notePanel->SetVisible(!texts_.HasTexts());
        return;
    }
    std::string upper = languageName_;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    view_.messages->Warning("file: " + upper + ".LAN not found!");
}

void frmKAVRIN::RebuildPortMenu() {
    PortMenu* menu = view_.portMenu;
    if (menu) menu->RemoveExtraItems();
    const std::vector<std::string> list = platform_.ports.ListComPorts();
    linkState_.currentPort = StoredNumber(platform_.settings, "commport", "1", 0, kLastPort);
    if (!menu) return;
    // With no port listed the menu keeps its item "com1", which stands for port 1.
    std::vector<CheckControl*> items{menu->Item(1)};
    for (int i = 1; i <= static_cast<int>(list.size()); ++i) {
        CheckControl* item = i == 1 ? items[0] : menu->Item(i);
        if (!item) continue;
        std::string caption = list[i - 1];
        caption.erase(std::remove(caption.begin(), caption.end(), '\0'), caption.end());
        item->SetText(caption);
        item->SetVisible(true);
        if (i > 1) items.push_back(item);
    }
    view_.mncom.assign(items.begin(), items.end());
}

void frmKAVRIN::mncom_Click(int k) {
    if (k < 1 || k > static_cast<int>(view_.mncom.size()) || !view_.mncom[k - 1]) return;
    const std::string caption = view_.mncom[k - 1]->Text();
    std::int16_t port = RoundToInt16(ReadNumber(caption.size() > 3 ? caption.substr(3) : ""));
    link_.AbrirPuerto(port, false);
}

void frmKAVRIN::mnExit_Click() {
    if (view_.unload)
        view_.unload();
    else
        Form_QueryUnload();
}

DetectionHost& frmKAVRIN::detectionHost() {
    return *detection_;
}

void frmKAVRIN::ShowConfig() {
    configView_.ShowConfig();
}

void frmKAVRIN::LayoutMaps() {
    mapViews_.LayoutMaps();
}

void frmKAVRIN::ShowChannel(std::int16_t channel, std::int32_t value) {
    channels_.ShowChannel(channel, value);
    if (channel == 0) datalog_.AddRow(channels_.ShownValues(), state_.LastValues[kStatusChannel]);
}

void frmKAVRIN::TrackLiveCell() {
    tracker_.TrackLiveCell();
}

void frmKAVRIN::HideLiveMarkers() {
    view_.p->SetVisible(false);
    view_.p2->SetVisible(false);
}

void frmKAVRIN::SetGridBackground(Colour colour) {
    const MapGrids& g = view_.grids;
    for (GridControl* grid : {g.grd_fuel, g.grd_ign, g.grd3, g.grd4}) grid->SetBackColor(colour);
}

void frmKAVRIN::SetChannelControlsColour(Colour colour) {
    // Frames taken before the link went down show before it is greyed.
    channels_.Refresh();
    const ChannelControls& ch = view_.channels;
    for (int n = 0; n < kMeasuredChannels; ++n)
        for (Control* c : {static_cast<Control*>(ch.chk[n]), ch.lblvalor[n], ch.txtEscala[n]})
            c->SetForeColour(colour);
}

void frmKAVRIN::SetPortMenuCheck(std::int16_t port) {
    for (CheckControl* item : view_.mncom) {
        if (!item) continue;
        const std::string caption = item->Text();
        const double number = caption.size() > 3 ? ReadNumber(caption.substr(3)) : 0;
        item->SetChecked(port != 0 && RoundToInt16(number) == port);
    }
}

void frmKAVRIN::SetCounterPanel(int panel, const std::string& text) {
    if (panel >= 1 && panel <= 5) view_.counterPanels[panel - 1]->SetText(text);
}

void frmKAVRIN::SetConnectionText(const std::string& text) {
    connectionText_ = text;
    view_.connection->SetText(text);
}

void frmKAVRIN::SetConnectionPicture(bool connected) {
    view_.connection->SetConnectedPicture(connected);
}

void frmKAVRIN::ShowPortMessage(const std::string& text) {
    view_.messages->Exclamation(text);
}

} // namespace kavrin

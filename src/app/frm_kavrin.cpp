#include "app/frm_kavrin.h"

#include <algorithm>
#include <cctype>

namespace kavrin {

namespace {
ConfigControls MakeConfigControls(const MainView& v) {
    const ParameterControls& p = v.parameters;
    ConfigControls c;
    c.grd_fuel = v.grd_fuel;
    c.grd_ign = v.grd_ign;
    c.grd3 = v.grd3;
    c.grd4 = v.grd4;
    c.txtCompensation = p.txtCompensation;
    c.txtMainAngle = p.txtMainAngle;
    c.txtEFI_angle = p.txtEFI_angle;
    c.txtPump = p.txtPump;
    c.txtTHRmin = p.txtTHRmin;
    c.txtTHRmax = p.txtTHRmax;
    c.txtCorte = p.txtCorte;
    c.txtFactor = p.txtFactor;
    c.txtOffset = p.txtOffset;
    c.txtPriming = p.txtPriming;
    c.txtDwell = p.txtDwell;
    c.options = p.options;
    c.options2 = p.options2;
    return c;
}

MapViewControls MakeMapControls(const MainView& v) {
    MapViewControls c;
    c.grd_fuel = v.grd_fuel;
    c.grd_ign = v.grd_ign;
    c.grd3 = v.grd3;
    c.grd4 = v.grd4;
    c.lblFuelMap = v.lblFuelMap;
    c.lblIgnitionMap = v.lblIgnitionMap;
    c.lblEngComp = v.lblEngComp;
    c.lblAirComp = v.lblAirComp;
    c.txtTHRmin = v.parameters.txtTHRmin;
    c.txtTHRmax = v.parameters.txtTHRmax;
    c.lblfmt = v.lblfmt;
    return c;
}

MessageBoxes& Messages(MainView& v) {
    // A window without message boxes still needs somewhere to say things.
    struct Silent final : MessageBoxes {
        void Exclamation(const std::string&) override {}
        void Warning(const std::string&) override {}
        bool AskYesNo(const std::string&, const std::string&) override { return false; }
    };
    static Silent silent;
    return v.messages ? *v.messages : silent;
}
} // namespace

// The window's own keys and the step keys of the fuel and ignition boxes, and
// the fuel grid's selection.
class frmKAVRIN::KeyHandler final : public OwnerWindowListener, public GridListener {
public:
    explicit KeyHandler(frmKAVRIN& frm) : frm_(frm) {}

    // Seen only while no editing box is open.
    void OnKeyDown(int& keyCode) override {
        if (keyCode == 27) {
            keyCode = 0;
            frm_.mnExit_Click();
            return;
        }
        std::int16_t code = static_cast<std::int16_t>(keyCode);
        if (frm_.stepper_.Form_KeyDown(code, frm_.LiveRow, frm_.LiveCol)) keyCode = code;
    }
    void OnSelChange() override { frm_.mapViews_.grd_fuel_SelChange(); }

    class BoxKeys final : public EditBoxListener {
    public:
        BoxKeys(frmKAVRIN& frm, EditBox& box, StepBox kind) : frm_(frm), box_(box), kind_(kind) {}
        void OnKeyPress(int& keyAscii) override {
            if (keyAscii <= 0 || keyAscii > 127) return;
            const auto text =
                StepBoxText(kind_, box_.Text(), static_cast<char>(keyAscii), frm_.DataFormat);
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
    bool DataReceived() const override { return frm_.linkState.flags.dataReceived; }
    void ClearDataReceived() override { frm_.linkState.flags.dataReceived = false; }
    void SendString(std::string_view text) override { frm_.port_.SendString(text); }

private:
    frmKAVRIN& frm_;
};

frmKAVRIN::frmKAVRIN(MainView& view, Platform platform, LiveChart& chart)
    : view_(view), platform_(std::move(platform)), port_(platform_.serial, platform_.ports),
      link_(port_, platform_.clock, linkState, config, *this, platform_.settings, texts),
      configControls_(MakeConfigControls(view)), mapControls_(MakeMapControls(view)),
      configView_(config, linkState.flags, DataFormat, configControls_,
                  [this](std::int16_t row, std::int16_t col, Colour colour) {
                      if (ogrd_fuel) ogrd_fuel->SetTextColor(row, col, colour);
                  }),
      mapViews_(mapControls_, maps, DataFormat, texts,
                MapViewHooks{[this] { BindEditors(); },
                             [this] {
                                 if (view_.p) view_.p->BringToFront();
                             },
                             [this] { ShowConfig(); }}),
      parameters_(view.parameters, config, linkState.flags, link_, *this, Messages(view), texts,
                  DataFormat, LastValues),
      cells_(
          config, linkState.flags, link_, DataFormat,
          [this](std::int16_t row, std::int16_t col, Colour colour) {
              if (ogrd_fuel) ogrd_fuel->SetTextColor(row, col, colour);
          },
          [this] { parameters_.SuggestFuelScale(); }),
      stepper_(config, link_, DataFormat),
      channels_(view.channels, chart, config, LastValues, ThrottlePercent,
                linkState.decoder.prescaleMultiplier, maps.ThrScale, DataFormat,
                view.parameters.txtTHRmin, view.windowBackground),
      keys_(std::make_unique<KeyHandler>(*this)), chart_(chart),
      tracker_(LiveCellControls{view.grd_fuel, view.grd_ign, view.p, view.p2},
               LiveCellTracker::State{LiveCol, LiveRow, MarkedCol, MarkedRow,
                                      maps.singleCellSelected, LastValues, ThrottlePercent},
               linkState.flags),
      detection_(std::make_unique<Detection>(*this)) {
    if (view_.window) view_.window->AddListener(keys_.get());
    if (view_.grd_fuel) view_.grd_fuel->AddListener(keys_.get());
    if (view_.txtgrd_fuel) {
        keys_->fuelKeys =
            std::make_unique<KeyHandler::BoxKeys>(*this, *view_.txtgrd_fuel, StepBox::Fuel);
        view_.txtgrd_fuel->AddListener(keys_->fuelKeys.get());
    }
    if (view_.txtgrd_ign) {
        keys_->ignitionKeys =
            std::make_unique<KeyHandler::BoxKeys>(*this, *view_.txtgrd_ign, StepBox::Ignition);
        view_.txtgrd_ign->AddListener(keys_->ignitionKeys.get());
    }
}

frmKAVRIN::~frmKAVRIN() {
    // The editors let go of the grids and boxes before the window's own listeners.
    ogrd_fuel.reset();
    ogrd_ign.reset();
    ogrd3.reset();
    ogrd4.reset();
    if (view_.window) view_.window->RemoveListener(keys_.get());
    if (view_.grd_fuel) view_.grd_fuel->RemoveListener(keys_.get());
    if (view_.txtgrd_fuel && keys_->fuelKeys)
        view_.txtgrd_fuel->RemoveListener(keys_->fuelKeys.get());
    if (view_.txtgrd_ign && keys_->ignitionKeys)
        view_.txtgrd_ign->RemoveListener(keys_->ignitionKeys.get());
}

void frmKAVRIN::Form_Load() {
    LinkFlags& flags = linkState.flags;
    flags.suppressWrites = true;
    chart_.Start();

    SettingsStore& settings = platform_.settings;
    languageName = settings.GetSetting(kAppName, "main", "language", "English");
    LoadLanguageFile();
    DataFormat = RoundToInt16(ReadNumber(settings.GetSetting(kAppName, "main", "raw_mode", "0")));
    for (int k = 0; k < 2; ++k)
        if (view_.mnMode[k]) view_.mnMode[k]->SetChecked(k == DataFormat);
    RebuildPortMenu();
    std::int16_t port = RoundToInt16(ReadNumber(settings.GetSetting(kAppName, "main", "com", "1")));
    link_.AbrirPuerto(port, false);
    ApplyTabCaptions();

    config.MapCols = 15;
    config.MapRows = 11;
    config.EngTempCells = 14;
    config.AirTempCells = 7;
    SizeConfig();

    link_.SendConfigRequest();
    flags.suppressWrites = false;
    link_.ShowLinkCounters();
    maps.singleCellSelected = true;
}

void frmKAVRIN::Form_Activate() {
    if (ogrd_fuel) ogrd_fuel->OcultarCajas();
}

void frmKAVRIN::Form_QueryUnload() {
    link_.Shutdown();
}

void frmKAVRIN::Form_Terminate() {
    port_.CloseComPort();
}

void frmKAVRIN::mnMode_Click(int k) {
    if (k != 0 && k != 1) return;
    for (grid* g : {ogrd_fuel.get(), ogrd_ign.get(), ogrd3.get(), ogrd4.get()})
        if (g) g->OcultarCajas();
    for (int i = 0; i < 2; ++i)
        if (view_.mnMode[i]) view_.mnMode[i]->SetChecked(i == k);
    DataFormat = static_cast<DataFormatMode>(k);
    if (linkState.flags.suppressWrites) return;
    LayoutMaps();
    ShowConfig();
    platform_.settings.SaveSetting(kAppName, "main", "raw_mode", DecimalText(k));
}

void frmKAVRIN::SizeConfig() {
    config.SizeImage();
    configView_.SizeGrids();
    LayoutMaps();
}

grid* frmKAVRIN::editor(int table) const {
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
    if (!view_.window || !control || !box) return nullptr;
    auto editor = std::make_unique<grid>(linkState.flags, platform_.settings);
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
        if (!view_.window || !control || !box) return;
        if (editor)
            editor->inicializar(*view_.window, *control, *box);
        else
            editor = MakeEditor(control, box, validate);
    };
    bind(ogrd_fuel, view_.grd_fuel, view_.txtgrd_fuel, &MapCellHandlers::ogrd_fuel_ValidarCelda);
    bind(ogrd_ign, view_.grd_ign, view_.txtgrd_ign, &MapCellHandlers::ogrd_ign_ValidarCelda);
    bind(ogrd3, view_.grd3, view_.txtgrd3, &MapCellHandlers::ogrd3_ValidarCelda);
    bind(ogrd4, view_.grd4, view_.txtGrd4, &MapCellHandlers::ogrd4_ValidarCelda);
    if (ogrd_fuel) ogrd_fuel->events.OcultarCajas = [this] { view_.window->SetKeyPreview(true); };
    // A box left open would take keys that an idle editor never commits.
    for (grid* g : {ogrd_fuel.get(), ogrd_ign.get(), ogrd3.get(), ogrd4.get()})
        if (g) g->OcultarCajas();
}

void frmKAVRIN::LoadLanguageFile() {
    texts.charset = 0;
    const auto content =
        platform_.files.ReadFile(platform_.programFolder + "/" + languageName + ".lan");
    if (!content) {
        std::string upper = languageName;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        Messages(view_).Warning("file: " + upper + ".LAN not found!");
        return;
    }
    texts.Load(*content);
}

void frmKAVRIN::RebuildPortMenu() {
    PortMenu* menu = view_.portMenu;
    if (menu) menu->RemoveExtraItems();
    const std::vector<std::string> list = platform_.ports.ListComPorts();
    linkState.currentPort =
        RoundToInt16(ReadNumber(platform_.settings.GetSetting(kAppName, "main", "commport", "1")));
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

void frmKAVRIN::ApplyTabCaptions() {
    const int entries[] = {13, 14, 66, 65, 40, 41};
    for (int i = 0; i < 6; ++i)
        if (view_.tabCaptions[i] && !texts.Text(entries[i]).empty())
            view_.tabCaptions[i]->SetText(texts.Text(entries[i]));
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
}

void frmKAVRIN::TrackLiveCell() {
    tracker_.TrackLiveCell();
}

void frmKAVRIN::HideLiveMarkers() {
    if (view_.p) view_.p->SetVisible(false);
    if (view_.p2) view_.p2->SetVisible(false);
}

void frmKAVRIN::SetGridBackground(Colour colour) {
    for (GridControl* g : {view_.grd_fuel, view_.grd_ign, view_.grd3, view_.grd4})
        if (g) g->SetBackColor(colour);
}

void frmKAVRIN::SetChannelControlsColour(Colour colour) {
    const ChannelControls& ch = view_.channels;
    for (int n = 0; n < kMeasuredChannels; ++n)
        for (Control* c : {static_cast<Control*>(ch.chk[n]), ch.lblvalor[n], ch.txtEscala[n]})
            if (c) c->SetForeColour(colour);
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
    if (panel >= 1 && panel <= 5 && view_.counterPanels[panel - 1])
        view_.counterPanels[panel - 1]->SetText(text);
}

void frmKAVRIN::SetConnectionText(const std::string& text) {
    if (view_.connection) view_.connection->SetText(text);
}

void frmKAVRIN::SetConnectionPicture(bool connected) {
    if (view_.connection) view_.connection->SetConnectedPicture(connected);
}

void frmKAVRIN::ShowPortMessage(const std::string& text) {
    Messages(view_).Exclamation(text);
}

} // namespace kavrin

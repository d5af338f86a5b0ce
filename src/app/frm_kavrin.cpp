#include "frm_kavrin.h"

#include <algorithm>
#include <cctype>

namespace kavrin {

frmKAVRIN::frmKAVRIN(MainView& view, Platform platform)
    : view_(view), platform_(std::move(platform)), port_(platform_.serial, platform_.ports),
      link_(port_, platform_.clock, linkState, config, *this, platform_.settings, texts) {}

void frmKAVRIN::Form_Load() {
    LinkFlags& flags = linkState.flags;
    flags.suppressWrites = true;

    SettingsStore& settings = platform_.settings;
    languageName = settings.GetSetting(kAppName, "main", "language", "English");
    LoadLanguageFile();
    DataFormat = RoundToInt16(ReadNumber(settings.GetSetting(kAppName, "main", "raw_mode", "0")));
    for (int k = 0; k < 2; ++k)
        if (view_.mnMode[k]) view_.mnMode[k]->SetChecked(k == DataFormat);
    RebuildPortMenu();
    std::int16_t port = RoundToInt16(ReadNumber(settings.GetSetting(kAppName, "main", "com", "1")));
    link_.AbrirPuerto(port, false);

    config.MapCols = 15;
    config.MapRows = 11;
    config.EngTempCells = 14;
    config.AirTempCells = 7;
    SizeConfig();

    link_.SendConfigRequest();
    flags.suppressWrites = false;
    link_.ShowLinkCounters();
}

void frmKAVRIN::Form_QueryUnload() {
    link_.Shutdown();
}

void frmKAVRIN::Form_Terminate() {
    port_.CloseComPort();
}

void frmKAVRIN::SizeConfig() {
    config.SizeImage();
    LayoutMaps();
}

void frmKAVRIN::LoadLanguageFile() {
    texts.charset = 0;
    const auto content =
        platform_.files.ReadFile(platform_.programFolder + "/" + languageName + ".lan");
    if (!content) {
        std::string upper = languageName;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (view_.messages) view_.messages->Warning("file: " + upper + ".LAN not found!");
        return;
    }
    texts.Load(*content);
}

void frmKAVRIN::RebuildPortMenu() {
    linkState.currentPort =
        RoundToInt16(ReadNumber(platform_.settings.GetSetting(kAppName, "main", "commport", "1")));
}

void frmKAVRIN::ShowConfig() {}

void frmKAVRIN::LayoutMaps() {}

void frmKAVRIN::ShowChannel(std::int16_t channel, std::int32_t value) {
    if (channel < 0 || channel > 16) return;
    LastValues[channel] = value;
}

void frmKAVRIN::TrackLiveCell() {}

void frmKAVRIN::HideLiveMarkers() {}

void frmKAVRIN::SetGridBackground(Colour) {}

void frmKAVRIN::SetChannelControlsColour(Colour) {}

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
    if (view_.messages) view_.messages->Exclamation(text);
}

} // namespace kavrin

// The whole window's logic with every control faked: what the user sees and
// what goes on the wire when dumps, echoes, edits and keys meet.
#include "app/frm_kavrin.h"
#include "support/fake_link_host.h"
#include "support/fake_main_view.h"
#include "support/fake_serial_device.h"
#include "support/link_rig.h"
#include "support/memory_file_system.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

// A configuration like the simulated ECU's: fuel rising with speed and
// throttle, THR MIN 20, THR MAX 220, EFI factor 100.
std::vector<std::uint8_t> Tune() {
    std::vector<std::uint8_t> image(214, 0);
    for (int i = 0; i < 165; ++i) image[i] = static_cast<std::uint8_t>(40 + i);
    for (int i = 165; i < 180; ++i) image[i] = 28;
    for (int i = 180; i < 201; ++i) image[i] = 128;
    image[205] = 20;
    image[206] = 220;
    image[207] = 129;
    image[208] = 24;
    image[209] = 100;
    return image;
}

struct Window : FakeMainView {
    Window() {
        files.files["/prog/English.lan"] = NumberedLanguageFile();
        frm = std::make_unique<frmKAVRIN>(
            view, Platform{device, ports, clock, settings, files, "/prog"}, chart);
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) frm->tmrcom_Timer();
    }
    // Loads the window, connects and receives the tune.
    void Connect() {
        frm->Form_Load();
        device.ClearWritten();
        device.Feed(Dump(Tune()));
        Tick(2);
        ASSERT_TRUE(frm->linkState().flags.online);
        ASSERT_TRUE(frm->linkState().flags.configValid);
    }
    // Echoes every write message on the wire back as the ECU would.
    void EchoWrites() {
        const auto& w = device.written;
        for (std::size_t i = 0; i + 3 < w.size(); i += 4)
            if (w[i] == 'M')
                device.Feed(Frame('M', static_cast<std::uint16_t>(w[i + 2] << 8 | w[i + 1])));
        device.ClearWritten();
        Tick();
    }

    FakeClock clock;
    FakeSerialDevice device{&clock};
    FakePortDirectory ports;
    MemorySettingsStore settings;
    MemoryFileSystem files;
    std::unique_ptr<frmKAVRIN> frm;
};

TEST(Window, StartUpOpensTheStoredPortAndAsksForTheConfiguration) {
    Window w;
    w.settings.SaveSetting("kavrin", "main", "com", "3");
    w.settings.SaveSetting("kavrin", "main", "raw_mode", "1");
    w.frm->Form_Load();
    EXPECT_EQ(w.device.openName, "fake:3");
    EXPECT_EQ(w.device.WrittenText(), "RG");
    EXPECT_FALSE(w.frm->linkState().flags.suppressWrites);
    EXPECT_TRUE(w.com3.checked);
    EXPECT_FALSE(w.com1.checked);
    EXPECT_EQ(w.frm->state().DataFormat, kFormattedData);
    EXPECT_TRUE(w.formatted.checked);
    EXPECT_FALSE(w.raw.checked);
    EXPECT_EQ(w.panels[0].text, "T77 0");
    EXPECT_EQ(w.panels[4].text, "T81 0");
    EXPECT_EQ(w.connection.text, "T72");
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_EQ(w.frm->config().ConfigImage.size(), 215);

    w.device.ClearWritten();
    w.frm->Form_QueryUnload();
    EXPECT_EQ(w.device.WrittenText(), "S");
    EXPECT_FALSE(w.device.isOpen);
    w.frm->Form_Terminate();
    EXPECT_EQ(w.device.closes, 1);
}

TEST(Window, AMissingPortOrLanguageFileIsSaidOnceAtStart) {
    Window w;
    w.device.missing = {"fake:1"};
    w.settings.SaveSetting("kavrin", "main", "language", "Klingon");
    w.frm->Form_Load();
    EXPECT_EQ(w.messages.shown,
              (std::vector<std::string>{"file: KLINGON.LAN not found!", "COM1 "}));
    EXPECT_EQ(w.frm->state().DataFormat, kRawData);
    EXPECT_TRUE(w.raw.checked);
    w.Tick(250);
    EXPECT_EQ(w.messages.shown.size(), 2u) << "later retries are quiet";
    EXPECT_EQ(w.frm->linkState().counters.timeouts, 2);
}

TEST(Window, DumpFillsTablesFieldsAndHeaders) {
    Window w;
    w.Connect();
    EXPECT_EQ(w.grd_fuel.Rows(), 12);
    EXPECT_EQ(w.grd_fuel.Cols(), 16);
    EXPECT_EQ(w.grd_fuel.TextMatrix(1, 1), "40");
    EXPECT_EQ(w.grd_fuel.CellForeColorAt(1, 1), Rgb(0, 0, 0));
    EXPECT_EQ(w.grd_fuel.CellForeColorAt(11, 15), Rgb(210, 128, 0)); // byte 204
    EXPECT_EQ(w.grd_fuel.TextMatrix(11, 15), "204");
    EXPECT_EQ(w.grd_fuel.TextMatrix(0, 3), "3000");
    EXPECT_EQ(w.grd_fuel.TextMatrix(2, 0), "32"); // raw throttle header with THR MIN 20
    EXPECT_EQ(w.grd_ign.TextMatrix(1, 1), "28");
    EXPECT_EQ(w.grd3.TextMatrix(1, 1), "128");
    EXPECT_EQ(w.fields[4].text, "20");
    EXPECT_EQ(w.fields[7].text, "100");
    EXPECT_TRUE(w.options[0].checked);
    EXPECT_TRUE(w.options[7].checked);
    EXPECT_FALSE(w.options[3].checked);
    EXPECT_EQ(w.grd_fuel.backColor, Rgb(255, 255, 255));
    EXPECT_EQ(w.lblFuelMap.text, "T67 1 (raw)");
    EXPECT_TRUE(w.device.written.empty()) << "filling the boxes wrote nothing back";

    // The display mode switches every table and field at once and is kept.
    w.frm->mnMode_Click(1);
    EXPECT_EQ(w.grd_fuel.TextMatrix(1, 1), "3.20");
    EXPECT_EQ(w.grd_ign.TextMatrix(1, 1), "9.8");
    EXPECT_EQ(w.grd_fuel.TextMatrix(1, 0), "0.0%");
    EXPECT_EQ(w.fields[6].text, "6000");
    EXPECT_EQ(w.lblFuelMap.text, "T67 1 (ms)");
    EXPECT_TRUE(w.formatted.checked);
    EXPECT_EQ(w.settings.Get("main", "raw_mode"), "1");
}

TEST(Window, OfflineEditsChangeOnlyTheImage) {
    Window w;
    w.frm->Form_Load();
    w.device.ClearWritten();
    w.grd_ign.ClickCell(1, 4);
    w.txtgrd_ign.Type("300");
    w.txtgrd_ign.PressKey(13);
    EXPECT_EQ(w.frm->config().ConfigImage[165 + 3], 255);
    EXPECT_EQ(w.grd_ign.TextMatrix(1, 4), "255");
    w.fields[0].text = "77";
    w.frm->parameters().txtCompensation_Validate();
    EXPECT_EQ(w.frm->config().ConfigImage[201], 77);
    EXPECT_TRUE(w.device.written.empty());
}

TEST(Window, LiveFramesShowValuesAndTheLinkColours) {
    Window w;
    w.frm->Form_Load();
    EXPECT_EQ(w.lblvalor[0].foreColour, Rgb(192, 192, 192));
    EXPECT_EQ(w.grd_fuel.backColor, Rgb(224, 224, 224));
    w.device.Feed(Frame('0', 1024));
    w.device.Feed(Frame('@', 9));
    w.Tick(2);
    EXPECT_EQ(w.lblvalor[0].text, "1024");
    EXPECT_EQ(w.lblvalor[0].foreColour, Rgb(0, 0, 255));
    EXPECT_EQ(w.indicators[0].backColour, Rgb(0, 0, 255));
    EXPECT_EQ(w.indicators[1].text, "HL");
    EXPECT_EQ(w.frm->state().LastValues[0], 1024);
    EXPECT_EQ(w.chart.advances, 1);
    EXPECT_EQ(w.grd_fuel.backColor, Rgb(255, 255, 255));
}

} // namespace
} // namespace kavrin::test

namespace kavrin::test {
namespace {

TEST(Window, ADumpDecodedWhileABoxOpensLeavesTheEditorWhole) {
    Window w;
    w.Connect();
    const grid* before = w.frm->editor(0);
    // The editor lets pending events run while it opens the box; a dump
    // arrives and is decoded meanwhile, which lays the maps out again.
    w.owner.onDoEvents = [&] {
        w.owner.onDoEvents = nullptr;
        w.device.Feed(Dump(Tune()));
        w.Tick();
    };
    w.grd_fuel.ClickCell(2, 3);
    EXPECT_EQ(w.frm->editor(0), before);
    // The click's own opening came after the layout; the editor still works.
    ASSERT_TRUE(w.txtgrd_fuel.visible);
    w.device.ClearWritten();
    w.txtgrd_fuel.Type("9");
    w.txtgrd_fuel.PressKey(13);
    EXPECT_EQ(w.device.written.size(), 4u);
}

} // namespace
} // namespace kavrin::test

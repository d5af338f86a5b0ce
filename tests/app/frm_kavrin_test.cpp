#include "app/frm_kavrin.h"
#include "support/fake_controls.h"
#include "support/fake_link_host.h"
#include "support/fake_serial_device.h"
#include "support/memory_file_system.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

class NullChart final : public LiveChart {
public:
    void PlotPoint(std::int16_t, float, Colour, bool) override {}
    void Advance() override {}
};

struct WindowRig {
    WindowRig() {
        files.files["/prog/English.lan"] = NumberedLanguageFile();
        for (int k = 0; k < 5; ++k) view.counterPanels[k] = &panels[k];
        view.connection = &connection;
        view.messages = &messages;
        view.mncom = {&com1, &com3};
        view.mnMode = {&raw, &formatted};
    }
    FakeClock clock;
    FakeSerialDevice device{&clock};
    FakePortDirectory ports;
    MemorySettingsStore settings;
    MemoryFileSystem files;
    FakeControl panels[5];
    FakeConnectionPanel connection;
    FakeMessageBoxes messages;
    FakeControl com1{"COM1"}, com3{"COM3"}, raw, formatted;
    MainView view;
    NullChart chart;
    frmKAVRIN frm{view, Platform{device, ports, clock, settings, files, "/prog"}, chart};
};

TEST(frmKAVRIN, StartUpOpensTheStoredPortAndAsksForTheConfiguration) {
    WindowRig rig;
    rig.settings.SaveSetting("kavrin", "main", "com", "3");
    rig.settings.SaveSetting("kavrin", "main", "raw_mode", "1");
    rig.frm.Form_Load();
    EXPECT_EQ(rig.device.openName, "fake:3");
    EXPECT_EQ(rig.device.WrittenText(), "RG");
    EXPECT_FALSE(rig.frm.linkState.flags.suppressWrites);
    EXPECT_TRUE(rig.com3.checked);
    EXPECT_FALSE(rig.com1.checked);
    EXPECT_EQ(rig.frm.DataFormat, kFormattedData);
    EXPECT_TRUE(rig.formatted.checked);
    EXPECT_FALSE(rig.raw.checked);
    EXPECT_EQ(rig.panels[0].text, "T77 0");
    EXPECT_EQ(rig.panels[4].text, "T81 0");
    EXPECT_EQ(rig.connection.text, "T72");
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.frm.config.ImageLast, 214);
    EXPECT_EQ(rig.frm.config.ConfigImage.size(), 215);
}

TEST(frmKAVRIN, FirstRunOpensComOneAndAMissingPortSaysSoOnce) {
    WindowRig rig;
    rig.device.missing = {"fake:1"};
    rig.frm.Form_Load();
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0], "COM1 T71");
    EXPECT_EQ(rig.connection.text, "T73");
    EXPECT_EQ(rig.frm.DataFormat, kRawData);
    EXPECT_TRUE(rig.raw.checked);
    for (int i = 0; i < 250; ++i) rig.frm.tmrcom_Timer();
    EXPECT_EQ(rig.messages.shown.size(), 1u); // later retries are quiet
    EXPECT_EQ(rig.frm.linkState.counters.timeouts, 2);
}

TEST(frmKAVRIN, MissingLanguageFileIsReported) {
    WindowRig rig;
    rig.settings.SaveSetting("kavrin", "main", "language", "Klingon");
    rig.frm.Form_Load();
    ASSERT_FALSE(rig.messages.shown.empty());
    EXPECT_EQ(rig.messages.shown[0], "file: KLINGON.LAN not found!");
}

TEST(frmKAVRIN, ClosingSendsStopBeforeThePortCloses) {
    WindowRig rig;
    rig.frm.Form_Load();
    rig.device.ClearWritten();
    rig.frm.Form_QueryUnload();
    EXPECT_EQ(rig.device.WrittenText(), "S");
    EXPECT_FALSE(rig.device.isOpen);
    rig.frm.Form_Terminate();
    EXPECT_EQ(rig.device.closes, 1);
}

TEST(frmKAVRIN, LiveValuesAreKeptPerChannel) {
    WindowRig rig;
    rig.frm.ShowChannel(5, 120);
    rig.frm.ShowChannel(17, 1);
    rig.frm.ShowChannel(-2, 1);
    EXPECT_EQ(rig.frm.LastValues[5], 120);
    EXPECT_EQ(rig.frm.LastValues[17], 0);
}

} // namespace
} // namespace kavrin::test

// The main window's own menu items and keys, the tab captions, and the chart
// and live-cell views as the window drives them.
#include "app/frm_kavrin.h"
#include "support/fake_link_host.h"
#include "support/fake_main_view.h"
#include "support/fake_serial_device.h"
#include "support/link_rig.h"
#include "support/memory_file_system.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavrin::test {
namespace {

struct Marker final : FakeControl {
    void Move(int l, int t) override {
        left = l;
        top = t;
    }
    int left = -1, top = -1;
};

struct StartCountingChart final : LiveChart {
    void PlotPoint(std::int16_t, float, Colour, bool) override {}
    void Advance() override {}
    void Start() override { ++starts; }
    int starts = 0;
};

struct Shell : FakeMainView {
    Shell() {
        view.p = &p;
        view.p2 = &p2;
        for (int i = 0; i < 6; ++i) view.tabCaptions[i] = &tabs[i];
        view.unload = [this] {
            frm->Form_QueryUnload();
            unloadedAfter = device.WrittenText();
            portOpenAtClose = device.isOpen;
            ++unloads;
        };
        files.files["/prog/English.lan"] = NumberedLanguageFile();
        frm = std::make_unique<frmKAVRIN>(
            view, Platform{device, ports, clock, settings, files, "/prog"}, startChart);
        frm->Form_Load();
        device.ClearWritten();
    }

    Marker p, p2;
    FakeControl tabs[6];
    StartCountingChart startChart;
    FakeClock clock;
    FakeSerialDevice device{&clock};
    FakePortDirectory ports;
    MemorySettingsStore settings;
    MemoryFileSystem files;
    std::unique_ptr<frmKAVRIN> frm;
    std::string unloadedAfter;
    bool portOpenAtClose = true;
    int unloads = 0;
};

TEST(WindowMenus, EscapeAndExitSendStopThenClose) {
    for (bool escape : {true, false}) {
        Shell s;
        if (escape) {
            EXPECT_EQ(s.owner.PressKey(27), 0);
        } else {
            s.frm->mnExit_Click();
        }
        EXPECT_EQ(s.unloads, 1);
        EXPECT_EQ(s.unloadedAfter, "S");
        EXPECT_FALSE(s.portOpenAtClose);
    }
}

TEST(WindowMenus, EscapeWhileABoxIsOpenBelongsToTheBox) {
    Shell s;
    s.owner.keyPreview = false; // an editing box has the keys
    s.owner.PressKey(27);
    EXPECT_EQ(s.unloads, 0);
}

TEST(WindowMenus, AboutChangesNothing) {
    Shell s;
    auto bytes = [&s] {
        std::vector<int> b;
        for (int i = 0; i < s.frm->config.ConfigImage.size(); ++i)
            b.push_back(s.frm->config.ConfigImage[i]);
        return b;
    };
    const auto before = bytes();
    s.frm->mnAbout_Click();
    EXPECT_TRUE(s.device.written.empty());
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(s.unloads, 0);
}

TEST(WindowMenus, TabCaptionsComeFromTheLanguage) {
    Shell s;
    const char* expected[] = {"T13", "T14", "T66", "T65", "T40", "T41"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(s.tabs[i].text, expected[i]) << i;
    std::string file = NumberedLanguageFile();
    file.replace(file.find("13;T13"), 6, "13;Kanaele I");
    s.frm->texts.Load(file);
    s.frm->ApplyTabCaptions();
    EXPECT_EQ(s.tabs[0].text, "Kanaele I");
}

TEST(WindowMenus, LoadDrawsTheEmptyChartOnce) {
    Shell s;
    EXPECT_EQ(s.startChart.starts, 1);
}

TEST(WindowMenus, EveryLinkTickMovesTheMarkersAndTheTint) {
    Shell s;
    s.grd_fuel.left = 100;
    s.grd_fuel.top = 200;
    s.grd_ign.top = 500;
    s.frm->LastValues[0] = 3072;
    s.frm->ThrottlePercent = 50;
    s.frm->tmrcom_Timer();
    // Positions follow the fuel map's own column width and row geometry.
    const double column = s.grd_fuel.ColWidth(1) / 15.0;
    EXPECT_EQ(s.frm->LiveCol, 3);
    EXPECT_EQ(s.frm->LiveRow, 7);
    EXPECT_EQ(s.p.left, static_cast<int>(std::nearbyint(3 * column + 102)));
    EXPECT_EQ(s.p.top, static_cast<int>(std::nearbyint(200 + s.grd_fuel.RowPos(1) / 15.0 +
                                                       6 * s.grd_fuel.RowHeight(1) / 15.0 + 2)));
    EXPECT_TRUE(s.p.visible);
    EXPECT_EQ(s.p2.top, 500 + 16 + 8);
    EXPECT_EQ(s.grd_fuel.CellBackColorAt(7, 3), Rgb(255, 208, 208));
    // A block selected in the fuel map holds the tint where it is.
    s.grd_fuel.DragBlock(1, 1, 2, 2);
    s.frm->LastValues[0] = 5120;
    s.frm->tmrcom_Timer();
    EXPECT_EQ(s.grd_fuel.CellBackColorAt(7, 3), Rgb(255, 208, 208));
    EXPECT_EQ(s.grd_fuel.CellBackColorAt(7, 5), 0u);
    EXPECT_EQ(s.p.left, static_cast<int>(std::nearbyint(5 * column + 102)));
    EXPECT_EQ(s.grd_fuel.RowSel(), 2);
}

} // namespace
} // namespace kavrin::test

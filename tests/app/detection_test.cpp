// The "Comm" menu and the automatic detection window against the whole
// window logic: fake ports, a fake clock, both windows' timers run by hand.
#include "app/frm_kavrin.h"
#include "support/fake_link_host.h"
#include "support/fake_main_view.h"
#include "support/fake_serial_device.h"
#include "support/link_rig.h"
#include "support/memory_file_system.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace kavrin::test {
namespace {

class FakePortMenu final : public PortMenu {
public:
    void RemoveExtraItems() override {
        while (items.size() > 1) items.pop_back();
    }
    CheckControl* Item(int i) override {
        while (static_cast<int>(items.size()) < i) items.push_back(std::make_unique<FakeControl>());
        return items[i - 1].get();
    }
    FakeControl& at(int i) { return static_cast<FakeControl&>(*items.at(i - 1)); }
    std::deque<std::unique_ptr<FakeControl>> items = [] {
        std::deque<std::unique_ptr<FakeControl>> d;
        d.push_back(std::make_unique<FakeControl>("com1"));
        return d;
    }();
};

class FakeAutoView final : public AutoDetectView {
public:
    FakeAutoView() { labels.push_back(std::make_unique<FakeControl>("COM1")); }
    void SetCaption(const std::string& text) override { caption = text; }
    Control& AgainButton() override { return again; }
    Control& CloseButton() override { return close; }
    void SetAgainEnabled(bool enabled) override { againEnabled = enabled; }
    Control& Status() override { return status; }
    void SetStatusBold(bool b) override { bold = b; }
    int PortLabelCount() const override { return static_cast<int>(labels.size()); }
    Control& PortLabel(int i) override {
        while (PortLabelCount() < i) labels.push_back(std::make_unique<FakeControl>());
        return *labels[i - 1];
    }
    void PlacePortLabel(int i, int topTwips) override { tops[i] = topTwips; }
    void SetTimer(bool enabled, int intervalMs) override {
        timerOn = enabled;
        interval = intervalMs;
        dueAt = now + intervalMs;
    }
    void Close() override {
        closed = true;
        timerOn = false;
    }
    FakeControl& label(int i) { return *labels.at(i - 1); }

    std::string caption;
    FakeControl again{"Again"}, close{"Close"}, status{"..."};
    bool againEnabled = true;
    bool bold = false;
    std::vector<std::unique_ptr<FakeControl>> labels;
    std::map<int, int> tops;
    bool timerOn = false;
    int interval = 1500;
    std::int64_t now = 0;
    std::int64_t dueAt = 0;
    bool closed = false;
};

struct Desk : FakeMainView {
    Desk() {
        view.portMenu = &menu;
        files.files["/prog/English.lan"] = NumberedLanguageFile();
        frm = std::make_unique<frmKAVRIN>(
            view, Platform{device, ports, clock, settings, files, "/prog"}, chart);
    }
    // The ECU streams live frames on port ecuPort while that port is open.
    void Run(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 50) {
            clock.Advance(50);
            elapsed += 50;
            if (device.isOpen && device.openName == "fake:" + std::to_string(ecuPort))
                device.Feed(Frame('0', 2048));
            frm->tmrcom_Timer();
            if (elapsed % 1000 == 0) frm->Timer2_Timer();
            if (detector && autoView.timerOn) {
                autoView.now = elapsed;
                if (elapsed >= autoView.dueAt) {
                    autoView.dueAt = elapsed + autoView.interval;
                    detector->Timer1_Timer();
                }
            }
        }
    }
    void Auto() {
        autoView = FakeAutoView{};
        autoView.now = elapsed;
        detector = std::make_unique<frmAuto>(autoView, frm->detectionHost(), ports, frm->texts());
        detector->Form_Load();
    }

    FakePortMenu menu;
    FakeClock clock;
    FakeSerialDevice device{&clock};
    FakePortDirectory ports;
    MemorySettingsStore settings;
    MemoryFileSystem files;
    std::unique_ptr<frmKAVRIN> frm;
    FakeAutoView autoView;
    std::unique_ptr<frmAuto> detector;
    int ecuPort = 0;
    std::int64_t elapsed = 0;
};

TEST(PortMenu, OneItemPerListedPortWithTheOpenOneChecked) {
    Desk d;
    d.ports.ports = {"COM1", "COM3", std::string("COM4\0", 5)};
    d.settings.SaveSetting("kavrin", "main", "com", "3");
    d.frm->Form_Load();
    ASSERT_EQ(d.view.mncom.size(), 3u);
    EXPECT_EQ(d.menu.at(1).text, "COM1");
    EXPECT_EQ(d.menu.at(3).text, "COM4");
    EXPECT_FALSE(d.menu.at(1).checked);
    EXPECT_TRUE(d.menu.at(2).checked);
    d.frm->mncom_Click(3);
    EXPECT_EQ(d.device.openName, "fake:4");
    EXPECT_TRUE(d.menu.at(3).checked);
    EXPECT_FALSE(d.menu.at(2).checked);
    EXPECT_EQ(d.settings.GetSetting("kavrin", "main", "com", ""), "4");
    EXPECT_TRUE(d.messages.shown.empty());
}

TEST(PortMenu, NoListedPortKeepsCom1) {
    Desk d;
    d.ports.ports = {};
    d.frm->Form_Load();
    ASSERT_EQ(d.view.mncom.size(), 1u);
    EXPECT_EQ(d.menu.at(1).text, "com1");
    EXPECT_TRUE(d.menu.at(1).checked);
}

TEST(PortMenu, ListedPortThatIsGoneShowsTheMessage) {
    Desk d;
    d.ports.ports = {"COM1", "COM7"};
    d.frm->Form_Load();
    d.device.missing.insert("fake:7");
    d.frm->mncom_Click(2);
    ASSERT_EQ(d.messages.shown.size(), 1u);
    EXPECT_EQ(d.messages.shown[0], "COM7 T71");
    EXPECT_FALSE(d.menu.at(1).checked);
    EXPECT_FALSE(d.menu.at(2).checked);
    EXPECT_EQ(d.frm->linkState().currentPort, 1);
    d.frm->mncom_Click(9); // no such item
    EXPECT_EQ(d.messages.shown.size(), 1u);
}

TEST(Detection, FindsTheEcuOnTheLastOfThreePorts) {
    Desk d;
    d.ports.ports = {"COM1", "COM3", "COM4"};
    d.device.missing.insert("fake:3");
    d.ecuPort = 4;
    d.frm->Form_Load();
    d.Auto();
    EXPECT_EQ(d.autoView.caption, "T82");
    EXPECT_EQ(d.autoView.status.text, "T85");
    EXPECT_EQ(d.autoView.label(1).text, "COM1   T88");
    EXPECT_EQ(d.autoView.tops[3], 1200);
    EXPECT_FALSE(d.autoView.againEnabled);
    d.Run(1500);
    EXPECT_EQ(d.autoView.label(1).text, "COM1   T90");
    EXPECT_EQ(d.autoView.label(1).foreColour, Rgb(2, 0, 0));
    EXPECT_EQ(d.autoView.label(2).text, "COM3   T89");
    EXPECT_EQ(d.autoView.label(2).foreColour, Rgb(255, 0, 0));
    d.Run(3000);
    EXPECT_EQ(d.autoView.label(3).text, "COM4   T74");
    EXPECT_EQ(d.autoView.label(3).foreColour, Rgb(0, 255, 0));
    EXPECT_EQ(d.autoView.status.text, "T91 4");
    EXPECT_EQ(d.autoView.status.foreColour, Rgb(0, 255, 0));
    EXPECT_TRUE(d.autoView.bold);
    EXPECT_TRUE(d.autoView.againEnabled);
    EXPECT_EQ(d.autoView.interval, 5000);
    EXPECT_FALSE(d.autoView.closed);
    d.Run(5000);
    EXPECT_TRUE(d.autoView.closed);
    // The found port stays open, checked and stored.
    EXPECT_EQ(d.device.openName, "fake:4");
    EXPECT_TRUE(d.device.isOpen);
    EXPECT_TRUE(d.menu.at(3).checked);
    EXPECT_FALSE(d.menu.at(1).checked);
    EXPECT_EQ(d.settings.GetSetting("kavrin", "main", "com", ""), "4");
    EXPECT_TRUE(d.frm->linkState().flags.online);
    EXPECT_TRUE(d.messages.shown.empty());
    // Each probe that opened a port sent "S" after the open's "R".
    EXPECT_NE(d.device.opened.size(), 0u);

    // The next "Auto" is a fresh window: not found, 1.5 s again.
    d.Auto();
    EXPECT_FALSE(d.detector->found());
    EXPECT_EQ(d.autoView.interval, 1500);
}

TEST(Detection, NoEcuAnywhereEndsRedWithAgainEnabled) {
    Desk d;
    d.ports.ports = {"COM1", "COM2", "COM5"};
    d.device.missing.insert("fake:5");
    d.frm->Form_Load();
    d.Auto();
    d.Run(4500);
    EXPECT_EQ(d.autoView.label(1).text, "COM1   T90");
    EXPECT_EQ(d.autoView.label(2).text, "COM2   T90");
    EXPECT_EQ(d.autoView.label(3).text, "COM5   T89");
    EXPECT_EQ(d.autoView.status.text, "T86");
    EXPECT_EQ(d.autoView.status.foreColour, Rgb(255, 0, 0));
    EXPECT_TRUE(d.autoView.againEnabled);
    EXPECT_FALSE(d.autoView.timerOn);
    EXPECT_FALSE(d.autoView.closed);
    EXPECT_FALSE(d.detector->found());
    // The last port that opened stays the window's port.
    EXPECT_EQ(d.frm->linkState().currentPort, 2);
    EXPECT_TRUE(d.messages.shown.empty());
}

TEST(Detection, SecondRunAfterTheListShrankStillTriesTheOldLabels) {
    Desk d;
    d.ports.ports = {"COM1", "COM2", "COM6"};
    d.frm->Form_Load();
    d.Auto();
    d.Run(4500);
    ASSERT_EQ(d.autoView.status.text, "T86");
    d.ports.ports = {"COM2"};
    d.device.missing.insert("fake:6");
    d.detector->cmdAgain_Click();
    EXPECT_EQ(d.autoView.label(1).text, "COM2   T88");
    EXPECT_TRUE(d.autoView.label(1).visible);
    EXPECT_FALSE(d.autoView.label(2).visible);
    d.Run(4500);
    // Labels 2 and 3 kept their ports from the first run and were probed hidden.
    EXPECT_EQ(d.autoView.label(2).text, "COM2   T90");
    EXPECT_EQ(d.autoView.label(3).text, "COM6   T89");
    EXPECT_EQ(d.autoView.status.text, "T86");
}

TEST(Detection, EmptyListProbesPortOne) {
    Desk d;
    d.ports.ports = {};
    d.ecuPort = 1;
    d.frm->Form_Load();
    d.Auto();
    EXPECT_FALSE(d.autoView.label(1).visible);
    d.Run(1500);
    EXPECT_EQ(d.autoView.label(1).text, "COM   T74");
    EXPECT_TRUE(d.detector->found());
}

TEST(Detection, CloseAndEscapeUnloadTheWindow) {
    Desk d;
    d.frm->Form_Load();
    d.Auto();
    d.detector->Form_KeyDown(13);
    EXPECT_FALSE(d.autoView.closed);
    d.detector->Form_KeyDown(27);
    EXPECT_TRUE(d.autoView.closed);
    d.Auto();
    d.detector->cmdClose_Click();
    EXPECT_TRUE(d.autoView.closed);
}

} // namespace
} // namespace kavrin::test

// The automatic detection window against its host and its view, its timer run
// by hand on a clock of the test's own.
#include "serial/frm_auto.h"
#include "support/fake_controls.h"
#include "support/fake_link_host.h"
#include "support/fake_serial_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace kavrin::test {
namespace {

// Ports that fail to open, and the one the ECU answers on once it is open.
struct Host final : DetectionHost {
    void AbrirPuerto(std::int16_t& port, bool) override {
        open = missing.count(port) ? 0 : port ? port : 1;
        requested.push_back(port);
    }
    bool PortOpen() const override { return open != 0; }
    bool DataReceived() const override { return data; }
    void ClearDataReceived() override { data = false; }
    void SendString(std::string_view text) override { sent += text; }
    PortDiagnosis WhyNotOpen() const override { return {}; }
    std::set<int> missing;
    int ecu = -1;
    int open = 0;
    bool data = false;
    std::string sent;
    std::vector<int> requested;
};

struct View final : AutoDetectView {
    View() { labels.push_back(std::make_unique<FakeControl>("COM1")); }
    void SetCaption(const std::string&) override {}
    Control& AgainButton() override { return again; }
    Control& CloseButton() override { return close; }
    void SetAgainEnabled(bool enabled) override { againEnabled = enabled; }
    Control& Status() override { return status; }
    void SetStatusBold(bool b) override { bold = b; }
    int PortLabelCount() const override { return static_cast<int>(labels.size()); }
    Control& PortLabel(int i) override {
        while (PortLabelCount() < i) labels.push_back(std::make_unique<FakeControl>());
        return *labels[std::size_t(i - 1)];
    }
    void PlacePortLabel(int i, int top) override { tops[i] = top; }
    void DescribePortLabel(int, const std::string&) override {}
    void SetTimer(bool enabled, int ms) override {
        timerOn = enabled;
        interval = ms;
        dueAt = now + ms;
    }
    void Close() override {
        closed = true;
        timerOn = false;
    }
    FakeControl& label(int i) { return *labels.at(std::size_t(i - 1)); }

    FakeControl again, close, status;
    bool againEnabled = true, bold = false, timerOn = false, closed = false;
    std::vector<std::unique_ptr<FakeControl>> labels;
    std::map<int, int> tops;
    int interval = 0;
    std::int64_t now = 0, dueAt = 0;
};

struct Detection {
    explicit Detection(std::vector<std::string> list, std::set<int> missing = {}, int ecu = -1) {
        ports.ports = std::move(list);
        host.missing = std::move(missing);
        host.ecu = ecu;
        texts.Load(NumberedLanguageFile());
        frm.Form_Load();
    }
    // The ECU's frames arrive every 50 ms while its port is open.
    void Run(std::int64_t ms) {
        for (std::int64_t end = view.now + ms; view.now < end;) {
            view.now += 50;
            if (host.open == host.ecu) host.data = true;
            if (view.timerOn && view.now >= view.dueAt) {
                view.dueAt = view.now + view.interval;
                frm.Timer1_Timer();
            }
        }
    }
    std::vector<std::string> Labels() {
        std::vector<std::string> texts;
        for (auto& l : view.labels) texts.push_back(l->visible ? l->text : "(" + l->text + ")");
        return texts;
    }
    Host host;
    View view;
    FakePortDirectory ports;
    LanguageTexts texts;
    frmAuto frm{view, host, ports, texts};
};

TEST(Detection, ProbesEachPortInTurnAndStopsAtTheAnswer) {
    struct Case {
        int ecu;
        const char* status;
        std::set<int> missing;
        std::vector<std::string> ports, labels;
    };
    const Case cases[] = {
        {4,
         "T91 4",
         {3},
         {"COM1", "COM3", std::string("COM4\0", 5)},
         {"COM1   T90", "COM3   T89", "COM4   T74"}},
        {-1, "T86", {5}, {"COM1", "COM2", "COM5"}, {"COM1   T90", "COM2   T90", "COM5   T89"}},
        // Label 1 of an empty list has no number: the host opens its default.
        {1, "T91 ", {}, {}, {"(COM   T74)"}},
    };
    for (const Case& c : cases) {
        Detection d(c.ports, c.missing, c.ecu);
        SCOPED_TRACE(c.status);
        EXPECT_EQ(d.view.status.text, "T85");
        EXPECT_FALSE(d.view.againEnabled);
        d.Run(4500);
        EXPECT_EQ(d.Labels(), c.labels);
        EXPECT_EQ(d.view.status.text, c.status);
        EXPECT_EQ(d.view.status.foreColour, d.frm.found() ? frmAuto::kAnswered : frmAuto::kFailed);
        EXPECT_EQ(d.view.bold, d.frm.found());
        EXPECT_TRUE(d.view.againEnabled);
        EXPECT_FALSE(d.view.closed);
        d.Run(5000);
        EXPECT_EQ(d.view.closed, d.frm.found()) << "a found port closes the window after 5 s";
    }
}

TEST(Detection, ColoursPlacesTheProbeSentToAnOpenPortAndClose) {
    Detection d({"COM1", "COM3", "COM4"}, {3});
    EXPECT_EQ(d.view.tops[3], 1200);
    EXPECT_EQ(d.view.label(3).foreColour, frmAuto::kListed);
    EXPECT_EQ(d.host.sent, "S");
    d.Run(1500);
    EXPECT_EQ(d.view.label(1).foreColour, frmAuto::kNoAnswer);
    EXPECT_EQ(d.view.label(2).foreColour, frmAuto::kFailed);
    EXPECT_EQ(d.host.requested, (std::vector<int>{1, 3}));
    d.frm.Form_KeyDown(13);
    EXPECT_FALSE(d.view.closed) << "only Escape closes";
    d.frm.cmdClose_Click();
    EXPECT_TRUE(d.view.closed);
}

TEST(Detection, AgainAfterTheListShrankStillTriesTheOldLabelsHidden) {
    Detection d({"COM1", "COM2", "COM6"});
    d.Run(4500);
    ASSERT_EQ(d.view.status.text, "T86");
    d.ports.ports = {"COM2"};
    d.host.missing = {6};
    d.frm.cmdAgain_Click();
    d.Run(4500);
    EXPECT_EQ(d.Labels(), (std::vector<std::string>{"COM2   T90", "(COM2   T90)", "(COM6   T89)"}));
    EXPECT_EQ(d.view.status.text, "T86");
}

} // namespace
} // namespace kavrin::test

#include "support/link_rig.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

constexpr Colour kGrey = Rgb(224, 224, 224);
constexpr Colour kWhite = Rgb(255, 255, 255);

TEST(AbrirPuerto, OpensPortOneForZeroAndAnnouncesIt) {
    LinkRig rig;
    std::int16_t port = 0;
    rig.link.AbrirPuerto(port, false);
    EXPECT_EQ(port, 1);
    EXPECT_EQ(rig.device.openName, "fake:1");
    EXPECT_TRUE(rig.port.portOpen());
    EXPECT_EQ(rig.state.currentPort, 1);
    EXPECT_EQ(rig.settings.Get("main", "com"), "1");
    EXPECT_EQ(rig.device.WrittenText(), "R");
    EXPECT_EQ(rig.host.checkedPort, 1);
    EXPECT_EQ(rig.host.connectionText, "T72");
    EXPECT_FALSE(rig.host.connectedPicture);
    EXPECT_EQ(rig.host.gridBackground, kGrey);
    EXPECT_EQ(rig.host.channelColour, Rgb(192, 192, 192));
    EXPECT_EQ(rig.state.silenceCountdown, Link::kSilenceAfterOpen);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(AbrirPuerto, MissingPortShowsTheMessageUnlessQuiet) {
    LinkRig rig;
    rig.device.missing = {"fake:5"};
    std::int16_t port = 5;
    rig.link.AbrirPuerto(port, false);
    EXPECT_FALSE(rig.port.portOpen());
    EXPECT_EQ(rig.port.handle(), -1);
    EXPECT_EQ(rig.host.connectionText, "T73");
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0], "COM5 T71");
    EXPECT_EQ(rig.settings.Get("main", "com"), "<absent>");
    EXPECT_EQ(rig.host.checkedPort, 0);

    rig.link.AbrirPuerto(port, true);
    EXPECT_EQ(rig.host.messages.size(), 1u);
}

TEST(LinkCycle, WithoutAnEcuAsksEverySecondAndReopensEveryFiveSeconds) {
    LinkRig rig;
    std::int16_t port = 1;
    rig.link.AbrirPuerto(port, false);
    rig.device.ClearWritten();
    for (int second = 0; second < 3; ++second) rig.link.Timer2_Timer();
    EXPECT_EQ(rig.device.WrittenText(), "GRGRGR");

    rig.Tick(100);
    EXPECT_EQ(rig.device.opened.size(), 1u);
    rig.Tick(); // the 101st tick after an open made elsewhere
    EXPECT_EQ(rig.device.opened.size(), 2u);
    EXPECT_EQ(rig.state.counters.timeouts, 1);
    EXPECT_EQ(rig.host.panels[4], "T80 1");
    EXPECT_EQ(rig.host.markerHides, 1);
    rig.Tick(99);
    EXPECT_EQ(rig.device.opened.size(), 2u);
    rig.Tick(); // 100th after the silence check's own reopen
    EXPECT_EQ(rig.device.opened.size(), 3u);
    EXPECT_EQ(rig.host.connectionText, "T72");
    EXPECT_EQ(rig.host.tracks, 201);
}

TEST(LinkCycle, DataTurnsTheLinkOnlineAndSilenceTurnsItOff) {
    LinkRig rig;
    rig.Open();
    rig.device.Feed(Frame('0', 1024));
    rig.Tick();
    EXPECT_FALSE(rig.state.flags.online);
    rig.Tick();
    EXPECT_TRUE(rig.state.flags.online);
    EXPECT_TRUE(rig.host.connectedPicture);
    EXPECT_EQ(rig.host.connectionText, "T74");
    EXPECT_EQ(rig.host.gridBackground, kWhite);
    EXPECT_FALSE(rig.state.flags.dataReceived);

    // Five silent ticks pass; the sixth after the last byte reopens the port.
    rig.Tick(4);
    EXPECT_EQ(rig.device.opened.size(), 1u);
    EXPECT_TRUE(rig.state.flags.online);
    rig.Tick();
    EXPECT_EQ(rig.device.opened.size(), 2u);
    EXPECT_FALSE(rig.state.flags.online);
    EXPECT_EQ(rig.host.gridBackground, kGrey);
    EXPECT_EQ(rig.state.counters.timeouts, 1);
}

TEST(LinkCycle, ConfigurationIsAskedForUntilAGoodDumpArrives) {
    LinkRig rig;
    rig.Open();
    rig.link.Timer2_Timer();
    EXPECT_EQ(rig.device.WrittenText(), "GR");
    rig.device.Feed(Dump(std::vector<std::uint8_t>(214, 3)));
    rig.Tick();
    rig.device.ClearWritten();
    rig.link.Timer2_Timer();
    EXPECT_EQ(rig.device.WrittenText(), "R");
}

TEST(LinkCycle, PanelClickAsksForTheConfigurationAndShutdownSaysGoodbye) {
    LinkRig rig;
    rig.Open();
    rig.link.barra_PanelClick();
    EXPECT_EQ(rig.device.WrittenText(), "G");
    rig.device.ClearWritten();
    rig.link.Shutdown();
    EXPECT_EQ(rig.device.WrittenText(), "S");
    EXPECT_FALSE(rig.device.isOpen);
    EXPECT_EQ(rig.device.closes, 1);
    rig.port.CloseComPort(); // the window's final close does nothing more
    EXPECT_EQ(rig.device.closes, 1);
}

TEST(LinkCycle, ClosedPortSendsAndReadsNothing) {
    LinkRig rig;
    rig.link.Timer2_Timer();
    rig.link.barra_PanelClick();
    EXPECT_TRUE(rig.device.written.empty());
    EXPECT_EQ(rig.port.ReceiveByte(), -1);
    EXPECT_EQ(rig.device.emptyReads, 0);
}

} // namespace
} // namespace kavrin::test

namespace kavrin::test {
namespace {

// A peer that never stops sending, faster than any line.
class FloodingDevice final : public SerialDevice {
public:
    bool Open(const std::string&) override { return true; }
    void Close() override {}
    void WriteByte(std::uint8_t) override {}
    int ReadByte() override { return ReadWaitingByte(); }
    int ReadWaitingByte() override {
        ++reads;
        static const std::uint8_t frame[] = {'0', 0x00, 0x04, 0x34};
        return frame[reads % 4];
    }
    long reads = 0;
};

TEST(LinkCycle, ATickEndsEvenWhenTheBytesNeverStop) {
    FakeClock clock;
    FloodingDevice device;
    FakePortDirectory ports;
    rs232 port(device, ports);
    LinkState state;
    Configuration config;
    config.SizeImage();
    FakeLinkHost host;
    MemorySettingsStore settings;
    LanguageTexts texts;
    Link link(port, clock, state, config, host, settings, texts);
    std::int16_t number = 1;
    link.AbrirPuerto(number, true);
    link.tmrcom_Timer();
    EXPECT_EQ(device.reads, Link::kMostBytesPerTick);
    EXPECT_GT(host.channels.size(), 2000u);
}

} // namespace
} // namespace kavrin::test

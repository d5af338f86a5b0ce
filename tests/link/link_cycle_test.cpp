#include "support/link_rig.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

constexpr Colour kGrey = Rgb(224, 224, 224);
constexpr Colour kWhite = Rgb(255, 255, 255);

// An open port is announced with "R", remembered and ticked in the menu; one
// that cannot be opened says so unless the caller asked for quiet.
TEST(AbrirPuerto, OpensOrSaysWhyNot) {
    const struct {
        std::int16_t port;
        bool missing, quiet;
        std::int16_t portAfter;
        const char *stored, *sent, *connection;
        std::int16_t checked;
        std::vector<std::string> messages;
    } cases[] = {
        {0, false, false, 1, "1", "R", "T72", 1, {}}, // 0 means port 1
        {5, false, true, 5, "5", "R", "T72", 5, {}},
        {5, true, false, 5, "<absent>", "", "T73", 0, {"COM5 T71"}},
        {5, true, true, 5, "<absent>", "", "T73", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.port) + (c.missing ? " missing" : ""));
        LinkRig rig;
        if (c.missing) rig.device.missing = {"fake:5"};
        std::int16_t port = c.port;
        rig.link.AbrirPuerto(port, c.quiet);
        EXPECT_EQ(port, c.portAfter);
        EXPECT_EQ(rig.port.portOpen(), !c.missing);
        EXPECT_EQ(rig.settings.Get("main", "com"), c.stored);
        EXPECT_EQ(rig.device.WrittenText(), c.sent);
        EXPECT_EQ(rig.host.connectionText, c.connection);
        EXPECT_EQ(rig.host.checkedPort, c.checked);
        EXPECT_EQ(rig.host.messages, c.messages);
        EXPECT_FALSE(rig.host.connectedPicture);
        if (c.missing) continue;
        EXPECT_EQ(rig.device.openName, "fake:" + std::to_string(c.portAfter));
        EXPECT_EQ(rig.state.currentPort, c.portAfter);
        EXPECT_EQ(rig.host.gridBackground, kGrey);
        EXPECT_EQ(rig.host.channelColour, Rgb(192, 192, 192));
        EXPECT_EQ(rig.state.silenceCountdown, Link::kSilenceAfterOpen);
    }
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

// A peer that sends faster than any line must not hold the window in one tick.
TEST(LinkCycle, ATickEndsEvenWhenTheBytesNeverStop) {
    LinkRig rig;
    rig.Open();
    for (int i = 0; i < 5000; ++i) rig.device.Feed(Frame('0', 1024));
    rig.Tick();
    EXPECT_EQ(rig.device.incoming.size(), 5000u * 4 - Link::kMostBytesPerTick);
    EXPECT_EQ(rig.host.channels.size(), Link::kMostBytesPerTick / 4u);
}

} // namespace
} // namespace kavrin::test

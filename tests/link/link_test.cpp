// SPDX-License-Identifier: GPL-3.0-or-later
// The link over a faked port: the frames and dumps the decoder reads, then
// the cycle of opening, asking, going online and offline, and writing.
#include "support/link_rig.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Channels = std::vector<FakeLinkHost::Channel>;

// A link with port 1 open and the open's "R" cleared.
struct OpenLink : ::testing::Test {
    void SetUp() override { rig.Open(); }
    LinkRig rig;
};

TEST_F(OpenLink, LiveStatusEchoAndBadFrames) {
    rig.device.Feed(Frame('R', 0x1234));
    rig.Tick();
    EXPECT_EQ(rig.host.panels[1], "T77 4660");
    EXPECT_FALSE(rig.state.flags.dataReceived) << "a status frame is no live data";

    // Channel values and an echo into the image are tried on the window.
    const int pastImage = 99 << 8 | 214;
    rig.device.Feed(Frame('M', pastImage));
    rig.device.Feed({0x30, 0x00, 0x04, 0x35});                  // bad check
    rig.device.Feed({254, 0x00, 0x7F, 0x2D, 0x5B, 0x31, 0x10}); // junk, then half a frame
    rig.Tick();
    rig.device.Feed({0x00, 0x21});
    rig.Tick();
    // Echoes also pass through ShowChannel, which ignores their channel number.
    EXPECT_EQ(rig.host.channels, (Channels{{29, pastImage}, {1, 16}}));
    EXPECT_EQ(rig.host.panels[3], "T79 1");
    EXPECT_EQ(rig.config.ConfigImage[214], 0);
}

// Every dump keeps the bytes that came; only a whole one with a good check is
// shown (what a good one fills is tried on the window). A dump that stops or
// crawls costs one second, not a second per byte.
TEST(Dumps, GoodBadStalledAndCut) {
    Bytes badCheck = Dump(Bytes(214, 9));
    badCheck.back() ^= 1;
    Bytes stalled{'$', 215};
    stalled.insert(stalled.end(), 10, 9);
    const struct {
        const char* what;
        Bytes in;
        bool good;
        int badDumps, timeouts;
        const char* sent;
        int gapMs = 0; // between two bytes of the dump
    } cases[] = {
        {"good", Dump(Bytes(214, 7)), true, 0, 0, ""},
        {"bad check", badCheck, false, 1, 0, "G"},
        {"empty", {'$', 0}, false, 1, 0, "G"},
        {"stops", stalled, false, 1, 1, "G"},
        // Each missing byte would add 0xFFFF to the check; two cancel out.
        {"two missing", {'$', 3, 0xAA}, false, 1, 1, "G"},
        {"no count", {'$'}, false, 0, 1, ""},
        // A whole dump that trickles ends a second after its start.
        {"trickles", Dump(Bytes(214, 9)), false, 1, 1, "G", 900},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LinkRig rig;
        rig.Open();
        rig.device.Feed(c.in);
        rig.device.gapMs = c.gapMs;
        const auto before = rig.clock.now;
        rig.Tick();
        EXPECT_EQ(rig.state.flags.configValid, c.good);
        EXPECT_EQ(rig.host.showConfigs + rig.host.layouts, c.good ? 2 : 0);
        EXPECT_EQ(rig.state.counters.badDumps, c.badDumps);
        EXPECT_EQ(rig.state.counters.timeouts, c.timeouts);
        EXPECT_EQ(rig.device.WrittenText(), c.sent);
        EXPECT_EQ(rig.config.ConfigImage[5], c.in.size() > 7 && c.gapMs == 0 ? c.in[7] : 0);
        EXPECT_GE(rig.clock.now - before, 1000 * c.timeouts);
        EXPECT_LT(rig.clock.now - before, 1000 * c.timeouts + c.gapMs + 100);
        // The check byte lands in the spare.
        EXPECT_TRUE(!c.good || rig.config.ConfigImage[214] != 0);
    }
}

// Asked again five times in a row at most; a good dump resets the run.
TEST_F(OpenLink, FailedDumpsAreAskedAgainFiveTimesInARow) {
    for (int i = 1; i <= 7; ++i) {
        if (i == 7) rig.device.Feed(Dump(Bytes(214, 1)));
        rig.device.Feed({'$', 0});
        rig.device.ClearWritten();
        rig.Tick();
        EXPECT_EQ(rig.device.WrittenText(), i <= 5 || i == 7 ? "G" : "") << "dump " << i;
        EXPECT_EQ(rig.state.counters.dumpRetry, i == 7 ? 1 : std::min(i, 5));
    }
}

// 255, x, 255 is no frame; middle byte 0 ends the tick, and the next tick
// takes the frame's first byte as the closing byte and skips the rest.
TEST_F(OpenLink, TheSequenceLedBy255) {
    rig.device.Feed({255, 1, 255, 255, 1, 0, 255, 0});
    rig.device.Feed(Frame('0', 0x2000));
    rig.Tick();
    EXPECT_EQ(rig.state.counters.badFrames, 1);
    EXPECT_EQ(rig.device.incoming.size(), 4u);
    rig.Tick();
    rig.device.Feed(Frame('0', 0x2000));
    rig.Tick();
    EXPECT_EQ(rig.host.channels, (Channels{{0, 0x2000}}));
}

TEST_F(OpenLink, EveryFiftiethBadFrameResynchronises) {
    for (int i = 0; i < 49; ++i) rig.device.Feed({'1', 0, 0, 0xEE});
    rig.Tick();
    EXPECT_EQ(rig.device.opened.size(), 1u);
    rig.device.Feed({'1', 0, 0, 0xEE});
    rig.Tick();
    EXPECT_EQ(rig.state.counters.badFrames, 50);
    EXPECT_EQ(rig.device.opened.size(), 2u);
    EXPECT_EQ(rig.device.WrittenText(), "SR"); // "S", then the reopen's "R"
}

// Port 0 means port 1; a port that cannot be opened is said as closed.
TEST(LinkCycle, OpeningAPort) {
    LinkRig rig;
    std::int16_t port = 0;
    rig.link.AbrirPuerto(port, false);
    EXPECT_EQ(port, 1);
    EXPECT_EQ(rig.host.gridBackground, Rgb(224, 224, 224));
    rig.device.missing = {"fake:1"};
    rig.link.AbrirPuerto(port, true);
    EXPECT_EQ(rig.host.connectionText, "T73");
    EXPECT_TRUE(rig.host.messages.empty()) << "asked for quiet";
}

// Without an ECU: "G" and "R" every second, a reopen 100 ticks after an open.
TEST_F(OpenLink, WithoutAnEcuAsksEverySecondAndReopensEveryFiveSeconds) {
    for (int second = 0; second < 2; ++second) rig.link.Timer2_Timer();
    EXPECT_EQ(rig.device.WrittenText(), "GRGR");
    rig.Tick(100);
    EXPECT_EQ(rig.device.opened.size(), 1u);
    rig.Tick();
    EXPECT_EQ(rig.device.opened.size(), 2u);
    EXPECT_EQ(rig.host.markerHides, 1);
    rig.Tick(100);
    EXPECT_EQ(rig.device.opened.size(), 3u);
    EXPECT_EQ(rig.host.tracks, 201);
}

// Data turns the link online a tick later; a tick takes no more than a line
// could carry in a second; the sixth silent tick after the last byte reopens
// the port offline.
TEST_F(OpenLink, DataTurnsTheLinkOnlineAndSilenceTurnsItOff) {
    for (int i = 0; i < 5000; ++i) rig.device.Feed(Frame('0', 1024));
    rig.Tick();
    EXPECT_FALSE(rig.state.flags.online);
    EXPECT_EQ(rig.host.channels.size(), Link::kMostBytesPerTick / 4u);
    rig.Tick();
    EXPECT_EQ(rig.host.channels.size(), 5000u);
    EXPECT_TRUE(rig.state.flags.online);
    rig.Tick(5);
    EXPECT_EQ(rig.device.opened.size(), 1u);
    rig.Tick();
    EXPECT_EQ(rig.device.opened.size(), 2u);
    EXPECT_FALSE(rig.state.flags.online);
}

// Closed, nothing is sent; open, "G" is asked for until a good dump arrives
// and a panel click asks again.
TEST_F(OpenLink, RequestsGoOnlyToAnOpenPort) {
    LinkRig closed;
    closed.link.Timer2_Timer();
    closed.link.barra_PanelClick();
    EXPECT_TRUE(closed.device.written.empty());
    rig.link.Timer2_Timer();
    rig.device.Feed(Dump(Bytes(214, 3)));
    rig.Tick();
    rig.link.Timer2_Timer();
    rig.link.barra_PanelClick();
    EXPECT_EQ(rig.device.WrittenText(), "GRRG");
}

// The value is limited to a byte in the caller's variable; online it goes out
// as "M", index, value, check; suppressed or with the port shut, nowhere.
TEST(LinkCycle, WriteConfigByte) {
    const struct {
        bool online, suppressed, shut;
        std::int16_t value, limited;
        std::vector<std::uint8_t> sent;
        int stored;
    } cases[] = {
        {true, false, false, 300, 255, {0x4D, 0xC9, 0xFF, 0x4D ^ 0xC9 ^ 0xFF}, 0},
        {true, false, false, -4, 0, {0x4D, 0xC9, 0x00, 0x4D ^ 0xC9}, 0},
        {false, true, false, 300, 300, {}, 0},
        {true, false, true, 9, 9, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        LinkRig rig;
        rig.Open();
        if (c.shut) rig.link.GoOffline();
        rig.state.flags.online = c.online;
        rig.state.flags.suppressWrites = c.suppressed;
        std::int16_t index = 201, value = c.value;
        rig.link.WriteConfigByte('M', index, value);
        EXPECT_EQ(value, c.limited);
        EXPECT_EQ(rig.device.written, c.sent);
        EXPECT_EQ(rig.config.ConfigImage[201], c.stored);
    }
}

} // namespace
} // namespace kavrin::test

// SPDX-License-Identifier: GPL-3.0-or-later
// The link over a faked port: the frames and dumps the decoder reads, then
// the cycle of opening, asking, going online and offline, and writing.
#include "support/link_rig.h"

#include <gtest/gtest.h>

#include <optional>

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
    EXPECT_EQ(rig.state.counters.rValue, 4660);
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
    EXPECT_EQ(rig.state.counters.badFrames, 1);
    EXPECT_EQ(rig.config.ConfigImage[214], 0);
}

std::vector<int> ImageOf(const LinkRig& rig) {
    std::vector<int> bytes;
    for (int i = 0; i <= rig.config.ImageLast; ++i) bytes.push_back(rig.config.ConfigImage[i]);
    return bytes;
}

// Only a whole dump with a good check reaches the image (what a good one fills
// is tried on the window); any other leaves the image as it was. A dump that
// stops or crawls ends a second after its "$" with one time-out.
TEST(Dumps, GoodBadStalledAndCut) {
    Bytes badCheck = Dump(Bytes(214, 9));
    badCheck.back() ^= 1;
    Bytes stalled{'$', 215};
    stalled.insert(stalled.end(), 10, 9);
    const struct {
        const char* what;
        Bytes in;
        std::size_t perTick; // bytes arriving before each tick; 0: all before the first
        bool good;
        int badDumps, timeouts;
        const char* sent;
        int endTick; // the tick that ends the dump
    } cases[] = {
        {"good", Dump(Bytes(214, 7)), 0, true, 0, 0, "", 1},
        {"good over three ticks", Dump(Bytes(214, 7)), 80, true, 0, 0, "", 3},
        {"bad check", badCheck, 0, false, 1, 0, "G", 1},
        {"empty", {'$', 0}, 0, false, 1, 0, "G", 1},
        {"stops", stalled, 0, false, 1, 1, "G", 21},
        {"no count", {'$'}, 0, false, 0, 1, "", 21},
        {"crawls", Dump(Bytes(214, 9)), 10, false, 1, 1, "G", 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LinkRig rig;
        rig.Open();
        for (int i = 0; i <= rig.config.ImageLast; ++i) rig.config.ConfigImage.Set(i, 0x11);
        const auto before = ImageOf(rig);
        const float scale = rig.config.FuelScale;
        const std::size_t chunk = c.perTick ? c.perTick : c.in.size();
        int endTick = 0;
        for (int tick = 1; tick <= 25 && !endTick; ++tick) {
            const std::size_t from = std::min(c.in.size(), (tick - 1) * chunk);
            rig.device.Feed(
                {c.in.begin() + from, c.in.begin() + std::min(c.in.size(), from + chunk)});
            rig.Tick();
            const LinkCounters& n = rig.state.counters;
            if (rig.state.flags.configValid || n.badDumps || n.timeouts) endTick = tick;
        }
        EXPECT_EQ(endTick, c.endTick);
        EXPECT_EQ(rig.state.flags.configValid, c.good);
        EXPECT_EQ(rig.host.dumps, c.good ? 1 : 0);
        EXPECT_EQ(rig.state.counters.badDumps, c.badDumps);
        EXPECT_EQ(rig.state.counters.timeouts, c.timeouts);
        EXPECT_EQ(rig.device.WrittenText(), c.sent);
        if (c.good) {
            EXPECT_EQ(rig.config.ConfigImage[5], 7);
            EXPECT_NE(rig.config.ConfigImage[214], 0x11) << "the check byte lands in the spare";
        } else {
            EXPECT_EQ(ImageOf(rig), before);
            EXPECT_EQ(rig.config.FuelScale, scale);
        }
    }
}

// While a dump waits for its bytes, the silence countdown and the requests of
// Timer2 wait with it; the requests held back go out once, after the dump.
TEST_F(OpenLink, AWaitingDumpHoldsTheSilenceCountdownAndTheRequests) {
    Bytes start{'$', 215};
    start.insert(start.end(), 10, 9);
    rig.device.Feed(start);
    rig.Tick();
    rig.link.Timer2_Timer();
    rig.Tick(19);
    EXPECT_EQ(rig.device.opened.size(), 1u);
    EXPECT_EQ(rig.device.WrittenText(), "");
    rig.Tick();
    EXPECT_EQ(rig.device.WrittenText(), "GGR") << "the re-request, then the held requests";
    rig.Tick(4);
    EXPECT_EQ(rig.device.opened.size(), 1u);
    rig.Tick();
    EXPECT_EQ(rig.device.opened.size(), 2u) << "the sixth silent tick after the dump";
    EXPECT_EQ(rig.state.counters.timeouts, 2);
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

// 255, a middle byte and 255 is no frame. The middle byte may take up to a
// second, the closing one must be there by the next tick; after a middle 0 or
// a missing closing byte the next byte is dropped: here the first byte of the
// frame that follows, so that frame is lost.
TEST(Sequence, TheSequenceLedBy255) {
    const struct {
        const char* what;
        std::vector<Bytes> ticks; // what arrives before each tick
        int quietTicks;           // then ticks with nothing
        int badFrames, timeouts;
        bool frameAfter;
    } cases[] = {
        {"whole", {{255, 1, 255}}, 0, 0, 0, true},
        {"bad closing byte", {{255, 1, 0}}, 0, 1, 0, true},
        {"one byte a tick", {{255}, {1}, {255}}, 0, 0, 0, true},
        {"middle 0", {{255, 0}}, 0, 0, 0, false},
        {"closing byte late", {{255, 1}}, 1, 0, 0, false},
        {"no middle byte", {{255}}, 21, 0, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LinkRig rig;
        rig.Open();
        for (const auto& bytes : c.ticks) {
            rig.device.Feed(bytes);
            rig.Tick();
        }
        rig.Tick(c.quietTicks);
        rig.device.Feed(Frame('0', 0x2000));
        rig.Tick(2);
        EXPECT_EQ(rig.state.counters.badFrames, c.badFrames);
        EXPECT_EQ(rig.state.counters.timeouts, c.timeouts);
        EXPECT_EQ(rig.host.channels, (c.frameAfter ? Channels{{0, 0x2000}} : Channels{}));
    }
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

// Port 0 means port 1. A port that cannot be opened is said as closed, and
// stays so on the next tick though data had come on the port before: offline,
// an edit goes to the image.
TEST(LinkCycle, OpeningAPort) {
    LinkRig rig;
    std::int16_t port = 0;
    rig.link.AbrirPuerto(port, false);
    EXPECT_EQ(port, 1);
    EXPECT_GT(rig.host.offline, 0);
    rig.device.Feed(Frame('0', 1));
    rig.Tick();
    rig.device.missing = {"fake:1"};
    rig.link.AbrirPuerto(port, true);
    rig.Tick();
    EXPECT_EQ(rig.host.condition, "failed");
    EXPECT_FALSE(rig.state.flags.online);
    EXPECT_TRUE(rig.host.loudFailures.empty()) << "asked for quiet";
    std::int16_t index = 3, value = 44;
    rig.link.WriteConfigByte('M', index, value);
    EXPECT_EQ(rig.config.ConfigImage[3], 44);
}

// A port that fails, by taking no more writes or by the system's word, is
// reopened on the next tick and counted as a silence is.
TEST(LinkCycle, AFailedPortIsReopenedAsASilentOne) {
    for (bool refusesWrites : {true, false}) {
        SCOPED_TRACE(refusesWrites);
        LinkRig rig;
        rig.Open();
        rig.device.refuseWrites = refusesWrites;
        rig.device.failed = !refusesWrites;
        rig.link.Timer2_Timer();
        rig.device.refuseWrites = false;
        EXPECT_EQ(rig.device.WrittenText(), "");
        rig.Tick();
        EXPECT_EQ(rig.device.opened.size(), 2u);
        EXPECT_EQ(rig.state.counters.timeouts, 1);
        EXPECT_EQ(rig.host.markerHides, 1);
        EXPECT_EQ(rig.device.WrittenText(), "R");
    }
}

// Without an ECU a reopen comes 100 ticks after an open (the requests every
// second are the next test's), and the live cell is tracked every tick.
TEST_F(OpenLink, WithoutAnEcuReopensEveryFiveSeconds) {
    rig.Tick(100);
    EXPECT_EQ(rig.device.opened.size(), 1u);
    rig.Tick();
    EXPECT_EQ(rig.device.opened.size(), 2u);
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

// "G" and "R" every second, "G" until a good dump arrives and again at a panel
// click (that a shut port sends nothing is the port's test).
TEST_F(OpenLink, AGoodDumpEndsTheRequestsUntilAPanelClick) {
    rig.link.Timer2_Timer();
    rig.device.Feed(Dump(Bytes(214, 3)));
    rig.Tick();
    rig.link.Timer2_Timer();
    rig.link.barra_PanelClick();
    EXPECT_EQ(rig.device.WrittenText(), "GRRG");
}

// The value is limited to a byte in the caller's variable; online it goes out
// as "M", index, value, check; suppressed or with the port shut, nowhere. None
// of these touches the image (offline, an edit goes there: see above).
TEST(LinkCycle, WriteConfigByte) {
    const struct {
        bool online, suppressed, shut;
        std::int16_t value, limited;
        std::vector<std::uint8_t> sent;
    } cases[] = {
        {true, false, false, 300, 255, {0x4D, 0xC9, 0xFF, 0x4D ^ 0xC9 ^ 0xFF}},
        {true, false, false, -4, 0, {0x4D, 0xC9, 0x00, 0x4D ^ 0xC9}},
        {false, true, false, 300, 300, {}},
        {true, false, true, 9, 9, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        LinkRig rig;
        rig.Open();
        if (c.shut) rig.link.GoOffline();
        rig.state.flags.online = c.online;
        std::optional<SuppressWrites> quiet;
        if (c.suppressed) quiet.emplace(rig.writes);
        std::int16_t index = 201, value = c.value;
        rig.link.WriteConfigByte('M', index, value);
        EXPECT_EQ(value, c.limited);
        EXPECT_EQ(rig.device.written, c.sent);
        EXPECT_EQ(rig.config.ConfigImage[201], 0);
    }
}

} // namespace
} // namespace kavrin::test

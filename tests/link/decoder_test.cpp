#include "support/link_rig.h"

#include <gtest/gtest.h>

#include <random>

namespace kavrin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class DecoderTest : public ::testing::Test {
protected:
    void SetUp() override { rig.Open(); }
    LinkRig rig;
    LinkCounters& counters = rig.state.counters;
};

TEST_F(DecoderTest, GoodLiveFrameReachesShowChannelAndMarksData) {
    rig.device.Feed({0x30, 0x00, 0x04, 0x34});
    rig.Tick();
    ASSERT_EQ(rig.host.channels.size(), 1u);
    EXPECT_EQ(rig.host.channels[0].channel, 0);
    EXPECT_EQ(rig.host.channels[0].value, 1024);
    EXPECT_TRUE(rig.state.flags.dataReceived);
    EXPECT_EQ(rig.state.silenceCountdown, Link::kSilenceAfterByte);

    rig.device.Feed({0x30, 0x00, 0x04, 0x35});
    rig.Tick();
    EXPECT_EQ(rig.host.channels.size(), 1u);
    EXPECT_EQ(counters.badFrames, 1);
    EXPECT_EQ(rig.host.panels[3], "T79 1");
}

TEST_F(DecoderTest, FrameSplitAcrossTicksAndJunkBeforeIt) {
    rig.device.Feed({254, 0x00, 0x7F, 0x2D, 0x5B, 0x31, 0x10});
    rig.Tick();
    EXPECT_TRUE(rig.host.channels.empty());
    rig.device.Feed({0x00, 0x21});
    rig.Tick();
    ASSERT_EQ(rig.host.channels.size(), 1u);
    EXPECT_EQ(rig.host.channels[0].channel, 1);
    EXPECT_EQ(rig.host.channels[0].value, 16);
    EXPECT_EQ(counters.badFrames, 0);
}

TEST_F(DecoderTest, StatusAndEchoFrames) {
    rig.device.Feed(Frame('R', 0x1234));
    rig.Tick();
    EXPECT_EQ(counters.rValue, 0x1234);
    EXPECT_EQ(rig.host.panels[1], "T77 4660");
    EXPECT_FALSE(rig.state.flags.dataReceived);
    EXPECT_TRUE(rig.host.channels.empty());

    const int last = rig.config.ImageLast;
    rig.device.Feed(Frame('M', static_cast<std::uint16_t>(200 << 8 | 5)));
    rig.device.Feed(Frame('M', static_cast<std::uint16_t>(99 << 8 | last)));
    rig.Tick();
    EXPECT_EQ(rig.config.ConfigImage[5], 200);
    EXPECT_EQ(rig.config.ConfigImage[last], 0);
    EXPECT_EQ(rig.host.showConfigs, 1);
    EXPECT_TRUE(rig.state.flags.dataReceived);
    // Echoes also pass through ShowChannel, which ignores their channel number.
    ASSERT_EQ(rig.host.channels.size(), 2u);
    EXPECT_EQ(rig.host.channels[0].channel, 'M' - 0x30);
}

// Every dump keeps the bytes that came; only a whole one with a good check is
// shown. A dump that stops or crawls costs one second, not a second per byte.
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
        {"good", Dump(Bytes(214, 9)), true, 0, 0, ""},
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
        EXPECT_EQ(rig.host.showConfigs, c.good ? 1 : 0);
        EXPECT_EQ(rig.host.layouts, c.good ? 1 : 0);
        EXPECT_EQ(rig.state.counters.badDumps, c.badDumps);
        EXPECT_EQ(rig.state.counters.timeouts, c.timeouts);
        EXPECT_EQ(rig.device.WrittenText(), c.sent);
        EXPECT_EQ(rig.config.ConfigImage[5], c.in.size() > 7 && c.gapMs == 0 ? 9 : 0);
        EXPECT_GE(rig.clock.now - before, 1000 * c.timeouts);
        EXPECT_LT(rig.clock.now - before, 1000 * c.timeouts + c.gapMs + 100);
    }
}

TEST_F(DecoderTest, GoodDumpFillsTheWholeImageAndItsPulses) {
    Bytes bytes(214);
    for (int i = 0; i < 214; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    bytes[201 + 8] = 100; // EFI factor
    rig.device.Feed(Dump(bytes));
    rig.Tick();
    for (int i = 0; i < 214; ++i) ASSERT_EQ(rig.config.ConfigImage[i], bytes[i]) << i;
    EXPECT_NE(rig.config.ConfigImage[214], 0); // the check byte lands in the spare
    EXPECT_TRUE(rig.config.RecolourFuel) << "the next refresh colours every fuel cell";
    EXPECT_TRUE(rig.state.flags.dataReceived);
    EXPECT_FLOAT_EQ(rig.config.FuelScale, 0.08f);
    EXPECT_FLOAT_EQ(rig.config.FuelPulseTable[10], bytes[10] * 0.08f);
}

TEST_F(DecoderTest, FailedDumpsAreAskedAgainFiveTimesInARow) {
    for (int i = 1; i <= 6; ++i) {
        rig.device.ClearWritten();
        rig.device.Feed({'$', 0});
        rig.Tick();
        EXPECT_EQ(rig.device.WrittenText(), i <= 5 ? "G" : "") << "dump " << i;
        EXPECT_EQ(counters.dumpRetry, std::min(i, 5));
    }
    // A good dump resets the run of retries.
    rig.device.Feed(Dump(Bytes(214, 1)));
    rig.Tick();
    rig.device.ClearWritten();
    rig.device.Feed({'$', 0});
    rig.Tick();
    EXPECT_EQ(rig.device.WrittenText(), "G");
}

TEST_F(DecoderTest, TheSequenceLedBy255) {
    rig.device.Feed({255, 1, 255});
    rig.Tick();
    EXPECT_EQ(counters.badFrames, 0);
    rig.device.Feed({255, 1, 0});
    rig.Tick();
    EXPECT_EQ(counters.badFrames, 1);

    // Middle byte 0 ends the tick; the next tick drops its first byte.
    rig.device.Feed({255, 0});
    rig.device.Feed(Frame('0', 0x2000));
    rig.Tick();
    EXPECT_TRUE(rig.host.channels.empty());
    EXPECT_EQ(rig.device.incoming.size(), 4u);
    rig.Tick();
    // The frame's first byte went as the sequence's closing byte; the rest is
    // skipped as bytes that cannot start a frame.
    EXPECT_TRUE(rig.host.channels.empty());
    rig.device.Feed(Frame('0', 0x2000));
    rig.Tick();
    ASSERT_EQ(rig.host.channels.size(), 1u);
    EXPECT_EQ(rig.host.channels[0].value, 0x2000);
}

TEST_F(DecoderTest, EveryFiftiethBadFrameResynchronises) {
    for (int i = 0; i < 49; ++i) rig.device.Feed({'1', 0, 0, 0xEE});
    rig.Tick();
    EXPECT_EQ(counters.badFrames, 49);
    EXPECT_EQ(rig.device.opened.size(), 1u);
    rig.device.Feed({'1', 0, 0, 0xEE});
    rig.Tick();
    EXPECT_EQ(counters.badFrames, 50);
    EXPECT_EQ(rig.device.opened.size(), 2u);
    EXPECT_EQ(rig.device.WrittenText(), "SR"); // "S", then the reopen's "R"
    EXPECT_FALSE(rig.state.flags.online);
}

TEST_F(DecoderTest, RandomBytesNeverEscapeTheImage) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        Bytes noise(512);
        for (auto& b : noise) b = static_cast<std::uint8_t>(byte(random));
        rig.device.Feed(noise);
        rig.Tick();
    }
    EXPECT_EQ(rig.config.ConfigImage.size(), 215);
    EXPECT_GT(counters.badFrames, 0);
    for (const auto& c : rig.host.channels) {
        EXPECT_GE(c.channel, '.' - 0x30);
        EXPECT_LE(c.channel, 'Z' - 0x30);
        EXPECT_LE(c.value, 65535);
    }
}

// The value is limited to a byte in the caller's variable; online it goes out
// as "M", index, value, check and the image waits for the echo; offline it goes
// into the image; suppressed or with the port shut, nowhere.
TEST(WriteConfigByte, OnlineOfflineSuppressedAndShut) {
    const struct {
        bool online, suppressed, shut;
        std::int16_t value, limited;
        Bytes sent;
        int stored;
    } cases[] = {
        {true, false, false, 100, 100, {0x4D, 0xC9, 0x64, 0xE0}, 0},
        {true, false, false, 300, 255, {0x4D, 0xC9, 0xFF, 0x4D ^ 0xC9 ^ 0xFF}, 0},
        {true, false, false, -4, 0, {0x4D, 0xC9, 0x00, 0x4D ^ 0xC9}, 0},
        {false, false, false, 42, 42, {}, 42},
        {false, false, false, 300, 255, {}, 255},
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

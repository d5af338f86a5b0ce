#include "link/write_message.h"
#include "support/link_rig.h"

#include <gtest/gtest.h>

#include <random>

namespace kavrin::test {
namespace {

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

TEST_F(DecoderTest, GoodDumpFillsTheWholeImage) {
    std::vector<std::uint8_t> bytes(214);
    for (int i = 0; i < 214; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    bytes[201 + 8] = 100; // EFI factor
    rig.device.Feed(Dump(bytes));
    rig.Tick();
    for (int i = 0; i < 214; ++i) ASSERT_EQ(rig.config.ConfigImage[i], bytes[i]) << i;
    EXPECT_NE(rig.config.ConfigImage[214], 0); // the check byte lands in the spare
    EXPECT_TRUE(rig.state.flags.configValid);
    EXPECT_TRUE(rig.config.RecolourFuel) << "the next refresh colours every fuel cell";
    EXPECT_TRUE(rig.state.flags.dataReceived);
    EXPECT_EQ(rig.host.showConfigs, 1);
    EXPECT_EQ(rig.host.layouts, 1);
    EXPECT_FLOAT_EQ(rig.config.FuelScale, 0.08f);
    EXPECT_FLOAT_EQ(rig.config.FuelPulseTable[10], bytes[10] * 0.08f);
    EXPECT_EQ(counters.badDumps, 0);
    EXPECT_EQ(rig.device.WrittenText(), "");
}

TEST_F(DecoderTest, FailedDumpsAreAskedAgainFiveTimesInARow) {
    for (int i = 1; i <= 6; ++i) {
        rig.device.ClearWritten();
        rig.device.Feed({'$', 0}); // an empty dump cannot be good: 0xAA is not 0
        rig.Tick();
        EXPECT_EQ(counters.badDumps, i);
        EXPECT_EQ(rig.device.WrittenText(), i <= 5 ? "G" : "") << "dump " << i;
        EXPECT_EQ(counters.dumpRetry, std::min(i, 5));
    }
    EXPECT_FALSE(rig.state.flags.configValid);
    EXPECT_EQ(rig.host.showConfigs, 0);

    // A good dump resets the run of retries.
    rig.device.Feed(Dump(std::vector<std::uint8_t>(214, 1)));
    rig.Tick();
    EXPECT_EQ(rig.state.decoder.dumpRetries, 0);
    rig.device.ClearWritten();
    rig.device.Feed({'$', 0});
    rig.Tick();
    EXPECT_EQ(rig.device.WrittenText(), "G");
}

TEST_F(DecoderTest, BadDumpKeepsItsBytesButShowsNothing) {
    auto dump = Dump(std::vector<std::uint8_t>(214, 9));
    dump.back() ^= 1;
    rig.device.Feed(dump);
    rig.Tick();
    EXPECT_EQ(rig.config.ConfigImage[100], 9);
    EXPECT_FLOAT_EQ(rig.config.FuelScale, 9 * 0.0008f);
    EXPECT_EQ(rig.host.showConfigs, 0);
    EXPECT_EQ(rig.host.layouts, 0);
    EXPECT_EQ(counters.badDumps, 1);
}

TEST_F(DecoderTest, DumpThatStopsCostsOneSecondNotMinutes) {
    std::vector<std::uint8_t> start{'$', 215};
    for (int i = 0; i < 10; ++i) start.push_back(50);
    rig.device.Feed(start);
    const auto before = rig.clock.now;
    rig.Tick();
    const auto waited = rig.clock.now - before;
    EXPECT_GE(waited, 1000);
    EXPECT_LT(waited, 1100);
    EXPECT_EQ(counters.timeouts, 1);
    EXPECT_EQ(counters.badDumps, 1);
    EXPECT_EQ(rig.device.WrittenText(), "G");
    EXPECT_FALSE(rig.state.flags.configValid);
    EXPECT_EQ(rig.config.ConfigImage[9], 50);
}

TEST_F(DecoderTest, DumpThatTricklesEndsOneSecondAfterItsStart) {
    auto dump = Dump(std::vector<std::uint8_t>(214, 7));
    rig.device.Feed(dump);
    rig.device.gapMs = 900;
    const auto before = rig.clock.now;
    rig.Tick();
    EXPECT_LE(rig.clock.now - before, 1000 + 900);
    EXPECT_EQ(counters.timeouts, 1);
    EXPECT_EQ(counters.badDumps, 1);
    EXPECT_EQ(rig.device.WrittenText(), "G");
    EXPECT_FALSE(rig.state.flags.configValid);
}

TEST_F(DecoderTest, TwoMissingBytesNeverMakeAGoodDump) {
    // Each missing byte would add 0xFFFF to the check; two of them cancel out.
    // The dump must still count as bad.
    std::vector<std::uint8_t> start{'$', 3, 0xAA};
    rig.device.Feed(start);
    rig.Tick();
    EXPECT_FALSE(rig.state.flags.configValid);
    EXPECT_EQ(counters.badDumps, 1);
}

TEST_F(DecoderTest, DumpWithoutCountOnlyCountsTheWait) {
    rig.device.Feed({'$'});
    rig.Tick();
    EXPECT_EQ(counters.timeouts, 1);
    EXPECT_EQ(counters.badDumps, 0);
    EXPECT_EQ(rig.device.WrittenText(), "");
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
        std::vector<std::uint8_t> noise(512);
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

class WriteConfigByteTest : public ::testing::Test {
protected:
    LinkRig rig;
};

TEST_F(WriteConfigByteTest, OnlineSendsTheMessageAndLeavesTheImage) {
    rig.Open();
    rig.state.flags.online = true;
    std::int16_t index = 201, value = 100;
    rig.link.WriteConfigByte('M', index, value);
    EXPECT_EQ(rig.device.written, (std::vector<std::uint8_t>{0x4D, 0xC9, 0x64, 0xE0}));
    EXPECT_EQ(rig.config.ConfigImage[201], 0);

    rig.device.ClearWritten();
    value = 300;
    rig.link.WriteConfigByte('M', index, value);
    EXPECT_EQ(value, 255);
    EXPECT_EQ(rig.device.written[2], 255);
    EXPECT_EQ(rig.device.written[3], 0x4D ^ 201 ^ 255);
    value = -4;
    rig.link.WriteConfigByte('M', index, value);
    EXPECT_EQ(value, 0);
}

TEST_F(WriteConfigByteTest, OfflineStoresSuppressedDoesNothing) {
    rig.Open();
    std::int16_t index = 7, value = 42;
    rig.link.WriteConfigByte('M', index, value);
    EXPECT_EQ(rig.config.ConfigImage[7], 42);
    EXPECT_TRUE(rig.device.written.empty());

    rig.state.flags.suppressWrites = true;
    value = 300;
    rig.link.WriteConfigByte('M', index, value);
    EXPECT_EQ(rig.config.ConfigImage[7], 42);
    EXPECT_EQ(value, 300);

    rig.state.flags.suppressWrites = false;
    rig.state.flags.online = true;
    rig.link.GoOffline();
    rig.state.flags.online = true; // online but the port shut: the write is dropped
    value = 9;
    rig.link.WriteConfigByte('M', index, value);
    EXPECT_EQ(rig.config.ConfigImage[7], 42);
    EXPECT_TRUE(rig.device.written.empty());
}

TEST(WriteMessage, CheckByteIsTheXorOfTheOthers) {
    const auto m = MakeWriteMessage('M', 201, 100);
    EXPECT_EQ(m[0], 0x4D);
    EXPECT_EQ(m[3], 0xE0);
    EXPECT_EQ(m[0] ^ m[1] ^ m[2] ^ m[3], 0);
}

} // namespace
} // namespace kavrin::test

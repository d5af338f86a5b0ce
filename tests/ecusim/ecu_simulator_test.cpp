#include "ecusim/ecu_simulator.h"
#include "link/write_message.h"
#include "support/link_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace kavrin::ecusim {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

// The ECU with a clock moved by hand, one millisecond at a time, as the
// program's loop would look at it.
struct Bench {
    explicit Bench(SimOptions options) : ecu(clock, options) {}

    // Runs ms milliseconds and returns what was sent meanwhile.
    Bytes Run(int ms) {
        Bytes out;
        for (int i = 0; i < ms; ++i) {
            clock.Advance(1);
            const Bytes b = ecu.Produce();
            perMs.push_back(static_cast<int>(b.size()));
            out.insert(out.end(), b.begin(), b.end());
        }
        wire.insert(wire.end(), out.begin(), out.end());
        return out;
    }
    void Send(const Bytes& bytes) { ecu.Receive(bytes); }
    void Send(char command) { Send(Bytes{static_cast<std::uint8_t>(command)}); }
    void Write(std::uint8_t index, std::uint8_t value) {
        const auto m = MakeWriteMessage('M', index, value);
        Send(Bytes(m.begin(), m.end()));
    }
    // The most bytes sent in any one second, wherever it starts.
    int BusiestSecond() const {
        int window = 0, most = 0;
        for (std::size_t i = 0; i < perMs.size(); ++i) {
            window += perMs[i];
            if (i >= 1000) window -= perMs[i - 1000];
            most = std::max(most, window);
        }
        return most;
    }

    test::FakeClock clock;
    EcuSimulator ecu;
    Bytes wire;
    std::vector<int> perMs; // perMs[i] went out at i + 1 ms
};

constexpr SimOptions kQuiet{.frameRate = 0};
constexpr int kLineRate = 11520; // bytes per second

// The tool's own decoder, reading what the simulated ECU sent.
struct Decoded : test::LinkRig {
    explicit Decoded(const Bytes& wire) {
        Open();
        device.Feed(wire);
        while (!device.incoming.empty()) Tick();
    }
    int frames() const { return static_cast<int>(host.channels.size()); }
    int goodDumps() const { return host.layouts; }
};

TEST(EcuSimulatorTest, DumpsGoodAndFaultyOnDemand) {
    const struct {
        SimOptions options;
        std::size_t size;
        bool good;
        const char* event;
    } cases[] = {
        {kQuiet, 217, true, "dump 215"},
        {{.frameRate = 0, .badDump = true}, 217, false, "dump 215 bad-check"},
        {{.frameRate = 0, .truncateDump = true}, 2 + 107, false, "dump 215 truncated"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        Bench bench(c.options);
        bench.Send('G');
        const Bytes out = bench.Run(50);
        EXPECT_EQ(out.size(), c.size);
        EXPECT_THAT(bench.ecu.TakeEvents(), ElementsAre("G", c.event));
        const Decoded tool(out);
        EXPECT_EQ(tool.goodDumps(), c.good ? 1 : 0);
        EXPECT_EQ(tool.state.counters.badDumps, c.good ? 0 : 1);
        for (int i = 0; c.good && i < EcuImage::kSize; ++i)
            ASSERT_EQ(tool.config.ConfigImage[i], bench.ecu.Image().At(i)) << i;
    }
}

TEST(EcuSimulatorTest, DumpAmidASaturatedStreamArrivesWhole) {
    Bench busy({.frameRate = 2880});
    busy.Run(333);
    busy.Send('G');
    busy.Run(200);
    const Decoded tool(busy.wire);
    EXPECT_EQ(tool.goodDumps(), 1);
    EXPECT_EQ(tool.state.counters.badFrames, 0);
    EXPECT_GT(tool.frames(), 1000);
}

TEST(EcuSimulatorTest, BadWritesAreNeitherStoredNorEchoed) {
    Bench bench(kQuiet);
    const auto before = bench.ecu.Image().Bytes();
    bench.Send({'M', 202, 50, static_cast<std::uint8_t>('M' ^ 202 ^ 50 ^ 1)}); // bad check
    bench.Write(214, 9);                                                       // no such byte
    bench.Write(255, 9);
    EXPECT_TRUE(bench.Run(20).empty());
    EXPECT_EQ(bench.ecu.Image().Bytes(), before);
}

TEST(EcuSimulatorTest, CommandsAreFoundAgainAfterNoiseSplitsAndPauses) {
    Bench bench(kQuiet);
    bench.Run(3500);
    bench.Send('R'); // seconds since power-up
    EXPECT_THAT(bench.Run(5), ElementsAre('R', 3, 0, 'R' ^ 3));
    // A stray "M" in front of a good message: the four bytes from the stray one
    // fail, reading restarts at the next byte and finds the message.
    bench.Send({'M', 'M', 201, 100, 0xE0});
    EXPECT_THAT(bench.Run(5), ElementsAre(0x4D, 0xC9, 0x64, 0xE0));
    // A message that arrives in two pieces.
    bench.Send({'M', 205});
    bench.Run(3);
    bench.Send({30, 'M' ^ 205 ^ 30});
    EXPECT_THAT(bench.Run(5), ElementsAre('M', 205, 30, 'M' ^ 205 ^ 30));
    // A lone "M" does not swallow the command that comes after a pause.
    bench.Send('M');
    bench.Run(150);
    bench.Send('R');
    EXPECT_EQ(bench.Run(5).at(0), 'R');
    // Bytes that are no command are skipped.
    bench.Send({0x00, 0xFF, 'G'});
    EXPECT_EQ(bench.Run(50).size(), 217u);
}

TEST(EcuSimulatorTest, LiveStreamIsEngineSpeedEveryOtherFrameAndTheRestInTurn) {
    Bench bench({.frameRate = 300});
    const Decoded tool(bench.Run(10000));
    EXPECT_EQ(tool.state.counters.badFrames, 0);
    ASSERT_NEAR(tool.frames(), 3000, 2);
    std::vector<int> seen(17);
    for (const auto& f : tool.host.channels) ++seen.at(static_cast<std::size_t>(f.channel));
    EXPECT_EQ(tool.host.channels[0].channel, 0);
    EXPECT_EQ(seen[0], 1500);
    for (std::size_t c = 1; c <= 16; ++c) EXPECT_NEAR(seen[c], 1500 / 16, 1) << "channel " << c;
}

TEST(EcuSimulatorTest, LineRateIsNeverExceeded) {
    Bench bench({.frameRate = 2880});
    for (int t = 0; t < 5000; t += 20) {
        bench.Send('G');
        bench.Send('R');
        bench.Run(20);
    }
    EXPECT_LE(bench.BusiestSecond(), kLineRate);
    // And the line is kept busy, with nothing broken up.
    EXPECT_GE(std::accumulate(bench.perMs.end() - 1000, bench.perMs.end(), 0), 11500);
    const Decoded tool(bench.wire);
    EXPECT_GT(tool.goodDumps(), 100);
    EXPECT_EQ(tool.state.counters.badDumps + tool.state.counters.badFrames, 0);

    // A quiet line does not save up: a heap of answers after a silent second
    // still leaves at the line rate.
    Bench idle(kQuiet);
    idle.Run(1000);
    for (int i = 0; i < 60; ++i) idle.Send('G');
    idle.Run(2000);
    EXPECT_LE(idle.BusiestSecond(), kLineRate);
    EXPECT_EQ(idle.wire.size(), 60u * 217u);
}

TEST(EcuSimulatorTest, StopPausesTheStreamUntilTheNextCommand) {
    Bench bench({.frameRate = 300});
    bench.Run(1000);
    bench.Send('S');
    EXPECT_LE(bench.Run(1000).size(), 3u); // at most the rest of a frame under way
    bench.Send('R');
    const Bytes out = bench.Run(1000);
    EXPECT_EQ(out.at(0), 'R');
    EXPECT_NEAR(static_cast<double>(out.size()), 301.0 * 4, 8.0);
}

// With no answers asked for, the stream is whole frames back to back.
TEST(EcuSimulatorTest, CorruptionAndLossFollowTheSeed) {
    const auto run = [](double corrupt, double drop, std::uint32_t seed) {
        Bench bench({.frameRate = 1000, .seed = seed, .corruptShare = corrupt, .dropShare = drop});
        return bench.Run(10000);
    };
    const Bytes clean = run(0.0, 0.0, 7);
    const Bytes corrupt = run(0.1, 0.0, 7);
    ASSERT_EQ(corrupt.size(), clean.size());
    int damaged = 0;
    for (std::size_t i = 0; i < clean.size(); i += 4)
        damaged += !std::equal(clean.begin() + long(i), clean.begin() + long(i) + 4,
                               corrupt.begin() + long(i));
    EXPECT_NEAR(damaged / double(clean.size() / 4), 0.1, 0.015);
    EXPECT_EQ(run(0.1, 0.0, 7), corrupt);
    EXPECT_NE(run(0.1, 0.0, 8), corrupt);

    const Bytes lossy = run(0.0, 0.05, 7);
    EXPECT_NEAR(double(lossy.size()) / double(clean.size()), 0.95, 0.01);
    EXPECT_EQ(run(0.0, 0.05, 7), lossy);
}

TEST(EcuSimulatorTest, ScheduledSilenceSendsNothingButStillListens) {
    Bench bench({.frameRate = 300, .silenceEveryMs = 2000, .silenceForMs = 500});
    EXPECT_FALSE(bench.Run(2000).empty());
    bench.Send('G');
    bench.Write(201, 90);
    EXPECT_TRUE(bench.Run(499).empty());
    EXPECT_EQ(bench.ecu.Image().At(201), 90); // acted on, never answered
    EXPECT_FALSE(bench.Run(500).empty());
    EXPECT_THAT(bench.ecu.TakeEvents(), ElementsAre("silent", "G", "M 201 90", "talking"));
    bench.Run(1501); // the next period
    EXPECT_TRUE(std::all_of(bench.perMs.begin() + 3999, bench.perMs.begin() + 4499,
                            [](int n) { return n == 0; }));
    EXPECT_GT(bench.perMs[3998] + bench.perMs[4499], 0);
}

} // namespace
} // namespace kavrin::ecusim

#include "ecusim/ecu_simulator.h"
#include "link/write_message.h"
#include "support/fake_clock.h"
#include "wire_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <vector>

namespace kavrin::ecusim {
namespace {

using test::Wire;
using ::testing::Contains;
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
    std::vector<std::string> Events() {
        for (auto& e : ecu.TakeEvents()) events.push_back(e);
        return events;
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
    std::vector<std::string> events;
};

constexpr SimOptions kQuiet{.frameRate = 0};
constexpr int kLineRate = 11520; // bytes per second

bool AllGood(const auto& items) {
    return std::all_of(items.begin(), items.end(), [](const auto& x) { return x.good; });
}

TEST(EcuSimulatorTest, DumpCarriesTheWholeImageWithAGoodCheck) {
    Bench bench(kQuiet);
    bench.Send('G');
    const Bytes out = bench.Run(50);
    ASSERT_EQ(out.size(), 217u);
    EXPECT_THAT(Bytes(out.begin(), out.begin() + 2), ElementsAre('$', 215));
    EXPECT_TRUE(Wire::Read(out).dumps.at(0).good); // 0xAA and all 215 bytes XOR to 0
    const auto& image = bench.ecu.Image().Bytes();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), out.begin() + 2));
    EXPECT_THAT(bench.Events(), ElementsAre("G", "dump 215"));

    // Asked for in the middle of a saturated stream, it arrives whole between two frames.
    Bench busy({.frameRate = 2880});
    busy.Run(333);
    busy.Send('G');
    busy.Run(200);
    const Wire w = Wire::Read(busy.wire);
    ASSERT_EQ(w.dumps.size(), 1u);
    EXPECT_TRUE(w.dumps[0].good);
    EXPECT_EQ(w.dumps[0].count, 215);
    EXPECT_EQ(w.strayBytes, 0);
    EXPECT_TRUE(AllGood(w.frames));
}

TEST(EcuSimulatorTest, DumpFaultsOnDemand) {
    Bench bad({.frameRate = 0, .badDump = true});
    bad.Send('G');
    const Wire w = Wire::Read(bad.Run(50));
    ASSERT_EQ(w.dumps.size(), 1u);
    EXPECT_FALSE(w.dumps[0].good);
    EXPECT_THAT(bad.Events(), ElementsAre("G", "dump 215 bad-check"));

    Bench truncated({.frameRate = 0, .truncateDump = true});
    truncated.Send('G');
    const Bytes out = truncated.Run(50);
    ASSERT_EQ(out.size(), 2u + 107u);
    EXPECT_THAT(Bytes(out.begin(), out.begin() + 2), ElementsAre('$', 215));
    EXPECT_THAT(truncated.Events(), ElementsAre("G", "dump 215 truncated"));
}

TEST(EcuSimulatorTest, WritesAreStoredAndEchoedBadOnesAreNot) {
    Bench bench(kQuiet);
    bench.Write(201, 100);
    EXPECT_THAT(bench.Run(5), ElementsAre(0x4D, 0xC9, 0x64, 0xE0));
    bench.Write(213, 7); // the last configuration byte
    EXPECT_THAT(bench.Run(5), ElementsAre('M', 213, 7, 'M' ^ 213 ^ 7));
    // The next dump carries what was written.
    bench.Send('G');
    const Bytes dump = bench.Run(50);
    ASSERT_EQ(dump.size(), 217u);
    EXPECT_EQ(dump[2 + 201], 100);
    EXPECT_EQ(dump[2 + 213], 7);

    const auto before = bench.ecu.Image().Bytes();
    bench.Events();
    bench.Send({'M', 202, 50, static_cast<std::uint8_t>('M' ^ 202 ^ 50 ^ 1)}); // bad check
    bench.Write(214, 9);                                                       // no such byte
    bench.Write(255, 9);
    EXPECT_TRUE(bench.Run(20).empty());
    EXPECT_EQ(bench.ecu.Image().Bytes(), before);
    const auto events = bench.Events();
    EXPECT_THAT(events, Contains("bad-write index 214 9 " + std::to_string('M' ^ 214 ^ 9)));
    EXPECT_THAT(events, Contains("bad-write index 255 9 " + std::to_string('M' ^ 255 ^ 9)));
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](auto& e) { return e.rfind("bad-write check 202 50", 0) == 0; }),
              1);
}

TEST(EcuSimulatorTest, StatusAndWritesAreFoundAgainAfterNoiseSplitsAndPauses) {
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
    const Wire w = Wire::Read(bench.Run(5));
    ASSERT_EQ(w.frames.size(), 1u);
    EXPECT_EQ(w.frames[0].command, 'R');
    EXPECT_THAT(bench.Events(), ElementsAre("R", "bad-write check 77 201 100", "M 201 100",
                                            "M 205 30", "bad-write incomplete", "R"));
    // Bytes that are no command are skipped.
    bench.Send({0x00, 0xFF, 'G'});
    EXPECT_EQ(bench.Run(50).size(), 217u);
}

TEST(EcuSimulatorTest, LiveStreamHasGoodFramesInRange) {
    Bench bench({.frameRate = 300});
    const Wire w = Wire::Read(bench.Run(10000));
    EXPECT_EQ(w.strayBytes + w.trailing, 0);
    ASSERT_NEAR(static_cast<double>(w.frames.size()), 3000.0, 2.0);

    std::array<int, 17> seen{}, lo, hi{};
    lo.fill(65535);
    for (const auto& f : w.frames) {
        ASSERT_TRUE(f.good);
        ASSERT_GE(f.command, '0');
        ASSERT_LE(f.command, '@');
        const auto c = static_cast<std::size_t>(f.command - '0');
        ++seen[c];
        lo[c] = std::min<int>(lo[c], f.value);
        hi[c] = std::max<int>(hi[c], f.value);
    }
    // Engine speed every other frame, the rest in turn.
    EXPECT_EQ(w.frames[0].command, '0');
    EXPECT_EQ(seen[0], 1500);
    for (std::size_t c = 1; c <= 16; ++c) EXPECT_NEAR(seen[c], 1500 / 16, 1) << "channel " << c;

    const int ranges[][3] = {
        {0, 0, 6144},  // up to the 6000 rpm cut-off, count = rpm x 1.024
        {1, 0, 100},   // up to 35 degrees
        {3, 0, 30000}, // at most 24 ms
        {5, 20, 220},  // between THR MIN and THR MAX
        {7, 15, 73},   // 20 .. 91 degC x 0.8
        {8, 15, 25},    {9, 0, 255}, {10, 30, 100}, {11, 0, 3}, {14, 153, 204}, // 3 .. 4 V
        {15, 153, 204}, {16, 0, 63},
    };
    for (const auto& [channel, min, max] : ranges) {
        EXPECT_GE(lo[static_cast<std::size_t>(channel)], min) << "channel " << channel;
        EXPECT_LE(hi[static_cast<std::size_t>(channel)], max) << "channel " << channel;
    }
    EXPECT_GE(hi[0], 900); // it does run

    // The engine cranks at first and the bit goes once it fires.
    const auto cranking = [&](std::size_t from, std::size_t to) {
        return std::count_if(w.frames.begin() + long(from), w.frames.begin() + long(to),
                             [](auto& f) { return f.command == '@' && (f.value & 1); });
    };
    EXPECT_GT(cranking(0, 600), 0);                // first 2 s
    EXPECT_EQ(cranking(1200, w.frames.size()), 0); // from 4 s on

    // The throttle channel follows the image's THR MIN.
    bench.Write(205, 60);
    bench.Run(2000);
    const auto frames = Wire::Read(bench.wire).frames;
    for (std::size_t i = 3300; i < frames.size(); ++i) // from a second after the write
        EXPECT_TRUE(frames[i].command != '5' || frames[i].value >= 60) << frames[i].value;
}

TEST(EcuSimulatorTest, LineRateIsNeverExceeded) {
    Bench bench({.frameRate = 2880});
    for (int t = 0; t < 5000; t += 20) {
        bench.Send('G');
        bench.Send('R');
        bench.Run(20);
    }
    EXPECT_LE(bench.BusiestSecond(), kLineRate);
    // And the line is kept busy.
    EXPECT_GE(std::accumulate(bench.perMs.end() - 1000, bench.perMs.end(), 0), 11500);
    const Wire w = Wire::Read(bench.wire);
    EXPECT_EQ(w.strayBytes, 0);
    EXPECT_GT(w.dumps.size(), 100u);
    EXPECT_TRUE(AllGood(w.dumps));
    EXPECT_TRUE(AllGood(w.frames));

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
    EXPECT_FALSE(bench.ecu.Streaming());

    bench.Send('R');
    const Wire w = Wire::Read(bench.Run(1000));
    ASSERT_FALSE(w.frames.empty());
    EXPECT_EQ(w.frames[0].command, 'R');
    EXPECT_NEAR(static_cast<double>(w.frames.size()), 301.0, 2.0);
}

TEST(EcuSimulatorTest, CorruptionAndLossFollowTheSeed) {
    const auto run = [](double corrupt, double drop, std::uint32_t seed) {
        Bench bench({.frameRate = 1000, .seed = seed, .corruptShare = corrupt, .dropShare = drop});
        return bench.Run(10000);
    };
    const auto badShare = [](const Bytes& bytes) {
        const auto frames = Wire::Read(bytes).frames;
        return double(
                   std::count_if(frames.begin(), frames.end(), [](auto& f) { return !f.good; })) /
               double(frames.size());
    };
    const Bytes clean = run(0.0, 0.0, 7);
    EXPECT_EQ(badShare(clean), 0.0);
    const Bytes corrupt = run(0.1, 0.0, 7);
    EXPECT_EQ(corrupt.size(), clean.size());
    EXPECT_NEAR(badShare(corrupt), 0.1, 0.015);
    EXPECT_EQ(run(0.1, 0.0, 7), corrupt);
    EXPECT_NE(run(0.1, 0.0, 8), corrupt);

    const Bytes lossy = run(0.0, 0.05, 7);
    EXPECT_NEAR(double(lossy.size()) / double(clean.size()), 0.95, 0.01);
    EXPECT_EQ(run(0.0, 0.05, 7), lossy);
}

TEST(EcuSimulatorTest, SilenceSendsNothingButStillListens) {
    Bench bench({.frameRate = 300, .silenceEveryMs = 2000, .silenceForMs = 500});
    EXPECT_FALSE(bench.Run(2000).empty());
    bench.Send('G');
    bench.Write(201, 90);
    EXPECT_TRUE(bench.Run(499).empty());
    EXPECT_EQ(bench.ecu.Image().At(201), 90); // acted on, never answered
    EXPECT_FALSE(bench.Run(500).empty());
    EXPECT_THAT(bench.Events(), ElementsAre("silent", "G", "M 201 90", "talking"));
    bench.Run(1501); // the next period
    EXPECT_TRUE(std::all_of(bench.perMs.begin() + 3999, bench.perMs.begin() + 4499,
                            [](int n) { return n == 0; }));
    EXPECT_GT(bench.perMs[3998] + bench.perMs[4499], 0);

    // On demand, as the program does on SIGUSR1.
    Bench demand({.frameRate = 300});
    demand.Run(1000);
    demand.ecu.GoSilent(2000);
    EXPECT_TRUE(demand.Run(1999).empty());
    EXPECT_FALSE(demand.Run(20).empty());
    EXPECT_THAT(demand.Events(), ElementsAre("silent", "talking"));
    // Nothing was saved up while silent: answers leave at the line rate.
    demand.Send({'G', 'G', 'G'});
    EXPECT_LE(demand.Run(1).size(), 12u);
    EXPECT_EQ(Wire::Read(demand.wire).strayBytes, 0);
}

} // namespace
} // namespace kavrin::ecusim

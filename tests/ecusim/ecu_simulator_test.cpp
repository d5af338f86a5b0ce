#include "ecusim/ecu_simulator.h"
#include "link/write_message.h"
#include "support/fake_clock.h"
#include "wire_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kavrin::ecusim {
namespace {

using test::Wire;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Bytes = std::vector<std::uint8_t>;

// The ECU with a clock moved by hand, one millisecond at a time, as the
// program's loop would look at it.
struct Bench {
    explicit Bench(SimOptions options = {}) : ecu(clock, options) {}

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

    test::FakeClock clock;
    EcuSimulator ecu;
    Bytes wire;
    std::vector<int> perMs;
    std::vector<std::string> events;
};

SimOptions Quiet() {
    SimOptions o;
    o.frameRate = 0;
    return o;
}

SimOptions Rate(int fps) {
    SimOptions o;
    o.frameRate = fps;
    return o;
}

TEST(EcuSimulatorTest, DumpCarriesTheWholeImageWithAGoodCheck) {
    Bench bench(Quiet());
    bench.Send('G');
    const Bytes out = bench.Run(50);

    ASSERT_EQ(out.size(), 217u);
    EXPECT_EQ(out[0], '$');
    EXPECT_EQ(out[1], 215);
    std::uint8_t x = 0xAA;
    for (std::size_t i = 2; i < out.size(); ++i) x ^= out[i];
    EXPECT_EQ(x, 0);
    const auto& image = bench.ecu.Image().Bytes();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), out.begin() + 2));
    EXPECT_THAT(bench.Events(), ElementsAre("G", "dump 215"));

    // A dump asked for in the middle of a saturated stream arrives whole
    // between two frames.
    Bench busy(Rate(2880));
    busy.Run(333);
    busy.Send('G');
    busy.Run(200);
    const Wire w = Wire::Read(busy.wire);
    ASSERT_EQ(w.dumps.size(), 1u);
    EXPECT_TRUE(w.dumps[0].good);
    EXPECT_EQ(w.dumps[0].count, 215);
    EXPECT_EQ(w.strayBytes, 0);
    EXPECT_TRUE(std::all_of(w.frames.begin(), w.frames.end(), [](auto& f) { return f.good; }));
}

TEST(EcuSimulatorTest, WritesAreStoredAndEchoedBadOnesAreNot) {
    Bench bench(Quiet());
    bench.Write(201, 100);
    EXPECT_THAT(bench.Run(5), ElementsAre(0x4D, 0xC9, 0x64, 0xE0));
    EXPECT_EQ(bench.ecu.Image().At(201), 100);

    bench.Write(213, 7); // the last configuration byte
    EXPECT_THAT(bench.Run(5), ElementsAre('M', 213, 7, 'M' ^ 213 ^ 7));
    EXPECT_EQ(bench.ecu.Image().At(213), 7);

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

TEST(EcuSimulatorTest, WriteMessagesAreFoundAgainAfterNoiseAndSplits) {
    Bench bench(Quiet());
    // A stray "M" in front of a good message: the four bytes from the stray one
    // fail, reading restarts at the next byte and finds the message.
    bench.Send({'M', 'M', 201, 100, 0xE0});
    EXPECT_THAT(bench.Run(5), ElementsAre(0x4D, 0xC9, 0x64, 0xE0));

    // A message that arrives in two pieces.
    bench.Send({'M', 205});
    bench.Run(3);
    bench.Send({30, 'M' ^ 205 ^ 30});
    EXPECT_THAT(bench.Run(5), ElementsAre('M', 205, 30, 'M' ^ 205 ^ 30));
    EXPECT_EQ(bench.ecu.Image().At(205), 30);

    // A lone "M" does not swallow the command that comes after a pause.
    bench.Send('M');
    bench.Run(150);
    bench.Send('R');
    const Wire w = Wire::Read(bench.Run(5));
    ASSERT_EQ(w.frames.size(), 1u);
    EXPECT_EQ(w.frames[0].command, 'R');
    EXPECT_THAT(bench.Events(), ElementsAre("bad-write check 77 201 100", "M 201 100", "M 205 30",
                                            "bad-write incomplete", "R"));

    // Bytes that are no command are skipped.
    bench.Send({0x00, 0xFF, 'G'});
    EXPECT_EQ(bench.Run(50).size(), 217u);
}

TEST(EcuSimulatorTest, StatusAnswersWithSecondsSincePowerUp) {
    Bench bench(Quiet());
    bench.Run(3500);
    bench.Send('R');
    EXPECT_THAT(bench.Run(5), ElementsAre('R', 3, 0, 'R' ^ 3));
}

TEST(EcuSimulatorTest, LiveStreamHasGoodFramesInRange) {
    Bench bench(Rate(300));
    bench.Run(10000);
    const Wire w = Wire::Read(bench.wire);
    EXPECT_EQ(w.strayBytes, 0);
    EXPECT_EQ(w.trailing, 0);
    ASSERT_NEAR(static_cast<double>(w.frames.size()), 3000.0, 2.0);

    std::array<int, 17> seen{};
    std::array<int, 17> lo, hi;
    lo.fill(65535);
    hi.fill(0);
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
    EXPECT_EQ(seen[0], 1500);
    for (std::size_t c = 1; c <= 16; ++c) EXPECT_NEAR(seen[c], 1500 / 16, 1) << "channel " << c;
    EXPECT_EQ(w.frames[0].command, '0');

    struct Range {
        int channel, min, max;
    };
    const Range ranges[] = {
        {0, 0, 6144},  // up to the 6000 rpm cut-off, count = rpm x 1.024
        {1, 0, 100},   // up to 35 degrees
        {3, 0, 30000}, // at most 24 ms
        {5, 20, 220},  // between THR MIN and THR MAX
        {7, 15, 73},   // 20 .. 91 degC x 0.8
        {8, 15, 25},    {9, 0, 255}, {10, 30, 100}, {11, 0, 3}, {14, 153, 204}, // 3 .. 4 V
        {15, 153, 204}, {16, 0, 63},
    };
    for (const Range& r : ranges) {
        const auto c = static_cast<std::size_t>(r.channel);
        EXPECT_GE(lo[c], r.min) << "channel " << r.channel;
        EXPECT_LE(hi[c], r.max) << "channel " << r.channel;
    }
    EXPECT_GE(hi[0], 900); // it does run

    // The engine cranks at first and the bit goes once it fires.
    auto status = [&](std::size_t from, std::size_t to) {
        int cranking = 0;
        for (std::size_t i = from; i < to; ++i)
            if (w.frames[i].command == '@' && (w.frames[i].value & 1)) ++cranking;
        return cranking;
    };
    EXPECT_GT(status(0, 600), 0);                // first 2 s
    EXPECT_EQ(status(1200, w.frames.size()), 0); // from 4 s on

    // The throttle channel follows the image's THR MIN.
    bench.Write(205, 60);
    bench.Run(2000);
    const Wire after = Wire::Read(Bytes(bench.wire.end() - 2000, bench.wire.end()));
    for (const auto& f : after.frames)
        if (f.command == '5') {
            EXPECT_GE(f.value, 60);
        }
}

TEST(EcuSimulatorTest, LineRateIsNeverExceeded) {
    SimOptions o = Rate(2880);
    Bench bench(o);
    for (int t = 0; t < 5000; t += 20) {
        bench.Send('G');
        bench.Send('R');
        bench.Run(20);
    }
    // Any window of one second, wherever it starts.
    int window = 0;
    for (std::size_t i = 0; i < bench.perMs.size(); ++i) {
        window += bench.perMs[i];
        if (i >= 1000) window -= bench.perMs[i - 1000];
        ASSERT_LE(window, 11520) << "window ending at " << i << " ms";
    }
    EXPECT_GE(window, 11500); // and the line is kept busy
    const Wire w = Wire::Read(bench.wire);
    EXPECT_EQ(w.strayBytes, 0);
    EXPECT_GT(w.dumps.size(), 100u);
    EXPECT_TRUE(std::all_of(w.dumps.begin(), w.dumps.end(), [](auto& d) { return d.good; }));
    EXPECT_TRUE(std::all_of(w.frames.begin(), w.frames.end(), [](auto& f) { return f.good; }));

    // A quiet line does not save up: a heap of answers after a silent second
    // still leaves at the line rate.
    Bench idle(Quiet());
    idle.Run(1000);
    for (int i = 0; i < 60; ++i) idle.Send('G');
    idle.Run(2000);
    window = 0;
    for (std::size_t i = 0; i < idle.perMs.size(); ++i) {
        window += idle.perMs[i];
        if (i >= 1000) window -= idle.perMs[i - 1000];
        ASSERT_LE(window, 11520) << "window ending at " << i << " ms";
    }
    EXPECT_EQ(idle.wire.size(), 60u * 217u);
}

TEST(EcuSimulatorTest, StopPausesTheStreamUntilTheNextCommand) {
    Bench bench(Rate(300));
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
    auto run = [](double corrupt, double drop, std::uint32_t seed) {
        SimOptions o = Rate(1000);
        o.corruptShare = corrupt;
        o.dropShare = drop;
        o.seed = seed;
        Bench bench(o);
        bench.Run(10000);
        return bench.wire;
    };
    auto badShare = [](const Bytes& bytes) {
        const Wire w = Wire::Read(bytes);
        const auto bad =
            std::count_if(w.frames.begin(), w.frames.end(), [](auto& f) { return !f.good; });
        return double(bad) / double(w.frames.size());
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

TEST(EcuSimulatorTest, DumpFaults) {
    SimOptions bad = Quiet();
    bad.badDump = true;
    Bench badBench(bad);
    badBench.Send('G');
    const Wire w = Wire::Read(badBench.Run(50));
    ASSERT_EQ(w.dumps.size(), 1u);
    EXPECT_FALSE(w.dumps[0].good);
    EXPECT_THAT(badBench.Events(), ElementsAre("G", "dump 215 bad-check"));

    SimOptions truncated = Quiet();
    truncated.truncateDump = true;
    Bench shortBench(truncated);
    shortBench.Send('G');
    const Bytes out = shortBench.Run(50);
    ASSERT_EQ(out.size(), 2u + 107u);
    EXPECT_EQ(out[0], '$');
    EXPECT_EQ(out[1], 215);
    EXPECT_THAT(shortBench.Events(), ElementsAre("G", "dump 215 truncated"));
}

TEST(EcuSimulatorTest, SilenceSendsNothingButStillListens) {
    SimOptions o = Rate(300);
    o.silenceEveryMs = 2000;
    o.silenceForMs = 500;
    Bench bench(o);
    EXPECT_FALSE(bench.Run(2000).empty());
    bench.Send('G');
    bench.Write(201, 90);
    EXPECT_TRUE(bench.Run(499).empty());
    EXPECT_EQ(bench.ecu.Image().At(201), 90); // acted on, never answered
    EXPECT_FALSE(bench.Run(500).empty());
    EXPECT_THAT(bench.Events(), ElementsAre("silent", "G", "M 201 90", "talking"));
    // The next period: perMs[i] holds what went out at i + 1 ms.
    bench.Run(1501);
    EXPECT_TRUE(std::all_of(bench.perMs.begin() + 3999, bench.perMs.begin() + 4499,
                            [](int n) { return n == 0; }));
    EXPECT_GT(bench.perMs[3998] + bench.perMs[4499], 0);

    // On demand, as the program does on SIGUSR1.
    Bench demand(Rate(300));
    demand.Run(1000);
    demand.ecu.GoSilent(2000);
    EXPECT_TRUE(demand.Run(1999).empty());
    EXPECT_FALSE(demand.Run(20).empty());
    EXPECT_THAT(demand.Events(), ElementsAre("silent", "talking"));
    // Nothing was saved up while silent: answers leave at the line rate.
    demand.Send({'G', 'G', 'G'});
    EXPECT_LE(demand.Run(1).size(), 12u);
    const Wire w = Wire::Read(demand.wire);
    EXPECT_EQ(w.strayBytes, 0);
}

} // namespace
} // namespace kavrin::ecusim

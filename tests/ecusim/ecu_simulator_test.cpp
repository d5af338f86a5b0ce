// SPDX-License-Identifier: GPL-3.0-or-later
// What the end-to-end test cannot see: the faulty dumps the simulated ECU
// sends on demand and the limits of its command line.
#include "ecusim/command_line.h"
#include "ecusim/ecu_image.h"
#include "ecusim/ecu_simulator.h"
#include "ecusim/engine_model.h"
#include "support/link_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kavrin::ecusim {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

// The ECU with a clock moved by hand, one millisecond at a time.
struct Bench {
    explicit Bench(SimOptions options) : ecu(clock, options) {}
    Bytes Run(int ms) {
        Bytes out;
        for (int i = 0; i < ms; ++i) {
            clock.Advance(1);
            const Bytes b = ecu.Produce();
            out.insert(out.end(), b.begin(), b.end());
        }
        return out;
    }

    test::FakeClock clock;
    EcuSimulator ecu;
};

TEST(EcuSimulatorTest, FaultyDumpsOnDemandFailTheToolsCheck) {
    const struct {
        SimOptions options;
        std::size_t size;
        const char* event;
    } cases[] = {
        {{.frameRate = 0, .badDump = true}, 217, "dump 215 bad-check"},
        {{.frameRate = 0, .truncateDump = true}, 2 + 107, "dump 215 truncated"},
    };
    for (const auto& c : cases) {
        Bench bench(c.options);
        bench.ecu.Receive(Bytes{'G'});
        const Bytes out = bench.Run(50);
        EXPECT_EQ(out.size(), c.size);
        EXPECT_THAT(bench.ecu.TakeEvents(), ElementsAre("G", c.event));
        test::LinkRig tool;
        tool.Open();
        tool.device.Feed(out);
        tool.Tick(21); // a cut dump ends a second after its "$"
        EXPECT_EQ(tool.state.counters.badDumps, 1) << c.event;
    }
}

TEST(EcuSimulatorTest, ChangesWhileSilentAreMadeOnceWhenTheLineFirstGoesSilent) {
    SimOptions options{.frameRate = 0};
    options.changesWhileSilent = {{170, 99}};
    Bench bench(options);
    bench.ecu.GoSilent(1000);
    EXPECT_EQ(bench.ecu.Image().Bytes()[170], 99);
    EXPECT_THAT(bench.ecu.TakeEvents(), ElementsAre("silent", "changed 170 99"));
}

// The end-to-end test uses the port, files and seed; these are the rest.
// The engine as the simulator runs it by itself, with no scripted drive: it
// fires and runs on after cranking.
TEST(EngineModelTest, TheFreeRunningEngineRunsAfterCranking) {
    const EngineModel engine(7);
    for (std::int64_t ms : {EngineModel::kCrankingEndsMs, std::int64_t{60000}})
        EXPECT_GT(engine.At(ms).rpm, 200.0) << ms;
}

TEST(CommandLineTest, OptionsAreReadAndNonsenseIsRefused) {
    const ParsedCommandLine all =
        ParseCommandLine({"--select", "--log=/tmp/l", "--rate", "2880", "--seed", "4294967295",
                          "--corrupt", "0.25", "--drop=0.5", "--silence-every", "10",
                          "--silence-for", "1.5", "--bad-dump", "--truncate-dump",
                          "--change-while-silent", "170=99"});
    ASSERT_EQ(all.error, "");
    const SimOptions& o = all.options.sim;
    EXPECT_TRUE(all.options.select && o.badDump && o.truncateDump);
    EXPECT_EQ(o.frameRate, 2880);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_DOUBLE_EQ(o.corruptShare, 0.25);
    EXPECT_DOUBLE_EQ(o.dropShare, 0.5);
    EXPECT_EQ(o.silenceEveryMs, 10000);
    EXPECT_EQ(o.silenceForMs, 1500);
    EXPECT_EQ(o.changesWhileSilent, (std::vector<std::pair<int, std::uint8_t>>{{170, 99}}));
    const std::vector<std::string> nonsense[] = {
        {"--port", "0"},      {"--port", "256"},  {"--port", "9x"},       {"--rate", "2881"},
        {"--corrupt", "1.5"}, {"--drop", "-0.1"}, {"--silence-for", "0"}, {"--log"},
        {"--select=1"},       {"--speed", "3"},       {"--change-while-silent", "214=1"},
        {"--change-while-silent", "3=256"}, {"--change-while-silent", "3"}};
    for (const auto& args : nonsense) EXPECT_NE(ParseCommandLine(args).error, "") << args[0];
}

} // namespace
} // namespace kavrin::ecusim

#include "ecusim/command_line.h"

#include <gtest/gtest.h>

namespace kavrin::ecusim {
namespace {

TEST(CommandLineTest, OptionsAreReadAndDefaultsKept) {
    const ParsedCommandLine none = ParseCommandLine({});
    EXPECT_TRUE(none.error.empty());
    EXPECT_EQ(none.options.port, 9);
    EXPECT_EQ(none.options.sim.frameRate, 300);
    EXPECT_EQ(none.options.sim.silenceForMs, 2000);
    EXPECT_FALSE(none.options.select);

    const ParsedCommandLine all = ParseCommandLine(
        {"--port", "12", "--select", "--ready-file", "/tmp/r", "--log=/tmp/l", "--rate", "2880",
         "--seed", "4294967295", "--corrupt", "0.25", "--drop=0.5", "--silence-every", "10",
         "--silence-for", "1.5", "--bad-dump", "--truncate-dump"});
    ASSERT_EQ(all.error, "");
    const ProgramOptions& o = all.options;
    EXPECT_EQ(o.port, 12);
    EXPECT_TRUE(o.select);
    EXPECT_EQ(o.readyFile, "/tmp/r");
    EXPECT_EQ(o.logFile, "/tmp/l");
    EXPECT_EQ(o.sim.frameRate, 2880);
    EXPECT_EQ(o.sim.seed, 4294967295u);
    EXPECT_DOUBLE_EQ(o.sim.corruptShare, 0.25);
    EXPECT_DOUBLE_EQ(o.sim.dropShare, 0.5);
    EXPECT_EQ(o.sim.silenceEveryMs, 10000);
    EXPECT_EQ(o.sim.silenceForMs, 1500);
    EXPECT_TRUE(o.sim.badDump);
    EXPECT_TRUE(o.sim.truncateDump);
    EXPECT_TRUE(ParseCommandLine({"--help"}).options.help);
}

TEST(CommandLineTest, NonsenseIsRefusedWithAReason) {
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--port", "0"}, "invalid value '0' for --port (expected 1..255)"},
        {{"--port", "256"}, "invalid value '256' for --port (expected 1..255)"},
        {{"--port", "9x"}, "invalid value '9x' for --port (expected 1..255)"},
        {{"--rate", "2881"},
         "invalid value '2881' for --rate (expected 0..2880 frames per second)"},
        {{"--corrupt", "1.5"}, "invalid value '1.5' for --corrupt (expected a share 0..1)"},
        {{"--drop", "-0.1"}, "invalid value '-0.1' for --drop (expected a share 0..1)"},
        {{"--silence-for", "0"}, "invalid value '0' for --silence-for (expected seconds above 0)"},
        {{"--log"}, "missing value for --log"},
        {{"--select=1"}, "--select takes no value"},
        {{"--speed", "3"}, "unknown option --speed"},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCommandLine(c.args).error, c.error) << c.args[0];
}

} // namespace
} // namespace kavrin::ecusim

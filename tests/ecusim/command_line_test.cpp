#include "ecusim/command_line.h"

#include <gtest/gtest.h>

namespace kavrin::ecusim {
namespace {

TEST(CommandLineTest, OptionsAreRead) {
    EXPECT_EQ(ParseCommandLine({}).error, "");
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

TEST(CommandLineTest, NonsenseIsRefused) {
    const std::vector<std::string> nonsense[] = {
        {"--port", "0"},      {"--port", "256"},  {"--port", "9x"},       {"--rate", "2881"},
        {"--corrupt", "1.5"}, {"--drop", "-0.1"}, {"--silence-for", "0"}, {"--log"},
        {"--select=1"},       {"--speed", "3"}};
    for (const auto& args : nonsense) EXPECT_NE(ParseCommandLine(args).error, "") << args[0];
}

} // namespace
} // namespace kavrin::ecusim

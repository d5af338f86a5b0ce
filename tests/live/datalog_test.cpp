// SPDX-License-Identifier: GPL-3.0-or-later
// The datalog's file: its name, its header and its rows whatever the locale.
#include "live/datalog.h"

#include "support/fake_clock.h"
#include "support/memory_file_system.h"

#include <gtest/gtest.h>

#include <clocale>

namespace kavrin {
namespace {

// Titles that would split a column are quoted; values are written with "."
// whatever the locale says, to seven digits; the status bits as six 0/1
// columns, bit 0 first.
TEST(Datalog, NameHeaderAndRowsInTheCForm) {
    EXPECT_EQ(DatalogFileName({2026, 12, 7, 3, 15, 0}), "kavrin-2026-12-07-031500.csv");
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8");
    struct Case {
        std::int64_t afterMs;
        float rpm, ign, afr;
        std::int32_t bits;
        const char* row;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, "0.000,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"},
        {1234, 1000, 35.15625f, 9.5f, 9,
         "1.234,1000,35.15625,0,0,0,0,0,0,0,9.5,0,0,0,0,0,0,1,0,0,1,0,0"},
        {61005, 63999.0234375f, 0.1f, 19, 0x7F,
         "62.239,63999.02,0.1,0,0,0,0,0,0,0,19,0,0,0,0,0,0,1,1,1,1,1,1"},
    };
    test::FakeClock clock;
    test::MemoryFileSystem files;
    Datalog log{clock};
    DatalogHeader h;
    for (int n = 0; n < kMeasuredChannels; ++n) h.names[n] = "C" + std::to_string(n);
    h.units[0] = "\xC2\xBA"
                 "C";
    h.names[1] = "IGN, advance";
    h.names[2] = "the \"delay\"";
    h.indicators = {"CRANKING", "SELECTOR", "STOP", "PULSE", "FIRST", "ANTICIP"};
    ASSERT_TRUE(log.Start(files.CreateStream("/log.csv"), "/log.csv", h));
    std::string expected = "Time (s),C0 (\xC2\xBA"
                           "C),\"IGN, advance\",\"the \"\"delay\"\"\",C3,C4,C5,C6,C7,C8,C9,C10,"
                           "C11,C12,C13,C14,C15,CRANKING,SELECTOR,STOP,PULSE,FIRST,ANTICIP\n";
    for (const Case& c : cases) {
        clock.Advance(c.afterMs);
        std::array<float, kMeasuredChannels> values{c.rpm, c.ign};
        values[9] = c.afr;
        log.AddRow(values, c.bits);
        expected += std::string(c.row) + "\n";
    }
    log.Stop();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(files.files["/log.csv"], expected);
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
}

} // namespace
} // namespace kavrin

// The datalog's file: its name, its header, its rows whatever the locale, and
// what happens when the disk stops taking them.
#include "live/datalog.h"

#include "support/fake_clock.h"
#include "support/memory_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <string>

namespace kavrin {
namespace {

TEST(Datalog, FileNameIsTheLocalDateAndTime) {
    const std::pair<LocalDateTime, const char*> cases[] = {
        {{2026, 12, 7, 3, 15, 0}, "kavrin-2026-12-07-031500.csv"},
        {{2027, 1, 2, 23, 5, 9}, "kavrin-2027-01-02-230509.csv"},
    };
    for (const auto& [when, name] : cases) EXPECT_EQ(DatalogFileName(when), name);
}

class DatalogTest : public ::testing::Test {
protected:
    DatalogHeader Header() {
        DatalogHeader h;
        for (int n = 0; n < kMeasuredChannels; ++n) h.names[n] = "C" + std::to_string(n);
        h.indicators = {"CRANKING", "SELECTOR", "STOP", "PULSE", "FIRST", "ANTICIP"};
        return h;
    }
    void Start(const DatalogHeader& header) {
        ASSERT_TRUE(log.Start(files.CreateStream("/log.csv"), "/log.csv", header));
    }
    // The file's lines after the header.
    std::string Rows() const {
        const std::string& f = files.files.at("/log.csv");
        return f.substr(f.find('\n') + 1);
    }
    long RowLines() const {
        const std::string rows = Rows();
        return std::count(rows.begin(), rows.end(), '\n');
    }

    test::FakeClock clock;
    test::MemoryFileSystem files;
    Datalog log{clock};
};

TEST_F(DatalogTest, HeaderQuotesWhatWouldSplitAColumn) {
    DatalogHeader h = Header();
    h.names[0] = "RPM";
    h.units[0] = "rpm";
    h.names[1] = "IGN, advance";
    h.names[2] = "the \"delay\"";
    h.units[7] = "\xC2\xBA"
                 "C";
    Start(h);
    EXPECT_EQ(files.files["/log.csv"],
              "Time (s),RPM (rpm),\"IGN, advance\",\"the \"\"delay\"\"\",C3,C4,C5,C6,"
              "C7 (\xC2\xBA"
              "C),C8,C9,C10,C11,C12,C13,C14,C15,CRANKING,SELECTOR,STOP,PULSE,FIRST,ANTICIP\n");
}

// Rows are written with "." whatever the locale says, to seven digits; the status bits as six 0/1
// columns, bit 0 first.
TEST_F(DatalogTest, RowsAreTimeValuesAndIndicatorsInTheCForm) {
    const bool comma =
        std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8");
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
    Start(Header());
    std::string expected;
    for (const Case& c : cases) {
        clock.Advance(c.afterMs);
        std::array<float, kMeasuredChannels> values{};
        values[0] = c.rpm;
        values[1] = c.ign;
        values[9] = c.afr;
        log.AddRow(values, c.bits);
        expected += std::string(c.row) + "\n";
    }
    log.Stop();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(log.Rows(), 3);
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
}

// Rows reach the file once a second, from a row or from the timer's tick; a
// disk that stops taking them ends the log with a reason, once, and keeps
// what was written before.
TEST_F(DatalogTest, FlushesEverySecondAndStopsWhenTheDiskFails) {
    Start(Header());
    log.AddRow({}, 0);
    clock.Advance(999);
    log.Tick();
    EXPECT_EQ(Rows(), "");
    clock.Advance(1);
    log.Tick();
    EXPECT_EQ(Rows(), "0.000,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n");
    clock.Advance(1000);
    log.AddRow({}, 0);
    EXPECT_EQ(log.Rows(), 2);
    EXPECT_EQ(RowLines(), 2);

    files.failWrites = true;
    log.AddRow({}, 0);
    clock.Advance(1000);
    log.Tick();
    EXPECT_FALSE(log.Running());
    EXPECT_EQ(log.TakeFailure(), "no space left on device");
    EXPECT_EQ(log.TakeFailure(), std::nullopt);
    EXPECT_EQ(RowLines(), 2);
    log.AddRow({}, 0);
    EXPECT_EQ(log.Rows(), 3);
}

} // namespace
} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
// The datalog's file written and read back: what is refused and why, what is
// left out, and the trace summary a viewer draws from.
#include "analysis/datalog_reader.h"
#include "analysis/log_configuration.h"
#include "analysis/trace_summary.h"
#include "config/efi_file.h"
#include "support/fake_clock.h"
#include "support/memory_file_system.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <random>

namespace kavrin {
namespace {

// The title row as the datalog writes it (its test below shows so), with
// titles that need quoting, one of them over two lines.
const std::string kTitles = "Time (s),C0 (°C),\"IGN, advance\",\"the \"\"delay\"\"\nline\",C3,C4,"
                            "C5,C6,C7,C8,C9,C10,C11,C12,C13,C14,C15,CRANKING,SELECTOR,STOP,PULSE,"
                            "FIRST,ANTICIP\n";

// A row of the datalog's form: time, sixteen values, six indicators.
std::string Row(const char* time, const char* rpm = "1000", const char* bits = "0,0,0,0,0,0") {
    return std::string(time) + "," + rpm + ",10.5,0,1.2,0,25,0,80,30,14.7,0,0,0,0,3.5,4" + "," +
           bits + "\n";
}

DatalogReadResult Read(const std::string& text) {
    test::MemoryFileSystem files;
    files.files["/log.csv"] = text;
    return ReadDatalog(files, "/log.csv");
}

TEST(DatalogReader, RefusesWhatNoDatalogHoldsAndDropsOnlyACutLastRow) {
    const std::string& t = kTitles; // lines 1 and 2
    const std::string r1 = Row("0.050"), r2 = Row("0.100");
    const struct Case {
        const char* name;
        std::string text;
        DatalogFault fault;
        std::int64_t line;
        int column;
        std::size_t rows;
        std::int64_t dropped;
    } cases[] = {
        {"whole", t + r1 + r2, DatalogFault::None, 0, 0, 2, 0},
        {"rows of one tick share its time", t + r1 + r1 + r2, DatalogFault::None, 0, 0, 3, 0},
        {"line ends of a spreadsheet",
         t + "0.05,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,0,0,0,0,0,1\r\n", DatalogFault::None, 0,
         0, 1, 0},
        {"empty lines at the end", t + r1 + "\n\n", DatalogFault::None, 0, 0, 1, 0},
        {"last row without its line end", t + r1 + r2.substr(0, r2.size() - 1), DatalogFault::None,
         0, 0, 1, 4},
        {"last row cut short", t + r1 + r2.substr(0, 20) + "\n", DatalogFault::None, 0, 0, 1, 4},
        {"empty", "", DatalogFault::Empty, 0, 0, 0, 0},
        {"titles only", t, DatalogFault::NoRows, 0, 0, 0, 0},
        {"titles and a cut row", t + r1.substr(0, 30), DatalogFault::NoRows, 0, 0, 0, 0},
        {"rows without titles", r1 + r2, DatalogFault::NoTitles, 1, 0, 0, 0},
        {"a column too few in the titles", "a,b,c\n" + r1, DatalogFault::WrongColumns, 1, 0, 0, 0},
        {"a short row before the last", t + r1.substr(0, 20) + "\n" + r2,
         DatalogFault::MissingFields, 3, 0, 0, 0},
        {"a short row before a cut one", t + r1.substr(0, 20) + "\n" + r2.substr(0, 20),
         DatalogFault::MissingFields, 3, 0, 0, 0},
        {"an empty line between rows", t + r1 + "\n" + r2, DatalogFault::MissingFields, 4, 0, 0, 0},
        {"a decimal comma", t + Row("0.05", "1000,5") + r2, DatalogFault::ExtraFields, 3, 0, 0, 0},
        {"a word", t + r1 + Row("0.10", "fast"), DatalogFault::NotANumber, 4, 2, 0, 0},
        {"an empty field", t + Row("0.05", ""), DatalogFault::NotANumber, 3, 2, 0, 0},
        {"not a number", t + Row("0.05", "nan"), DatalogFault::NotANumber, 3, 2, 0, 0},
        {"a time that is no number", t + Row("1:05"), DatalogFault::NotANumber, 3, 1, 0, 0},
        {"an indicator of 2", t + Row("0.05", "1000", "0,0,2,0,0,0"), DatalogFault::NotAnIndicator,
         3, 20, 0, 0},
        {"time going back", t + r2 + r1, DatalogFault::TimeBackwards, 4, 1, 0, 0},
        {"a negative time", t + Row("-0.05"), DatalogFault::TimeOutOfRange, 3, 1, 0, 0},
        {"a line beyond any row", t + std::string(DatalogParser::kMaxLineBytes + 1, '7'),
         DatalogFault::LineTooLong, 3, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const DatalogReadResult r = Read(c.text);
        EXPECT_EQ(r.problem.fault, c.fault) << c.name << ": " << DescribeDatalogProblem(r.problem);
        EXPECT_EQ(r.ok, c.fault == DatalogFault::None) << c.name;
        EXPECT_EQ(r.problem.line, c.line) << c.name;
        EXPECT_EQ(r.problem.column, c.column) << c.name;
        EXPECT_EQ(r.data.Rows(), c.rows) << c.name;
        EXPECT_EQ(r.droppedLine, c.dropped) << c.name;
    }
}

// The datalog's file as written and read back: titles that would split a
// column are quoted; values are written with "." whatever the locale says, to
// seven digits; the status bits as six 0/1 columns, bit 0 first.
TEST(Datalog, WrittenInTheCFormAndReadBackAsLogged) {
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8");
    const struct {
        std::int64_t afterMs;
        float rpm, ign, afr;
        std::int32_t bits;
        const char* row;
    } cases[] = {
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
    h.units[0] = "°C";
    h.names[1] = "IGN, advance";
    h.names[2] = "the \"delay\"\nline";
    h.indicators = {"CRANKING", "SELECTOR", "STOP", "PULSE", "FIRST", "ANTICIP"};
    ASSERT_TRUE(log.Start(files.CreateStream("/log.csv"), "/log.csv", h));
    std::string expected = kTitles;
    for (const auto& c : cases) {
        clock.Advance(c.afterMs);
        std::array<float, kMeasuredChannels> values{c.rpm, c.ign};
        values[kLambdaChannel] = c.afr;
        log.AddRow(values, c.bits);
        expected += std::string(c.row) + "\n";
    }
    log.Stop();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(files.files["/log.csv"], expected);

    const DatalogReadResult r = Read(expected);
    ASSERT_EQ(r.data.Rows(), 3u);
    EXPECT_EQ(r.data.Titles()[2], "IGN, advance");
    EXPECT_EQ(r.data.Titles()[3], "the \"delay\"\nline");
    const LogSample s = r.data.Sample(1);
    EXPECT_EQ(s.timeMs, 1234);
    EXPECT_FLOAT_EQ(s.values[kRpmChannel], 1000);
    EXPECT_FLOAT_EQ(s.values[kLambdaChannel], 9.5f);
    EXPECT_EQ(s.status, 9);
    EXPECT_FLOAT_EQ(r.data.Sample(2).values[kRpmChannel], 63999.02f);
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
}

// Each screen column's minimum and maximum is that of the rows whose time
// falls in it, at any zoom.
TEST(TraceSummary, ColumnsHoldTheirRowsMinimumAndMaximum) {
    std::string text = kTitles;
    std::mt19937 random(3);
    for (int i = 0; i < 5000; ++i) {
        const std::string rpm = std::to_string(random() % 9000);
        const std::string bits = random() % 5 ? "0,0,0,0,0,0" : "0,0,0,0,1,0";
        text += Row(std::to_string(i / 3 * 0.05).c_str(), rpm.c_str(), bits.c_str());
    }
    const DatalogReadResult r = Read(text);
    ASSERT_TRUE(r.ok);
    const DatalogData& log = r.data;
    const TraceSummary summary(log);
    const auto& times = log.TimesMs();
    const auto& rpm = log.Channel(kRpmChannel);
    const struct {
        double from, to;
        int columns;
    } views[] = {{0, 83400, 1000}, {1000, 1100, 640}, {-500, 90000, 7}, {40012.5, 52000, 333}};
    for (const auto [from, to, columns] : views) {
        std::vector<TraceColumn> out(static_cast<std::size_t>(columns));
        std::vector<IndicatorColumn> first(out.size());
        summary.Summarise(kRpmChannel, from, to, out);
        summary.SummariseIndicator(4, from, to, first);
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double a = from + (to - from) * static_cast<double>(i) / columns;
            const double b = from + (to - from) * static_cast<double>(i + 1) / columns;
            TraceColumn want{1e9f, -1e9f, 0, 0};
            IndicatorColumn bit{false, true, 0};
            for (std::size_t row = 0; row < log.Rows(); ++row) {
                if (times[row] < a || times[row] >= b) continue;
                if (want.rows++ == 0) want.firstRow = static_cast<std::uint32_t>(row);
                want.min = std::min(want.min, rpm[row]);
                want.max = std::max(want.max, rpm[row]);
                bit.any |= (log.Status()[row] & kFirstBit) != 0;
                bit.all &= (log.Status()[row] & kFirstBit) != 0;
            }
            ASSERT_EQ(out[i].rows, want.rows) << from << " column " << i;
            if (want.rows == 0) continue;
            EXPECT_EQ(out[i].firstRow, want.firstRow);
            EXPECT_EQ(out[i].min, want.min);
            EXPECT_EQ(out[i].max, want.max);
            EXPECT_EQ(first[i].any, bit.any);
            EXPECT_EQ(first[i].all, bit.all);
        }
    }
    EXPECT_EQ(log.RowAt(1049), 62u);
    EXPECT_EQ(log.RowAt(-5), 0u);
}

// The configuration of the moment a log started lies beside it (a plain name's
// is the log window test's).
TEST(LogConfiguration, BesideTheLogOrTheWindowsOwn) {
    const std::pair<const char*, const char*> paths[] = {
        {"C:\\logs\\run.CSV", "C:\\logs\\run.efi"},
        {"/runs.d/run", "/runs.d/run.efi"},
        {"/runs/.hidden", "/runs/.hidden.efi"},
    };
    for (const auto& [log, efi] : paths) EXPECT_EQ(ConfigPathForLog(log), efi);

    Configuration window;
    window.SizeImage();
    Configuration saved = window;
    saved.ConfigImage.Set(0, 77);
    test::MemoryFileSystem files;
    EXPECT_FALSE(LoadLogConfiguration(files, "/a.csv", window).fromFile);
    files.files["/a.efi"] = WriteEfiText(saved);
    const LogConfiguration beside = LoadLogConfiguration(files, "/a.csv", window);
    EXPECT_TRUE(beside.fromFile);
    EXPECT_EQ(beside.config.ConfigImage[0], 77);
    files.files["/a.efi"] = "format=15x11\r\n;EFI\r\n300\r\n";
    const LogConfiguration refused = LoadLogConfiguration(files, "/a.csv", window);
    EXPECT_FALSE(refused.fromFile);
    EXPECT_EQ(refused.config.ConfigImage[0], 0);
    EXPECT_FALSE(refused.refusal.ok);
}

} // namespace
} // namespace kavrin

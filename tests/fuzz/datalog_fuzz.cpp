// SPDX-License-Identifier: GPL-3.0-or-later
// A datalog read in one piece and in two reads the same; an accepted log has
// rows in time order that the trace summary covers; the same bytes as a table
// of target air-fuel ratios survive a save and a reload when accepted.
#include "analysis/datalog_reader.h"
#include "analysis/target_afr.h"
#include "analysis/trace_summary.h"
#include "fuzz_harness.h"

#include <algorithm>

using namespace kavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    DatalogParser whole;
    whole.Feed(text);
    const DatalogReadResult a = whole.Finish();
    DatalogParser pieces;
    const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    pieces.Feed(text.substr(0, cut));
    pieces.Feed(text.substr(cut));
    const DatalogReadResult b = pieces.Finish();
    fuzz::Check(a.ok == b.ok && a.problem.fault == b.problem.fault &&
                    a.problem.line == b.problem.line && a.data.Rows() == b.data.Rows() &&
                    a.droppedLine == b.droppedLine,
                "the pieces a log arrives in changed what was read");
    if (!a.ok) {
        fuzz::Check(!DescribeDatalogProblem(a.problem).empty(), "a refusal without a reason");
    } else {
        const auto& times = a.data.TimesMs();
        fuzz::Check(!times.empty(), "an accepted log without rows");
        fuzz::Check(std::is_sorted(times.begin(), times.end()), "an accepted log going back");
        const TraceSummary summary(a.data);
        std::vector<TraceColumn> columns(7);
        summary.Summarise(kLambdaChannel, -10, static_cast<double>(a.data.DurationMs()) + 10,
                          columns);
        std::size_t rows = 0;
        for (const TraceColumn& c : columns) rows += c.rows;
        fuzz::Check(rows == a.data.Rows(), "rows missing from the trace summary");
    }

    const TargetTextResult table = ReadTargetAfrText(text);
    if (table.ok) {
        const TargetTextResult again = ReadTargetAfrText(table.table.ToText());
        fuzz::Check(again.ok && again.table == table.table, "a saved target table changed");
    } else {
        fuzz::Check(!DescribeTargetTextProblem(table).empty(), "a refusal without a reason");
    }
    return 0;
}

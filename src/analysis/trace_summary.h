// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a trace of a datalog looks like at any zoom without touching every row:
// the lowest and highest value of each screen column, from a pyramid of
// minima and maxima over blocks of rows built once per log.
#include "analysis/datalog_reader.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace kavrin {

struct TraceColumn {
    float min = 0;
    float max = 0;
    std::uint32_t rows = 0; // rows in the column; 0: min and max mean nothing
    std::uint32_t firstRow = 0;
};

// An indicator over a screen column: set in some of its rows, in all of them.
struct IndicatorColumn {
    bool any = false;
    bool all = false;
    std::uint32_t rows = 0;
};

class TraceSummary {
public:
    // The log must outlive the summary.
    explicit TraceSummary(const DatalogData& log);

    // Splits the time from fromMs to toMs into out.size() equal columns and
    // gives each its rows' minimum and maximum of the channel (0..15). A row
    // belongs to the column its time falls in.
    void Summarise(int channel, double fromMs, double toMs, std::span<TraceColumn> out) const;
    // The same for indicator bit (0..5) of channel 16.
    void SummariseIndicator(int bit, double fromMs, double toMs,
                            std::span<IndicatorColumn> out) const;

    // Rows per block at each level above the rows themselves.
    static constexpr std::size_t kFanOut = 8;

private:
    // Level k holds one entry per kFanOut^(k+1) rows.
    struct FloatLevels {
        std::vector<std::vector<float>> min, max;
    };
    struct BitLevels {
        std::vector<std::vector<std::uint8_t>> all, any; // and, or of the status bytes
    };
    // Rows [first, last) of each column.
    void ColumnRows(double fromMs, double toMs, std::size_t columns,
                    std::vector<std::size_t>& bounds) const;

    const DatalogData& log_;
    std::array<FloatLevels, kMeasuredChannels> channels_;
    BitLevels status_;
};

} // namespace kavrin

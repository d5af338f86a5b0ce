// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/trace_summary.h"

#include <algorithm>

namespace kavrin {

namespace {

constexpr std::size_t F = TraceSummary::kFanOut;

struct MinMax {
    static float Lo(float a, float b) { return std::min(a, b); }
    static float Hi(float a, float b) { return std::max(a, b); }
};
struct AllAny {
    static std::uint8_t Lo(std::uint8_t a, std::uint8_t b) { return a & b; }
    static std::uint8_t Hi(std::uint8_t a, std::uint8_t b) { return a | b; }
};

template <typename Op, typename T>
void Build(const std::vector<T>& rows, std::vector<std::vector<T>>& lo,
           std::vector<std::vector<T>>& hi) {
    const T* srcLo = rows.data();
    const T* srcHi = rows.data();
    std::size_t n = rows.size();
    while (n > F) {
        const std::size_t m = (n + F - 1) / F;
        std::vector<T> l(m), h(m);
        for (std::size_t i = 0; i < m; ++i) {
            const std::size_t a = i * F;
            const std::size_t b = std::min(a + F, n);
            T x = srcLo[a], y = srcHi[a];
            for (std::size_t j = a + 1; j < b; ++j) {
                x = Op::Lo(x, srcLo[j]);
                y = Op::Hi(y, srcHi[j]);
            }
            l[i] = x;
            h[i] = y;
        }
        lo.push_back(std::move(l));
        hi.push_back(std::move(h));
        srcLo = lo.back().data();
        srcHi = hi.back().data();
        n = m;
    }
}

// Folds rows [first, last) (last > first): whole blocks from the coarsest level
// that fits, single entries only at the ragged ends of each level.
template <typename Op, typename T>
void Fold(const std::vector<T>& rows, const std::vector<std::vector<T>>& lo,
          const std::vector<std::vector<T>>& hi, std::size_t first, std::size_t last, T& outLo,
          T& outHi) {
    outLo = rows[first];
    outHi = rows[first];
    const T* l = rows.data();
    const T* h = rows.data();
    std::size_t level = 0; // levels above the rows climbed so far
    auto take = [&](std::size_t i) {
        outLo = Op::Lo(outLo, l[i]);
        outHi = Op::Hi(outHi, h[i]);
    };
    while (first < last) {
        if (level == lo.size() || last - first < 2 * F) {
            for (std::size_t i = first; i < last; ++i) take(i);
            break;
        }
        while (first % F != 0) take(first++);
        while (last % F != 0) take(--last);
        first /= F;
        last /= F;
        l = lo[level].data();
        h = hi[level].data();
        ++level;
    }
}

} // namespace

TraceSummary::TraceSummary(const DatalogData& log) : log_(log) {
    for (int c = 0; c < kMeasuredChannels; ++c)
        Build<MinMax>(log.Channel(c), channels_[c].min, channels_[c].max);
    Build<AllAny>(log.Status(), status_.all, status_.any);
}

void TraceSummary::ColumnRows(double fromMs, double toMs, std::size_t columns,
                              std::vector<std::size_t>& bounds) const {
    const auto& times = log_.TimesMs();
    bounds.resize(columns + 1);
    for (std::size_t i = 0; i <= columns; ++i) {
        const double t =
            fromMs + (toMs - fromMs) * static_cast<double>(i) / static_cast<double>(columns);
        bounds[i] = static_cast<std::size_t>(
            std::lower_bound(times.begin(), times.end(), t,
                             [](std::int32_t row, double time) { return row < time; }) -
            times.begin());
    }
}

void TraceSummary::Summarise(int channel, double fromMs, double toMs,
                             std::span<TraceColumn> out) const {
    if (out.empty()) return;
    std::vector<std::size_t> bounds;
    ColumnRows(fromMs, toMs, out.size(), bounds);
    const FloatLevels& levels = channels_[channel];
    for (std::size_t i = 0; i < out.size(); ++i) {
        TraceColumn& c = out[i];
        c = {};
        c.firstRow = static_cast<std::uint32_t>(bounds[i]);
        if (bounds[i + 1] <= bounds[i]) continue;
        c.rows = static_cast<std::uint32_t>(bounds[i + 1] - bounds[i]);
        Fold<MinMax>(log_.Channel(channel), levels.min, levels.max, bounds[i], bounds[i + 1], c.min,
                     c.max);
    }
}

void TraceSummary::SummariseIndicator(int bit, double fromMs, double toMs,
                                      std::span<IndicatorColumn> out) const {
    if (out.empty()) return;
    std::vector<std::size_t> bounds;
    ColumnRows(fromMs, toMs, out.size(), bounds);
    for (std::size_t i = 0; i < out.size(); ++i) {
        IndicatorColumn& c = out[i];
        c = {};
        if (bounds[i + 1] <= bounds[i]) continue;
        c.rows = static_cast<std::uint32_t>(bounds[i + 1] - bounds[i]);
        std::uint8_t all, any;
        Fold<AllAny>(log_.Status(), status_.all, status_.any, bounds[i], bounds[i + 1], all, any);
        c.all = (all >> bit & 1) != 0;
        c.any = (any >> bit & 1) != 0;
    }
}

} // namespace kavrin

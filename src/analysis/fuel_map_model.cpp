// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/fuel_map_model.h"

#include "live/live_cell.h"

#include <algorithm>
#include <cmath>

namespace kavrin {

FuelMapModel::FuelMapModel(int cols, int rows, const ThrottleAxis& throttle, bool interpolation)
    : cols_(std::max(cols, 0)), rows_(std::max(rows, 0)), interpolation_(interpolation) {
    for (int r = 1; r <= rows_; ++r) rowPercent_.push_back(ThrottleRowPercent(throttle, r));
}

FuelMapModel FuelMapModel::FromConfiguration(const Configuration& config) {
    const ByteImage& image = config.ConfigImage;
    const int p = config.ParamBase;
    const ThrottleAxis throttle = ThrottleAxisFor(image[p + kParameterScalings[kThrMin].offset],
                                                  image[p + kParameterScalings[kThrMax].offset]);
    return FuelMapModel(config.MapCols, config.MapRows, throttle,
                        (image[p + kOptionsOffset] & kEfiInterpolationBit) != 0);
}

int FuelMapModel::Share(double rpm, double throttlePercent, std::array<CellWeight, 4>& out) const {
    if (cols_ < 1 || rows_ < 1 || !std::isfinite(rpm) || !std::isfinite(throttlePercent)) return 0;
    if (!interpolation_) {
        // The engine-speed count the window would have had for this speed.
        const LiveCellPosition live =
            LocateLiveCell(RoundToInt32(rpm / kRpmPerCount), static_cast<float>(throttlePercent));
        if (live.LiveCol > cols_ || live.LiveRow > rows_ || live.LiveRow < 1) return 0;
        out[0] = {(live.LiveRow - 1) * cols_ + live.LiveCol - 1, 1.0};
        return 1;
    }
    // Column c0 and the share fx of column c0 + 1; row r0 and the share fy of
    // row r0 + 1; all counted from 1.
    int c0 = 1;
    double fx = 0;
    if (cols_ > 1) {
        const double x = std::clamp(rpm / 1000.0, 1.0, static_cast<double>(cols_));
        c0 = std::min(static_cast<int>(x), cols_ - 1);
        fx = x - c0;
    }
    int r0 = 1;
    while (r0 < rows_ && RowPercent(r0 + 1) <= throttlePercent) ++r0;
    double fy = 0;
    // Rows of a tiny throttle span can share a header; the lower one takes it.
    if (r0 < rows_ && RowPercent(r0 + 1) > RowPercent(r0))
        fy = std::clamp((throttlePercent - RowPercent(r0)) / (RowPercent(r0 + 1) - RowPercent(r0)),
                        0.0, 1.0);
    int n = 0;
    auto add = [&](int row, int col, double w) {
        if (w > 0) out[n++] = {(row - 1) * cols_ + col - 1, w};
    };
    add(r0, c0, (1 - fx) * (1 - fy));
    add(r0, c0 + 1, fx * (1 - fy));
    add(r0 + 1, c0, (1 - fx) * fy);
    add(r0 + 1, c0 + 1, fx * fy);
    return n;
}

} // namespace kavrin

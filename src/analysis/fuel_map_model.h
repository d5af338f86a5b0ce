// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the ECU reads its fuel map: fuel column c sits at c x 1000 rpm and row r
// at its throttle header. Without "EFI interpolation" it uses the cell the
// operating point lies in (the live cell); with it, it blends the four cells
// around the point bilinearly between those breakpoints. A sample of the
// mixture therefore speaks for the cells in the same shares.
#include "config/config_image.h"
#include "config/map_axes.h"

#include <array>
#include <vector>

namespace kavrin {

struct CellWeight {
    int cell = 0; // image index of the fuel cell: (row - 1) x columns + (column - 1)
    double weight = 0;
};

class FuelMapModel {
public:
    FuelMapModel() = default;
    FuelMapModel(int cols, int rows, const ThrottleAxis& throttle, bool interpolation);
    // The map as a configuration holds it: its size, THR MIN and THR MAX, and
    // the interpolation option.
    static FuelMapModel FromConfiguration(const Configuration& config);

    int Cols() const { return cols_; }
    int Rows() const { return rows_; }
    int Cells() const { return cols_ * rows_; }
    bool Interpolation() const { return interpolation_; }
    // The throttle header of row (counted from 1), in percent.
    double RowPercent(int row) const { return rowPercent_[static_cast<std::size_t>(row - 1)]; }
    static double ColumnRpm(int col) { return col * 1000.0; }

    // The cells the operating point feeds and their shares, which add up to 1:
    // how many were written to out. None when, without interpolation, the point
    // lies beyond the map's last column or row; with interpolation a point
    // beyond the breakpoints counts at the nearest edge, as the ECU holds it.
    int Share(double rpm, double throttlePercent, std::array<CellWeight, 4>& out) const;

    bool operator==(const FuelMapModel&) const = default;

private:
    int cols_ = 0;
    int rows_ = 0;
    bool interpolation_ = false;
    std::vector<double> rowPercent_;
};

} // namespace kavrin

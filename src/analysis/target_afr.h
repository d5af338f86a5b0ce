// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mixture the user wants: one air-fuel ratio per fuel map cell, with the
// fuel map's columns and rows. Kept with the user's settings and in files as
// a short text.
#include "analysis/fuel_map_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace kavrin {

inline constexpr double kStoichiometricAfr = 14.7;

class TargetAfrTable {
public:
    // Targets the sensor can tell from its saturated ends (9.0 and 19.0).
    static constexpr double kMinAfr = 9.1;
    static constexpr double kMaxAfr = 18.9;

    TargetAfrTable() = default;
    TargetAfrTable(int cols, int rows, double afr);
    // 14.7 up to 25 % throttle, then richer row by row to 12.8 at full
    // throttle, by the rows' throttle headers.
    static TargetAfrTable Default(const FuelMapModel& map);

    int Cols() const { return cols_; }
    int Rows() const { return rows_; }
    bool Fits(const FuelMapModel& map) const { return cols_ == map.Cols() && rows_ == map.Rows(); }
    // By fuel cell index, (row - 1) x columns + (column - 1).
    double At(int cell) const { return afr_[static_cast<std::size_t>(cell)]; }
    double At(int row, int col) const { return At((row - 1) * cols_ + col - 1); }
    // A typed target: limited to kMinAfr..kMaxAfr. False for a cell outside
    // the table or a value that is not a number.
    bool Set(int row, int col, double afr);

    // "afr-targets 15 11", then one line of targets per row.
    std::string ToText() const;

    bool operator==(const TargetAfrTable&) const = default;

private:
    int cols_ = 0;
    int rows_ = 0;
    std::vector<double> afr_;
};

enum class TargetTextFault {
    None,
    NoTitle, // the text does not start with "afr-targets"
    BadSize, // columns and rows missing or not a fuel map's
    NotANumber,
    OutOfRange,    // outside kMinAfr..kMaxAfr
    MissingValues, // fewer targets than cells
    ExtraValues,   // more targets than cells
};

struct TargetTextResult {
    bool ok = false;
    TargetTextFault fault = TargetTextFault::None;
    int line = 0;         // counted from 1
    int row = 0, col = 0; // the cell in question, counted from 1
    std::string text;     // the value in question
    TargetAfrTable table;
};

// Reads a table written by ToText. Values may be separated by blanks, tabs or
// line ends, so a table kept on one line reads as well.
TargetTextResult ReadTargetAfrText(std::string_view text);
// The problem in English words: "line 3 (row 2, column 7): ...".
std::string DescribeTargetTextProblem(const TargetTextResult& result);

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/target_afr.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kavrin {

namespace {

constexpr std::string_view kTitle = "afr-targets";
constexpr double kFullThrottleAfr = 12.8;
constexpr double kRichFromPercent = 25.0;

// The next token and the line it stands on; empty at the end.
struct Tokens {
    std::string_view rest;
    int line = 1;
    std::string_view Next(int& tokenLine) {
        auto separator = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        while (!rest.empty() && separator(rest.front())) {
            if (rest.front() == '\n') ++line;
            rest.remove_prefix(1);
        }
        tokenLine = line;
        std::size_t n = 0;
        while (n < rest.size() && !separator(rest[n])) ++n;
        const std::string_view token = rest.substr(0, n);
        rest.remove_prefix(n);
        return token;
    }
};

std::string AfrText(double afr) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, afr).ptr);
}

template <typename T> bool ParseWhole(std::string_view token, T& value) {
    const char* end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, value);
    return !token.empty() && ec == std::errc() && ptr == end;
}

} // namespace

TargetAfrTable::TargetAfrTable(int cols, int rows, double afr)
    : cols_(std::max(cols, 0)), rows_(std::max(rows, 0)),
      afr_(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_),
           std::clamp(afr, kMinAfr, kMaxAfr)) {}

TargetAfrTable TargetAfrTable::Default(const FuelMapModel& map) {
    TargetAfrTable table(map.Cols(), map.Rows(), kStoichiometricAfr);
    for (int r = 1; r <= map.Rows(); ++r) {
        const double percent = std::min(map.RowPercent(r), 100.0);
        double afr = kStoichiometricAfr;
        if (percent > kRichFromPercent)
            afr -= (percent - kRichFromPercent) / (100.0 - kRichFromPercent) *
                   (kStoichiometricAfr - kFullThrottleAfr);
        afr = std::round(afr * 10.0) / 10.0;
        for (int c = 1; c <= map.Cols(); ++c) table.Set(r, c, afr);
    }
    return table;
}

bool TargetAfrTable::Set(int row, int col, double afr) {
    if (row < 1 || row > rows_ || col < 1 || col > cols_ || std::isnan(afr)) return false;
    afr_[static_cast<std::size_t>((row - 1) * cols_ + col - 1)] = std::clamp(afr, kMinAfr, kMaxAfr);
    return true;
}

std::string TargetAfrTable::ToText() const {
    std::string out =
        std::string(kTitle) + " " + std::to_string(cols_) + " " + std::to_string(rows_) + "\n";
    for (int r = 1; r <= rows_; ++r) {
        for (int c = 1; c <= cols_; ++c) {
            if (c > 1) out += ' ';
            out += AfrText(At(r, c));
        }
        out += '\n';
    }
    return out;
}

TargetTextResult ReadTargetAfrText(std::string_view text) {
    TargetTextResult result;
    Tokens tokens{text};
    int line = 0;
    auto refuse = [&](TargetTextFault fault, std::string_view what = {}, int row = 0, int col = 0) {
        result.fault = fault;
        result.line = line;
        result.row = row;
        result.col = col;
        result.text = std::string(what.substr(0, 40));
        return result;
    };
    if (tokens.Next(line) != kTitle) return refuse(TargetTextFault::NoTitle);
    int cols = 0, rows = 0;
    const std::string_view colsText = tokens.Next(line);
    if (!ParseWhole(colsText, cols)) return refuse(TargetTextFault::BadSize, colsText);
    const std::string_view rowsText = tokens.Next(line);
    if (!ParseWhole(rowsText, rows)) return refuse(TargetTextFault::BadSize, rowsText);
    // A fuel map fits the image a write message can address.
    if (cols < 1 || rows < 1 || cols > ByteImage::kMaxBytes || rows > ByteImage::kMaxBytes ||
        cols * rows > ByteImage::kMaxBytes)
        return refuse(TargetTextFault::BadSize, colsText);

    TargetAfrTable table(cols, rows, kStoichiometricAfr);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            const std::string_view token = tokens.Next(line);
            if (token.empty()) return refuse(TargetTextFault::MissingValues, {}, r, c);
            double afr;
            if (!ParseWhole(token, afr) || !std::isfinite(afr))
                return refuse(TargetTextFault::NotANumber, token, r, c);
            if (afr < TargetAfrTable::kMinAfr || afr > TargetAfrTable::kMaxAfr)
                return refuse(TargetTextFault::OutOfRange, token, r, c);
            table.Set(r, c, afr);
        }
    }
    const std::string_view extra = tokens.Next(line);
    if (!extra.empty()) return refuse(TargetTextFault::ExtraValues, extra);
    result.ok = true;
    result.table = std::move(table);
    return result;
}

std::string DescribeTargetTextProblem(const TargetTextResult& r) {
    std::string at = "line " + std::to_string(r.line);
    if (r.row > 0)
        at += " (row " + std::to_string(r.row) + ", column " + std::to_string(r.col) + ")";
    at += ": ";
    const std::string range =
        AfrText(TargetAfrTable::kMinAfr) + " to " + AfrText(TargetAfrTable::kMaxAfr);
    switch (r.fault) {
    case TargetTextFault::None:
        return {};
    case TargetTextFault::NoTitle:
        return at + "not a table of target air-fuel ratios (it starts with \"afr-targets\")";
    case TargetTextFault::BadSize:
        return at + "\"" + r.text + "\" is not a fuel map's number of columns and rows";
    case TargetTextFault::NotANumber:
        return at + "\"" + r.text + "\" is not a number";
    case TargetTextFault::OutOfRange:
        return at + r.text + " lies outside the targets the sensor can read, " + range;
    case TargetTextFault::MissingValues:
        return at + "the targets end before the table does";
    case TargetTextFault::ExtraValues:
        return at + "more targets than the table has cells";
    }
    return {};
}

} // namespace kavrin

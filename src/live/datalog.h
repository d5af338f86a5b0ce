// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The datalog: the engine's live channels written to a CSV file, one row per
// engine-speed frame, for reading in a spreadsheet or a script.
#include "base/append_stream.h"
#include "base/clock.h"
#include "live/channels.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin {

// The six status bits of channel 16, bit 0 first.
inline constexpr int kStatusIndicators = 6;

// The column titles in the language the window shows.
struct DatalogHeader {
    std::string time = "Time (s)";
    std::array<std::string, kMeasuredChannels> names;
    std::array<std::string, kMeasuredChannels> units; // empty: no unit
    std::array<std::string, kStatusIndicators> indicators;
};

// "kavrin-2026-12-07-031500.csv"
std::string DatalogFileName(const LocalDateTime& when);

// A CSV field: quoted, its quotes doubled, when it holds a comma, a quote or a
// line break.
std::string CsvField(std::string_view text);

class Datalog {
public:
    explicit Datalog(MonotonicClock& clock) : clock_(clock) {}

    // Begins a log on a new file: the header row is written at once, and the
    // times of the rows count from now. False when even that fails (see
    // TakeFailure); the log then does not run.
    bool Start(std::unique_ptr<AppendStream> stream, std::string path, const DatalogHeader& header);
    // One engine-speed frame: the latest shown value of every channel, in
    // engineering units, and the status bits.
    void AddRow(const std::array<float, kMeasuredChannels>& values, std::int32_t statusBits);
    // The link timer's tick: rows are handed to the system at least once a
    // second, also when no frame comes.
    void Tick();
    // Writes what is left and closes the file. False when that failed.
    bool Stop();

    bool Running() const { return stream_ != nullptr; }
    long long Rows() const { return rows_; }
    const std::string& Path() const { return path_; }
    // Why the log stopped on its own (or did not start); once.
    std::optional<Reason> TakeFailure();

    static constexpr std::int64_t kFlushMs = 1000;

private:
    bool Flush();

    MonotonicClock& clock_;
    std::unique_ptr<AppendStream> stream_;
    std::string path_;
    std::string pending_;
    std::int64_t startMs_ = 0;
    std::int64_t flushedMs_ = 0;
    long long rows_ = 0;
    std::optional<Reason> failure_;
};

} // namespace kavrin

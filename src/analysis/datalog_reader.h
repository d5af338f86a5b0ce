// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a datalog back: the CSV file the datalog writes, read completely and
// checked, its values kept column by column in little memory (an hour of a
// busy engine-speed stream is a million rows).
#include "base/file_system.h"
#include "base/read_stream.h"
#include "live/channels.h"
#include "live/datalog.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavrin {

// The time, the sixteen channels and the six indicators, in this order. Their
// titles follow the language of the window that wrote the log, so a log is
// recognised by the number and order of its columns, not their names.
inline constexpr int kDatalogColumns = 1 + kMeasuredChannels + kStatusIndicators;

// One row: what the window had shown at an engine-speed frame.
struct LogSample {
    std::int64_t timeMs = 0; // since the log started
    std::array<float, kMeasuredChannels> values{};
    std::int32_t status = 0; // the bits of channel 16
};

class DatalogData {
public:
    std::size_t Rows() const { return timesMs_.size(); }
    // Milliseconds since the log started; rows of one link tick share theirs.
    const std::vector<std::int32_t>& TimesMs() const { return timesMs_; }
    // The values of a channel (0..15) in engineering units, one per row.
    const std::vector<float>& Channel(int channel) const { return channels_[channel]; }
    // The indicators of each row as the bits of channel 16.
    const std::vector<std::uint8_t>& Status() const { return status_; }
    LogSample Sample(std::size_t row) const;
    // The row shown at a moment: the last one at or before it, the first row
    // for a moment before the log's start. Rows() must not be 0.
    std::size_t RowAt(double timeMs) const;
    std::int64_t DurationMs() const { return timesMs_.empty() ? 0 : timesMs_.back(); }
    // The column titles as the file has them.
    const std::vector<std::string>& Titles() const { return titles_; }

private:
    friend class DatalogParser;
    std::vector<std::int32_t> timesMs_;
    std::array<std::vector<float>, kMeasuredChannels> channels_;
    std::vector<std::uint8_t> status_;
    std::vector<std::string> titles_;
};

enum class DatalogFault {
    None,
    Unreadable,     // the system failed to open or read the file
    Empty,          // not a byte in it
    NoTitles,       // line 1 holds numbers, not column titles
    WrongColumns,   // the title row has another number of columns
    MissingFields,  // a row with fewer fields than the titles, not the last row
    ExtraFields,    // a row with more fields than the titles
    NotANumber,     // a field that is not a finite number in the "C" form
    NotAnIndicator, // an indicator that is neither 0 nor 1
    TimeBackwards,  // a row earlier than the row before it
    TimeOutOfRange, // a negative time, or one beyond 24 days
    LineTooLong,    // a line beyond any row or title row the datalog writes
    NoRows,         // titles and no row
};

struct DatalogProblem {
    DatalogFault fault = DatalogFault::None;
    std::int64_t line = 0; // counted from 1 (the titles); 0: the file as a whole
    int column = 0;        // counted from 1 (the time); 0: the line as a whole
    int fields = 0;        // the fields the line has (WrongColumns, Missing/ExtraFields)
    std::string text;      // the field in question, or both times, or the system's words
};

// The problem in English words, without the file's name: "line 12: ...".
std::string DescribeDatalogProblem(const DatalogProblem& problem);

struct DatalogReadResult {
    bool ok = false;
    DatalogProblem problem; // why the file was refused
    DatalogData data;
    // A last row whose writing was cut short (no line end, or too few fields)
    // is left out: its line, 0 when there was none.
    std::int64_t droppedLine = 0;
};

// Reads a datalog from the bytes given, in pieces of any size.
class DatalogParser {
public:
    DatalogParser();
    // The file's size, when known: the columns are sized once for it.
    void ExpectBytes(std::int64_t total) { expectedBytes_ = total; }
    // The next bytes of the file; false once the file is refused (more bytes
    // are then ignored).
    bool Feed(std::string_view bytes);
    // The end of the file.
    DatalogReadResult Finish();
    // A failure of the system while reading.
    void Unreadable(std::string why);

    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

private:
    bool FeedTitles(std::string_view& bytes);
    bool TitleRow(std::string_view row);
    bool Line(std::string_view line);
    bool Row(std::string_view row);
    bool RowFault(std::string_view row, DatalogFault fault, int column, const char* field,
                  const char* end);
    bool Refuse(DatalogProblem problem);
    void Reserve(std::size_t rowBytes);

    DatalogReadResult result_;
    std::string carry_; // a line not yet ended
    bool titlesRead_ = false;
    bool inQuotes_ = false;
    std::int64_t line_ = 0; // lines ended so far
    std::int64_t expectedBytes_ = -1;
    DatalogProblem pending_; // a short row or empty line that only the end may excuse
    std::int32_t lastMs_ = 0;
};

// Reads a datalog piece by piece, so that a window can read a large one over
// several ticks (and show how far it got) instead of blocking on it.
class DatalogLoader {
public:
    explicit DatalogLoader(std::unique_ptr<ReadStream> stream);
    // Reads and checks up to maxBytes more; true once the whole file has been
    // read or refused.
    bool Step(std::int64_t maxBytes);
    // 0..1 of the file's bytes; 0 while its size is not known.
    double Progress() const;
    // The outcome, once Step has returned true.
    DatalogReadResult TakeResult() { return std::move(result_); }

    static constexpr std::int64_t kChunkBytes = 1 << 20;

private:
    std::unique_ptr<ReadStream> stream_;
    DatalogParser parser_;
    std::vector<char> buffer_;
    std::int64_t read_ = 0;
    std::int64_t size_ = -1;
    bool done_ = false;
    DatalogReadResult result_;
};

// Reads a whole datalog at once.
DatalogReadResult ReadDatalog(FileSystem& files, const std::string& path);

} // namespace kavrin

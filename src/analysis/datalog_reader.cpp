// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/datalog_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace kavrin {

namespace {

constexpr int kFirstIndicatorColumn = 1 + kMeasuredChannels;
// Times are kept in milliseconds in 32 bits: 24 days, far beyond any drive.
constexpr double kMaxTimeMs = std::numeric_limits<std::int32_t>::max();

// Numbers in the "C" form only, whatever the locale: the datalog writes them so.
template <typename T> const char* ParseNumber(const char* p, const char* end, T& value) {
    const auto [ptr, ec] = std::from_chars(p, end, value);
    if (ec != std::errc() || !std::isfinite(value)) return nullptr;
    return ptr;
}

bool IsWholeNumber(std::string_view text) {
    double v;
    const char* end = text.data() + text.size();
    return !text.empty() && ParseNumber(text.data(), end, v) == end;
}

// The title row as CSV fields: a field may be quoted, with its quotes doubled,
// and then hold commas and line breaks.
std::vector<std::string> SplitTitles(std::string_view row) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (i + 1 < row.size() && row[i + 1] == '"')
                fields.back() += row[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

DatalogProblem Problem(DatalogFault fault, std::int64_t line = 0, int column = 0, int fields = 0,
                       std::string text = {}) {
    return {fault, line, column, fields, std::move(text)};
}

std::string_view StripCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

} // namespace

LogSample DatalogData::Sample(std::size_t row) const {
    LogSample s;
    s.timeMs = timesMs_[row];
    for (int c = 0; c < kMeasuredChannels; ++c) s.values[c] = channels_[c][row];
    s.status = status_[row];
    return s;
}

std::size_t DatalogData::RowAt(double timeMs) const {
    const auto it = std::upper_bound(timesMs_.begin(), timesMs_.end(), timeMs,
                                     [](double t, std::int32_t row) { return t < row; });
    return it == timesMs_.begin() ? 0 : static_cast<std::size_t>(it - timesMs_.begin()) - 1;
}

std::string DescribeDatalogProblem(const DatalogProblem& p) {
    const std::string at = "line " + std::to_string(p.line) + ": ";
    const std::string column = "column " + std::to_string(p.column);
    const std::string columns = std::to_string(kDatalogColumns);
    switch (p.fault) {
    case DatalogFault::None:
        return {};
    case DatalogFault::Unreadable:
        return "the file cannot be read" + (p.text.empty() ? "" : " (" + p.text + ")");
    case DatalogFault::Empty:
        return "the file is empty";
    case DatalogFault::NoTitles:
        return at + "numbers where the column titles of a datalog belong";
    case DatalogFault::WrongColumns:
        return at + std::to_string(p.fields) + " columns; a datalog has " + columns;
    case DatalogFault::MissingFields:
        if (p.fields == 0) return at + "an empty line where a row belongs";
        [[fallthrough]];
    case DatalogFault::ExtraFields:
        return at + std::to_string(p.fields) + " fields where a datalog row has " + columns;
    case DatalogFault::NotANumber:
        return at + column + " holds \"" + p.text + "\", not a number";
    case DatalogFault::NotAnIndicator:
        return at + column + " holds \"" + p.text + "\"; an indicator is 0 or 1";
    case DatalogFault::TimeBackwards:
        return at + "the time goes back (" + p.text + ")";
    case DatalogFault::TimeOutOfRange:
        return at + "the time " + p.text + " s lies outside a log's 0 to 24 days";
    case DatalogFault::LineTooLong:
        return at + "longer than any line of a datalog";
    case DatalogFault::NoRows:
        return "the datalog holds no rows";
    }
    return {};
}

DatalogParser::DatalogParser() {
    result_.data.titles_.reserve(kDatalogColumns);
}

bool DatalogParser::Refuse(DatalogProblem problem) {
    if (result_.problem.fault == DatalogFault::None) result_.problem = std::move(problem);
    return false;
}

void DatalogParser::Unreadable(std::string why) {
    Refuse(Problem(DatalogFault::Unreadable, 0, 0, 0, std::move(why)));
}

bool DatalogParser::Feed(std::string_view bytes) {
    if (result_.problem.fault != DatalogFault::None) return false;
    if (!titlesRead_) {
        if (!FeedTitles(bytes)) return false;
        if (!titlesRead_) return true;
    }
    if (!carry_.empty() && !bytes.empty()) {
        const void* nl = std::memchr(bytes.data(), '\n', bytes.size());
        if (!nl) {
            carry_.append(bytes);
            if (carry_.size() > kMaxLineBytes)
                return Refuse(Problem(DatalogFault::LineTooLong, line_ + 1));
            return true;
        }
        const auto n = static_cast<std::size_t>(static_cast<const char*>(nl) - bytes.data());
        carry_.append(bytes.substr(0, n));
        bytes.remove_prefix(n + 1);
        ++line_;
        const bool ok = Line(carry_);
        carry_.clear();
        if (!ok) return false;
    }
    while (!bytes.empty()) {
        const void* nl = std::memchr(bytes.data(), '\n', bytes.size());
        if (!nl) break;
        const auto n = static_cast<std::size_t>(static_cast<const char*>(nl) - bytes.data());
        ++line_;
        if (!Line(bytes.substr(0, n))) return false;
        bytes.remove_prefix(n + 1);
    }
    if (bytes.size() > kMaxLineBytes) return Refuse(Problem(DatalogFault::LineTooLong, line_ + 1));
    if (!bytes.empty()) carry_.assign(bytes);
    return true;
}

bool DatalogParser::FeedTitles(std::string_view& bytes) {
    // A quoted title may hold a line break: the row ends at the first one
    // outside quotes.
    std::size_t i = 0;
    for (; i < bytes.size(); ++i) {
        if (bytes[i] == '"')
            inQuotes_ = !inQuotes_;
        else if (bytes[i] == '\n' && !inQuotes_)
            break;
    }
    carry_.append(bytes.substr(0, i));
    if (carry_.size() > kMaxLineBytes) return Refuse(Problem(DatalogFault::LineTooLong, 1));
    if (i == bytes.size()) {
        bytes = {};
        return true;
    }
    bytes.remove_prefix(i + 1);
    line_ = 1 + std::count(carry_.begin(), carry_.end(), '\n');
    titlesRead_ = true;
    const bool ok = TitleRow(carry_);
    carry_.clear();
    return ok;
}

bool DatalogParser::TitleRow(std::string_view row) {
    std::vector<std::string> titles = SplitTitles(StripCarriageReturn(row));
    if (IsWholeNumber(titles.front())) return Refuse(Problem(DatalogFault::NoTitles, 1));
    if (titles.size() != kDatalogColumns)
        return Refuse(Problem(DatalogFault::WrongColumns, 1, 0, static_cast<int>(titles.size())));
    result_.data.titles_ = std::move(titles);
    return true;
}

bool DatalogParser::Line(std::string_view line) {
    if (line.size() > kMaxLineBytes) return Refuse(Problem(DatalogFault::LineTooLong, line_));
    line = StripCarriageReturn(line);
    if (pending_.fault != DatalogFault::None) {
        // Only the end of the file excuses a short row; empty lines before the
        // end change nothing.
        if (line.empty()) return true;
        return Refuse(pending_);
    }
    if (line.empty()) {
        pending_ = Problem(DatalogFault::MissingFields, line_, 0, 0);
        return true;
    }
    return Row(line);
}

bool DatalogParser::RowFault(std::string_view row, DatalogFault fault, int column,
                             const char* field, const char* end) {
    const int fields = 1 + static_cast<int>(std::count(row.begin(), row.end(), ','));
    if (fields < kDatalogColumns) {
        pending_ = Problem(DatalogFault::MissingFields, line_, 0, fields);
        return true;
    }
    if (fields > kDatalogColumns)
        return Refuse(Problem(DatalogFault::ExtraFields, line_, 0, fields));
    const char* fieldEnd = std::find(field, end, ',');
    std::string text(field, std::min<std::size_t>(static_cast<std::size_t>(fieldEnd - field), 40));
    return Refuse(Problem(fault, line_, column, 0, std::move(text)));
}

void DatalogParser::Reserve(std::size_t rowBytes) {
    // Sized once for the whole file from its first row, with room to spare:
    // growing a million-row column by doubling would copy it again and again.
    // Room that no row fills is never touched, so it costs no memory.
    if (expectedBytes_ <= 0) return;
    const double rows = static_cast<double>(expectedBytes_) / static_cast<double>(rowBytes + 1);
    const auto n = static_cast<std::size_t>(std::min(rows * 1.5 + 64, 1e9));
    DatalogData& d = result_.data;
    d.timesMs_.reserve(n);
    for (auto& channel : d.channels_) channel.reserve(n);
    d.status_.reserve(n);
}

bool DatalogParser::Row(std::string_view row) {
    const char* p = row.data();
    const char* const end = p + row.size();
    DatalogData& d = result_.data;
    if (d.timesMs_.empty()) Reserve(row.size());

    double seconds;
    const char* next = ParseNumber(p, end, seconds);
    if (!next || next == end || *next != ',')
        return RowFault(row, DatalogFault::NotANumber, 1, p, end);
    const double ms = std::round(seconds * 1000.0);
    if (ms < 0 || ms > kMaxTimeMs) return RowFault(row, DatalogFault::TimeOutOfRange, 1, p, end);
    const auto timeMs = static_cast<std::int32_t>(ms);
    if (!d.timesMs_.empty() && timeMs < lastMs_) {
        auto text = [](std::int32_t t) {
            return std::to_string(t / 1000) + "." + std::to_string(1000 + t % 1000).substr(1);
        };
        return Refuse(Problem(DatalogFault::TimeBackwards, line_, 1, 0,
                              text(timeMs) + " s after " + text(lastMs_) + " s"));
    }
    p = next + 1;

    std::array<float, kMeasuredChannels> values;
    for (int c = 0; c < kMeasuredChannels; ++c) {
        next = ParseNumber(p, end, values[c]);
        if (!next || next == end || *next != ',')
            return RowFault(row, DatalogFault::NotANumber, 2 + c, p, end);
        p = next + 1;
    }

    std::uint8_t status = 0;
    for (int b = 0; b < kStatusIndicators; ++b) {
        const bool last = b == kStatusIndicators - 1;
        const int column = kFirstIndicatorColumn + 1 + b;
        // The datalog writes one digit; anything else that reads 0 or 1 will do.
        double v;
        if (p < end && (*p == '0' || *p == '1') && (p + 1 == end || p[1] == ',')) {
            v = *p - '0';
            next = p + 1;
        } else {
            next = ParseNumber(p, end, v);
            if (!next || (next != end && *next != ','))
                return RowFault(row, DatalogFault::NotANumber, column, p, end);
            if (v != 0 && v != 1)
                return RowFault(row, DatalogFault::NotAnIndicator, column, p, end);
        }
        if (last ? next != end : (next == end))
            return RowFault(row, DatalogFault::NotANumber, column, p, end);
        if (v == 1) status |= static_cast<std::uint8_t>(1u << b);
        p = next + 1;
    }

    d.timesMs_.push_back(timeMs);
    for (int c = 0; c < kMeasuredChannels; ++c) d.channels_[c].push_back(values[c]);
    d.status_.push_back(status);
    lastMs_ = timeMs;
    return true;
}

DatalogReadResult DatalogParser::Finish() {
    if (result_.problem.fault == DatalogFault::None) {
        if (!titlesRead_) {
            if (carry_.empty() && !inQuotes_) {
                Refuse(Problem(DatalogFault::Empty));
            } else {
                line_ = 1;
                titlesRead_ = true;
                if (TitleRow(carry_)) Refuse(Problem(DatalogFault::NoRows));
            }
            carry_.clear();
        }
        // Rows are written whole, each with its line end: a short row or one
        // without its line end at the very end is one whose writing stopped.
        const bool cutRow = !StripCarriageReturn(carry_).empty();
        if (pending_.fault != DatalogFault::None) {
            if (cutRow)
                Refuse(pending_);
            else if (pending_.fields > 0)
                result_.droppedLine = pending_.line;
        } else if (cutRow) {
            result_.droppedLine = line_ + 1;
        }
        if (result_.problem.fault == DatalogFault::None && result_.data.Rows() == 0)
            Refuse(Problem(DatalogFault::NoRows));
    }
    carry_.clear();
    result_.ok = result_.problem.fault == DatalogFault::None;
    if (!result_.ok) {
        result_.data = DatalogData();
        result_.droppedLine = 0;
    }
    return std::move(result_);
}

DatalogLoader::DatalogLoader(std::unique_ptr<ReadStream> stream) : stream_(std::move(stream)) {
    if (stream_) {
        size_ = stream_->Size();
        parser_.ExpectBytes(size_);
    } else {
        parser_.Unreadable({});
    }
}

bool DatalogLoader::Step(std::int64_t maxBytes) {
    if (done_) return true;
    std::int64_t taken = 0;
    bool more = stream_ != nullptr;
    while (more && taken < maxBytes) {
        if (buffer_.empty()) buffer_.resize(static_cast<std::size_t>(kChunkBytes));
        const std::int64_t n = stream_->Read(buffer_.data(), kChunkBytes);
        if (n < 0) {
            parser_.Unreadable(stream_->LastError().words);
            more = false;
        } else if (n == 0) {
            more = false;
        } else {
            taken += n;
            read_ += n;
            more = parser_.Feed({buffer_.data(), static_cast<std::size_t>(n)});
        }
    }
    if (more) return false;
    result_ = parser_.Finish();
    stream_.reset();
    buffer_ = {};
    done_ = true;
    return true;
}

double DatalogLoader::Progress() const {
    if (done_) return 1.0;
    if (size_ <= 0) return 0.0;
    return std::min(1.0, static_cast<double>(read_) / static_cast<double>(size_));
}

DatalogReadResult ReadDatalog(FileSystem& files, const std::string& path) {
    auto stream = files.OpenStream(path);
    if (!stream) {
        DatalogReadResult result;
        result.problem = Problem(DatalogFault::Unreadable, 0, 0, 0, files.LastError().words);
        return result;
    }
    DatalogLoader loader(std::move(stream));
    while (!loader.Step(std::numeric_limits<std::int64_t>::max())) {
    }
    return loader.TakeResult();
}

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/datalog.h"

#include "base/text_entries.h"

#include <charconv>
#include <cstdio>

namespace kavrin {

namespace {
// Numbers always in the "C" form ("." before the decimals), whatever the
// locale, to the seven digits a float holds: 0.056, not 0.055999998.
void AppendNumber(std::string& out, float value) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 7);
    out.append(text, result.ptr);
}

// Seconds with milliseconds: "12.345".
void AppendSeconds(std::string& out, std::int64_t ms) {
    if (ms < 0) ms = 0;
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%lld.%03d", static_cast<long long>(ms / 1000),
                                static_cast<int>(ms % 1000));
    out.append(text, static_cast<std::size_t>(n));
}
} // namespace

std::string DatalogFileName(const LocalDateTime& when) {
    char name[64];
    std::snprintf(name, sizeof name, "kavrin-%04d-%02d-%02d-%02d%02d%02d.csv", when.year,
                  when.month, when.day, when.hour, when.minute, when.second);
    return name;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + '"';
}

bool Datalog::Start(std::unique_ptr<AppendStream> stream, std::string path,
                    const DatalogHeader& header) {
    stream_ = std::move(stream);
    path_ = std::move(path);
    rows_ = 0;
    failure_.reset();
    if (!stream_) {
        failure_ = Reason::Entry(text::kFileNotCreated);
        return false;
    }
    pending_ = CsvField(header.time);
    for (int n = 0; n < kMeasuredChannels; ++n) {
        const std::string& unit = header.units[n];
        pending_ +=
            ',' + CsvField(unit.empty() ? header.names[n] : header.names[n] + " (" + unit + ")");
    }
    for (const std::string& indicator : header.indicators) pending_ += ',' + CsvField(indicator);
    pending_ += '\n';
    startMs_ = clock_.NowMs();
    return Flush();
}

void Datalog::AddRow(const std::array<float, kMeasuredChannels>& values, std::int32_t statusBits) {
    if (!stream_) return;
    const std::int64_t now = clock_.NowMs();
    AppendSeconds(pending_, now - startMs_);
    for (float value : values) {
        pending_ += ',';
        AppendNumber(pending_, value);
    }
    for (int bit = 0; bit < kStatusIndicators; ++bit) {
        pending_ += ',';
        pending_ += (statusBits >> bit & 1) ? '1' : '0';
    }
    pending_ += '\n';
    ++rows_;
    if (now - flushedMs_ >= kFlushMs) Flush();
}

void Datalog::Tick() {
    if (stream_ && clock_.NowMs() - flushedMs_ >= kFlushMs) Flush();
}

bool Datalog::Flush() {
    flushedMs_ = clock_.NowMs();
    const bool ok = (pending_.empty() || stream_->Append(pending_)) && stream_->Flush();
    pending_.clear();
    if (ok) return true;
    // A full disk or a vanished folder ends the log, never the tool: the rows
    // up to the last good flush stay in the file.
    const Reason why = stream_->LastError();
    failure_ = why.empty() ? Reason::Entry(text::kFileNotWritten) : why;
    stream_.reset();
    return false;
}

bool Datalog::Stop() {
    if (!stream_) return true;
    const bool ok = Flush();
    stream_.reset();
    return ok;
}

std::optional<Reason> Datalog::TakeFailure() {
    auto failure = std::move(failure_);
    failure_.reset();
    return failure;
}

} // namespace kavrin

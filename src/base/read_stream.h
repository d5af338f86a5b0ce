// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/language_texts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace kavrin {

// A file read from its start to its end in pieces: a datalog of an hour is
// larger than the files read whole, and is never held twice in memory.
class ReadStream {
public:
    virtual ~ReadStream() = default;
    // Up to size bytes into buffer: how many were read, 0 at the end of the
    // file, -1 when the system failed to read (see LastError).
    virtual std::int64_t Read(char* buffer, std::int64_t size) = 0;
    // The file's size in bytes when known, else -1; only a hint for the reader.
    virtual std::int64_t Size() const { return -1; }
    virtual Reason LastError() const { return {}; }
};

// A stream over bytes already in memory.
class TextReadStream final : public ReadStream {
public:
    explicit TextReadStream(std::string text) : text_(std::move(text)) {}
    std::int64_t Read(char* buffer, std::int64_t size) override {
        const auto n = std::min<std::int64_t>(size, static_cast<std::int64_t>(text_.size() - pos_));
        if (n > 0) std::memcpy(buffer, text_.data() + pos_, static_cast<std::size_t>(n));
        pos_ += static_cast<std::size_t>(std::max<std::int64_t>(n, 0));
        return std::max<std::int64_t>(n, 0);
    }
    std::int64_t Size() const override { return static_cast<std::int64_t>(text_.size()); }

private:
    std::string text_;
    std::size_t pos_ = 0;
};

} // namespace kavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace kavrin::ecusim {

// What the PC asked for, one item per command or rejected message.
struct Command {
    enum class Kind {
        SendDump,   // "G"
        Status,     // "R"
        Stop,       // "S"
        Write,      // "M", index, value, check: good and in range
        BadCheck,   // four bytes led by "M" whose check fails; only the "M" is dropped
        BadIndex,   // a good write message for an index the ECU does not have
        Incomplete, // an "M" whose other three bytes never came
        Unknown,    // any other byte
    };
    Kind kind;
    std::uint8_t index = 0; // Write, BadCheck, BadIndex
    std::uint8_t value = 0; // Write, BadCheck, BadIndex; the byte itself for Unknown
    std::uint8_t check = 0; // BadCheck, BadIndex

    bool operator==(const Command&) const = default;
};

// Splits the bytes from the PC into commands. A write message may arrive in
// pieces; one that fails its check is taken for noise that looked like an "M",
// so reading starts again at the byte after that "M" and a good message hidden
// behind it is still found.
class CommandReader {
public:
    // An "M" left waiting this long without its other three bytes is dropped,
    // so that a lone stray "M" cannot swallow the next command.
    static constexpr std::int64_t kWriteGapMs = 100;

    std::vector<Command> Feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    // Drops a write message that has waited too long.
    std::vector<Command> Expire(std::int64_t nowMs);

private:
    std::vector<Command> Drain(std::int64_t nowMs);

    std::deque<std::uint8_t> pending_;
    std::int64_t pendingSinceMs_ = 0;
};

} // namespace kavrin::ecusim

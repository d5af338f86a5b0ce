// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_reader.h"

#include "ecu_image.h"

namespace kavrin::ecusim {

std::vector<Command> CommandReader::Feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
    std::vector<Command> out = Expire(nowMs);
    for (std::uint8_t b : bytes) {
        if (pending_.empty()) pendingSinceMs_ = nowMs;
        pending_.push_back(b);
    }
    for (const Command& c : Drain(nowMs)) out.push_back(c);
    return out;
}

std::vector<Command> CommandReader::Expire(std::int64_t nowMs) {
    std::vector<Command> out;
    if (pending_.empty() || nowMs - pendingSinceMs_ < kWriteGapMs) return out;
    pending_.pop_front();
    out.push_back({Command::Kind::Incomplete});
    for (const Command& c : Drain(nowMs)) out.push_back(c);
    return out;
}

std::vector<Command> CommandReader::Drain(std::int64_t nowMs) {
    std::vector<Command> out;
    while (!pending_.empty()) {
        const std::uint8_t b = pending_.front();
        switch (b) {
        case 'G':
            out.push_back({Command::Kind::SendDump});
            break;
        case 'R':
            out.push_back({Command::Kind::Status});
            break;
        case 'S':
            out.push_back({Command::Kind::Stop});
            break;
        case 'M': {
            if (pending_.size() < 4) return out;
            const std::uint8_t index = pending_[1];
            const std::uint8_t value = pending_[2];
            const std::uint8_t check = pending_[3];
            if ((b ^ index ^ value) != check) {
                out.push_back({Command::Kind::BadCheck, index, value, check});
                break;
            }
            pending_.erase(pending_.begin(), pending_.begin() + 3);
            out.push_back({index < EcuImage::kSize ? Command::Kind::Write : Command::Kind::BadIndex,
                           index, value, check});
            break;
        }
        default:
            out.push_back({Command::Kind::Unknown, 0, b});
            break;
        }
        pending_.pop_front();
        pendingSinceMs_ = nowMs;
    }
    return out;
}

} // namespace kavrin::ecusim

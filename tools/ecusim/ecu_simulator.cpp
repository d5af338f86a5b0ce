// SPDX-License-Identifier: GPL-3.0-or-later
#include "ecu_simulator.h"

#include <algorithm>

namespace kavrin::ecusim {

namespace {
// Frames falling due while the line is busy with answers are skipped rather
// than piled up: the readings would be stale by the time they went out.
constexpr std::int64_t kMaxLateFrames = 4;

std::string Decimal(int v) {
    return std::to_string(v);
}
} // namespace

EcuSimulator::EcuSimulator(MonotonicClock& clock, const SimOptions& options, const EcuImage& image)
    : clock_(clock), options_(options), image_(image), startMs_(clock.NowMs()),
      engine_(options.seed, image), faults_(options, startMs_), pacer_(startMs_) {
    options_.frameRate = std::clamp(options_.frameRate, 0, 2880);
}

void EcuSimulator::Receive(std::span<const std::uint8_t> bytes) {
    const std::int64_t now = clock_.NowMs();
    UpdateSilence(now);
    for (const Command& c : reader_.Feed(bytes, now)) Handle(c);
}

void EcuSimulator::Handle(const Command& c) {
    using Kind = Command::Kind;
    const std::string written = Decimal(c.index) + " " + Decimal(c.value) + " " + Decimal(c.check);
    switch (c.kind) {
    case Kind::SendDump:
        events_.push_back("G");
        stopped_ = false;
        if (!silent_) QueueDump();
        break;
    case Kind::Status:
        events_.push_back("R");
        stopped_ = false;
        if (!silent_)
            QueueFrame('R', static_cast<std::uint16_t>((Elapsed(clock_.NowMs()) / 1000) & 0xFFFF));
        break;
    case Kind::Stop:
        events_.push_back("S");
        stopped_ = true;
        break;
    case Kind::Write:
        events_.push_back("M " + Decimal(c.index) + " " + Decimal(c.value));
        stopped_ = false;
        image_.Set(c.index, c.value);
        // The echo is the stored byte read back, which is what tells the PC the
        // write took.
        if (!silent_)
            QueueFrame('M', static_cast<std::uint16_t>(c.index | (image_.At(c.index) << 8)));
        break;
    case Kind::BadCheck:
        events_.push_back("bad-write check " + written);
        break;
    case Kind::BadIndex:
        events_.push_back("bad-write index " + written);
        break;
    case Kind::Incomplete:
        events_.push_back("bad-write incomplete");
        break;
    case Kind::Unknown:
        events_.push_back("junk " + Decimal(c.value));
        break;
    }
}

void EcuSimulator::QueueFrame(std::uint8_t command, std::uint16_t value, std::uint8_t damage) {
    const auto low = static_cast<std::uint8_t>(value & 0xFF);
    const auto high = static_cast<std::uint8_t>(value >> 8);
    const auto check = static_cast<std::uint8_t>(command ^ low ^ high ^ damage);
    queue_.insert(queue_.end(), {command, low, high, check});
}

void EcuSimulator::QueueDump() {
    std::vector<std::uint8_t> dump{kDumpStart, static_cast<std::uint8_t>(kDumpCount)};
    std::uint8_t check = kDumpSeed;
    for (std::uint8_t b : image_.Bytes()) {
        dump.push_back(b);
        check ^= b;
    }
    dump.push_back(options_.badDump ? static_cast<std::uint8_t>(check ^ 0x5A) : check);
    std::string event = "dump " + Decimal(kDumpCount);
    if (options_.truncateDump) {
        dump.resize(2 + kDumpCount / 2);
        event += " truncated";
    } else if (options_.badDump) {
        event += " bad-check";
    }
    queue_.insert(queue_.end(), dump.begin(), dump.end());
    events_.push_back(event);
}

void EcuSimulator::QueueLiveFrame(std::int64_t nowMs) {
    // Engine speed every other frame: the tool's chart steps on it.
    int channel = 0;
    if (framesSent_ % 2 == 1) {
        channel = nextChannel_;
        nextChannel_ = nextChannel_ % (EngineModel::kChannels - 1) + 1;
    }
    ++framesSent_;
    const auto values = engine_.Channels(Elapsed(nowMs), image_);
    QueueFrame(static_cast<std::uint8_t>(kChannelBase + channel),
               values[static_cast<std::size_t>(channel)], faults_.NextFrameDamage());
}

void EcuSimulator::UpdateSilence(std::int64_t nowMs) {
    const bool silent = faults_.Silent(nowMs);
    if (silent == silent_) return;
    silent_ = silent;
    if (silent_) queue_.clear(); // lost on the dead line
    events_.push_back(silent_ ? "silent" : "talking");
    if (!silent_ || changesApplied_) return;
    changesApplied_ = true;
    for (const auto& [index, value] : options_.changesWhileSilent) {
        image_.Set(index, value);
        events_.push_back("changed " + std::to_string(index) + " " + std::to_string(value));
    }
}

void EcuSimulator::GoSilent(std::int64_t durationMs) {
    const std::int64_t now = clock_.NowMs();
    faults_.SilenceFor(now, durationMs);
    UpdateSilence(now);
}

std::vector<std::uint8_t> EcuSimulator::Produce() {
    const std::int64_t now = clock_.NowMs();
    UpdateSilence(now);
    for (const Command& c : reader_.Expire(now)) Handle(c); // a stray "M" must not hold up the rest
    const std::int64_t due = Elapsed(now) * options_.frameRate / 1000;
    std::int64_t late = due - framesScheduled_;
    if (silent_ || stopped_)
        late = 0;
    else
        late = std::min(late, kMaxLateFrames);
    framesScheduled_ = due - late;

    // Asked even while silent, so that the silent stretch is not saved up.
    const std::size_t allowance = pacer_.Allowance(now);
    std::vector<std::uint8_t> out;
    if (silent_) return out;
    std::size_t sent = 0;
    while (sent < allowance) {
        if (queue_.empty()) {
            if (framesScheduled_ >= due) break;
            QueueLiveFrame(now);
            ++framesScheduled_;
        }
        const std::uint8_t b = queue_.front();
        queue_.pop_front();
        ++sent;
        if (!faults_.DropNextByte()) out.push_back(b);
    }
    pacer_.Spend(sent);
    return out;
}

std::vector<std::string> EcuSimulator::TakeEvents() {
    std::vector<std::string> out;
    out.swap(events_);
    return out;
}

} // namespace kavrin::ecusim

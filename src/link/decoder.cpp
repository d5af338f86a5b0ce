// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/decoder.h"

#include "base/clock.h"
#include "serial/rs232.h"

namespace kavrin {

namespace {
constexpr std::uint8_t kDumpStart = '$';
constexpr std::uint8_t kFirstCommand = '.';
constexpr std::uint8_t kLastCommand = 'Z';
constexpr std::uint8_t kSequenceLead = 255;
constexpr std::uint16_t kDumpSeed = 0xAA;
constexpr int kChannelBase = 0x30;
} // namespace

Decoder::Decoder(rs232& port, MonotonicClock& clock, LinkState& link, Configuration& config,
                 LinkHost& host, DecoderEvents& events)
    : port_(port), clock_(clock), link_(link), config_(config), host_(host), events_(events) {}

void Decoder::Wait(DecoderWait what, int ms) {
    link_.decoder.wait = what;
    link_.decoder.deadlineMs = clock_.NowMs() + ms;
}

void Decoder::CountTimeout() {
    ++link_.counters.timeouts;
    events_.ShowLinkCounters();
}

bool Decoder::Step(std::uint8_t b) {
    DecoderState& d = link_.decoder;
    switch (d.wait) {
    case DecoderWait::None:
        break;
    case DecoderWait::DumpCount:
        d.dumpRemaining = b;
        d.dumpTaken = 0;
        d.dumpCheck = kDumpSeed;
        d.wait = DecoderWait::DumpBytes;
        if (d.dumpRemaining == 0 || config_.ImageLast < 0) EndDump(false);
        return true;
    case DecoderWait::DumpBytes:
        DumpByte(b);
        return true;
    case DecoderWait::SequenceMiddle:
        // The middle byte never enters the check. A middle 0 ends the tick,
        // and the byte after it is dropped unexamined.
        if (b == 0) {
            d.wait = DecoderWait::None;
            d.discardNext = true;
            return false;
        }
        Wait(DecoderWait::SequenceClosing, kClosingWaitMs);
        return true;
    case DecoderWait::SequenceClosing:
        d.wait = DecoderWait::None;
        link_.frameXor ^= b;
        if (link_.frameXor != 0) {
            ++link_.counters.badFrames;
            events_.ShowLinkCounters();
        }
        return true;
    }
    link_.frameXor ^= b;
    if (d.discardNext) {
        d.discardNext = false;
        return true;
    }
    FrameByte(b);
    return true;
}

void Decoder::FrameByte(std::uint8_t b) {
    DecoderState& d = link_.decoder;
    switch (d.state) {
    case 0:
        d.command = b;
        link_.frameXor = b;
        if (b == kDumpStart) {
            link_.flags.dataReceived = true;
            StartDump();
        } else if (b >= kFirstCommand && b <= kLastCommand) {
            d.state = 1;
        } else if (b == kSequenceLead) {
            // 255, a middle byte, and 255 again.
            Wait(DecoderWait::SequenceMiddle, kWaitMs);
        }
        return;
    case 1:
        d.low = b;
        d.state = 2;
        return;
    case 2:
        d.high = b;
        d.state = 3;
        return;
    default:
        if (link_.frameXor != 0)
            CountBadFrame();
        else
            GoodFrame();
        d.state = 0;
    }
}

bool Decoder::CheckDeadline() {
    DecoderState& d = link_.decoder;
    // A shut or failed port will not deliver: the wait ends at once.
    while (Waiting() && (clock_.NowMs() >= d.deadlineMs || !port_.portOpen() || port_.failed())) {
        switch (d.wait) {
        case DecoderWait::None:
            break;
        case DecoderWait::DumpCount:
            d.wait = DecoderWait::None;
            CountTimeout();
            break;
        case DecoderWait::DumpBytes:
            CountTimeout();
            EndDump(true);
            break;
        case DecoderWait::SequenceMiddle:
            // The closing byte is still looked for, as after any other middle.
            CountTimeout();
            Wait(DecoderWait::SequenceClosing, kClosingWaitMs);
            break;
        case DecoderWait::SequenceClosing:
            // Cut off: when its closing byte comes after all, it is dropped.
            d.wait = DecoderWait::None;
            d.discardNext = true;
            return false;
        }
    }
    return true;
}

void Decoder::CountBadFrame() {
    ++link_.counters.badFrames;
    if (link_.counters.badFrames % kResyncEvery == 0) {
        port_.SendString("S");
        events_.ReopenPort();
    }
    events_.ShowLinkCounters();
}

void Decoder::GoodFrame() {
    const DecoderState& d = link_.decoder;
    const std::int32_t value = d.high * 256 + d.low;
    if (d.command == 'M' && d.low < config_.ImageLast) {
        link_.flags.dataReceived = true;
        config_.ConfigImage.Set(d.low, d.high);
        host_.ConfigEchoed(static_cast<std::int16_t>(d.low), static_cast<std::int16_t>(d.high));
    }
    if (d.command == 'R') {
        link_.counters.rValue = value;
        events_.ShowLinkCounters();
    } else {
        link_.flags.dataReceived = true;
        host_.ShowChannel(static_cast<std::int16_t>(d.command - kChannelBase), value);
    }
}

void Decoder::StartDump() {
    // One deadline for the whole dump, from its "$": an ECU trickling bytes
    // cannot keep the link waiting for minutes.
    Wait(DecoderWait::DumpCount, kWaitMs);
}

void Decoder::DumpByte(std::uint8_t b) {
    DecoderState& d = link_.decoder;
    d.dumpBytes[static_cast<std::size_t>(d.dumpTaken++)] = b;
    d.dumpCheck ^= b;
    --d.dumpRemaining;
    // The image's last index takes the check byte; a longer dump's bytes
    // beyond it are left to be read as frames.
    if (d.dumpRemaining == 0 || d.dumpTaken > config_.ImageLast) EndDump(false);
}

void Decoder::EndDump(bool stalled) {
    DecoderState& d = link_.decoder;
    d.wait = DecoderWait::None;
    if (!stalled && d.dumpCheck == 0) {
        d.dumpRetries = 0;
        link_.flags.configValid = true;
        host_.DumpReceived(std::vector<std::uint8_t>(
            d.dumpBytes.begin(), d.dumpBytes.begin() + static_cast<std::ptrdiff_t>(d.dumpTaken)));
        return;
    }
    ++link_.counters.badDumps;
    if (d.dumpRetries < kMaxDumpRetries) {
        port_.SendString("G");
        ++d.dumpRetries;
        link_.counters.dumpRetry = d.dumpRetries;
    }
    events_.ShowLinkCounters();
}

} // namespace kavrin

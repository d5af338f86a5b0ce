// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/decoder.h"

#include "base/clock.h"
#include "serial/rs232.h"

namespace kavrin {

namespace {
constexpr std::int16_t kDumpStart = '$';
constexpr std::int16_t kFirstCommand = '.';
constexpr std::int16_t kLastCommand = 'Z';
constexpr std::int16_t kSequenceLead = 255;
constexpr std::uint16_t kDumpSeed = 0xAA;
constexpr int kChannelBase = 0x30;
} // namespace

Decoder::Decoder(rs232& port, MonotonicClock& clock, LinkState& link, Configuration& config,
                 LinkHost& host, DecoderEvents& events)
    : port_(port), clock_(clock), link_(link), config_(config), host_(host), events_(events) {}

std::int16_t Decoder::ReadFrameByte(bool waitForIt) {
    const std::int16_t b = waitForIt ? port_.ReceiveByte() : port_.ReceiveWaitingByte();
    if (b >= 0) link_.frameXor ^= static_cast<std::uint16_t>(b);
    return b;
}

std::int16_t Decoder::WaitByte() {
    return WaitByteUntil(clock_.NowMs() + kWaitMs);
}

std::int16_t Decoder::WaitByteUntil(std::int64_t deadline) {
    // A shut port will not deliver: the wait expires at once. A byte that
    // comes only after the deadline is not waited for.
    while (port_.portOpen() && clock_.NowMs() < deadline) {
        const std::int16_t b = port_.ReceiveByte();
        if (b >= 0) return b;
    }
    ++link_.counters.timeouts;
    events_.ShowLinkCounters();
    return -1;
}

bool Decoder::Step(std::int16_t b) {
    DecoderState& d = link_.decoder;
    if (d.discardNext) {
        d.discardNext = false;
        return true;
    }
    switch (d.state) {
    case 0:
        d.command = b;
        link_.frameXor = static_cast<std::uint16_t>(b);
        if (b == kDumpStart) {
            link_.flags.dataReceived = true;
            ReceiveDump();
            return true;
        }
        if (b >= kFirstCommand && b <= kLastCommand) {
            d.state = 1;
            return true;
        }
        if (b == kSequenceLead) {
            // 255, a middle byte that never enters the check, and 255 again.
            const std::int16_t middle = WaitByte();
            if (middle == 0) {
                d.discardNext = true;
                return false;
            }
            // The closing byte follows the middle one closely: give it the
            // read time-out.
            const std::int16_t closing = ReadFrameByte(true);
            if (closing == -1) {
                d.discardNext = true;
                return false;
            }
            if (link_.frameXor != 0) {
                ++link_.counters.badFrames;
                events_.ShowLinkCounters();
            }
        }
        return true;
    case 1:
        d.low = b;
        d.state = 2;
        return true;
    case 2:
        d.high = b;
        d.state = 3;
        return true;
    default:
        if (link_.frameXor != 0)
            CountBadFrame();
        else
            GoodFrame();
        d.state = 0;
        return true;
    }
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
        host_.ShowConfig();
    }
    if (d.command == 'R') {
        link_.counters.rValue = value;
        events_.ShowLinkCounters();
    } else {
        link_.flags.dataReceived = true;
        host_.ShowChannel(static_cast<std::int16_t>(d.command - kChannelBase), value);
    }
}

void Decoder::ReceiveDump() {
    // A whole dump takes about 22 ms at the line rate; one that has not
    // completed within a second of its "$" is ended like one that stopped, so
    // an ECU trickling bytes cannot hold the window for minutes.
    const std::int64_t deadline = clock_.NowMs() + kWaitMs;
    const std::int16_t n = WaitByteUntil(deadline);
    if (n == -1) return;
    std::uint16_t check = kDumpSeed;
    int position = 0;
    int remaining = n;
    // Once the wait has expired the rest of the dump is taken as missing: it
    // cannot be good any more.
    bool stalled = false;
    while (position <= config_.ImageLast && remaining != 0) {
        const std::int16_t b = WaitByteUntil(deadline);
        if (b == -1) {
            stalled = true;
            break;
        }
        config_.ConfigImage.Set(position, b);
        ++position;
        check ^= static_cast<std::uint16_t>(b);
        --remaining;
    }
    config_.UpdateFuelScale();
    config_.RecomputeFuelPulses();

    DecoderState& d = link_.decoder;
    if (!stalled && check == 0) {
        d.dumpRetries = 0;
        link_.flags.configValid = true;
        // A whole new configuration: the fuel cells' colours must follow it,
        // not stay as an earlier map left them.
        config_.RecolourFuel = true;
        host_.ShowConfig();
        host_.LayoutMaps();
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

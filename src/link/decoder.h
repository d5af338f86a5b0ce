// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receive decoder stores dump and echo bytes straight into the
// configuration image: the one place the link reaches into the configuration.
#include "config/config_image.h"
#include "link/link_host.h"
#include "link/link_state.h"

#include <cstdint>

namespace kavrin {

class rs232;
class MonotonicClock;

// What the decoder asks of the link cycle that runs it.
class DecoderEvents {
public:
    virtual ~DecoderEvents() = default;
    virtual void ShowLinkCounters() = 0;
    // Resynchronisation after every 50th bad frame: reopen the port quietly.
    virtual void ReopenPort() = 0;
};

// The byte-by-byte receive decoder: four-byte frames, "$" dumps and the 0xFF
// sequence, with what each accepted item does to the image and the views.
class Decoder {
public:
    Decoder(rs232& port, MonotonicClock& clock, LinkState& link, Configuration& config,
            LinkHost& host, DecoderEvents& events);

    // A byte or -1; a byte is XORed into frameXor. The link tick takes only
    // bytes that have already arrived: waiting 10 ms for each next one would
    // keep a tick going for as long as the ECU streams.
    std::int16_t ReadFrameByte(bool waitForIt = false);
    // A byte, or -1 after one second without one (counted in timeouts).
    std::int16_t WaitByte();
    // A byte, or -1 once the clock reaches the deadline (counted in timeouts).
    std::int16_t WaitByteUntil(std::int64_t deadlineMs);
    // One byte from ReadFrameByte. False when decoding must end for this tick.
    bool Step(std::int16_t b);
    // Reads a dump after its "$".
    void ReceiveDump();

    static constexpr int kWaitMs = 1000;
    static constexpr int kMaxDumpRetries = 5;
    static constexpr int kResyncEvery = 50;

private:
    void CountBadFrame();
    void GoodFrame();

    rs232& port_;
    MonotonicClock& clock_;
    LinkState& link_;
    Configuration& config_;
    LinkHost& host_;
    DecoderEvents& events_;
};

} // namespace kavrin

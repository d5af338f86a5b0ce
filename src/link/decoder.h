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

// The receive decoder: four-byte frames, "$" dumps and the 0xFF sequence, with
// what each accepted item does to the image and the views. It is fed the
// bytes as they arrive and resumes where they stopped, in the middle of a
// frame, a dump or a sequence; the waits for the bytes of a dump or a sequence
// are deadlines that CheckDeadline ends.
class Decoder {
public:
    Decoder(rs232& port, MonotonicClock& clock, LinkState& link, Configuration& config,
            LinkHost& host, DecoderEvents& events);

    // One received byte. False when decoding must end for this tick.
    bool Step(std::uint8_t b);
    // Inside a dump or a 0xFF sequence, its next byte not yet here.
    bool Waiting() const { return link_.decoder.wait != DecoderWait::None; }
    // Ends a wait whose time is up, or whose port will deliver nothing more,
    // as a byte that did not come. Run after the bytes that have arrived were
    // taken. False when decoding must end for this tick.
    bool CheckDeadline();

    // A whole dump takes about 22 ms at the line rate; one that has not
    // completed within a second of its "$" is ended like one that stopped,
    // and so is a sequence whose middle byte has not come within a second.
    static constexpr int kWaitMs = 1000;
    // The closing byte of a sequence follows the middle one closely: it is
    // waited for until the next tick.
    static constexpr int kClosingWaitMs = 10;
    static constexpr int kMaxDumpRetries = 5;
    static constexpr int kResyncEvery = 50;

private:
    void FrameByte(std::uint8_t b);
    void CountBadFrame();
    void GoodFrame();
    void StartDump();
    void DumpByte(std::uint8_t b);
    void EndDump(bool stalled);
    void Wait(DecoderWait what, int ms);
    void CountTimeout();

    rs232& port_;
    MonotonicClock& clock_;
    LinkState& link_;
    Configuration& config_;
    LinkHost& host_;
    DecoderEvents& events_;
};

} // namespace kavrin

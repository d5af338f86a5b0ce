// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace kavrin {

// Program-wide flags of the link, owned by the main window.
struct LinkFlags {
    bool suppressWrites = false; // the program itself is filling controls: no configuration writes
    bool dataReceived = false;   // accepted data arrived since the last link tick
    bool online = false;         // the ECU answered since the port was opened: edits go to the ECU
    bool configValid = false;    // a good dump arrived since the window last went offline
};

// The five counters of the status bar; never reset while the window lives.
struct LinkCounters {
    std::int32_t rValue = 0;    // value of the last good "R" frame
    std::int32_t badDumps = 0;  // dumps whose check failed
    std::int32_t badFrames = 0; // frames and 0xFF sequences whose check failed
    std::int32_t timeouts = 0;  // expired one-second waits and reconnects after silence
    std::int32_t dumpRetry = 0; // number of the last re-request after a failed dump
};

struct DecoderState {
    std::int16_t state = 0;   // which byte of a frame comes next, 0..3
    std::int16_t command = 0; // first byte of the frame in progress
    std::int32_t low = 0;
    std::int32_t high = 0;
    std::int16_t dumpRetries = 0; // failed dumps answered with "G" in a row, 0..5
    // A tick that ended inside a 0xFF sequence leaves the next byte to be
    // dropped unexamined: it belongs to that sequence.
    bool discardNext = false;
};

struct LinkState {
    LinkFlags flags;
    LinkCounters counters;
    DecoderState decoder;
    std::uint16_t frameXor = 0;
    std::int16_t currentPort = 1;
    std::int16_t silenceCountdown = 0;
};

} // namespace kavrin

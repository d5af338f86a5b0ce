// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>

namespace kavrin {

// Program-wide flags of the link, owned by the main window.
struct LinkFlags {
    bool dataReceived = false;   // accepted data arrived since the last link tick
    bool online = false;         // the ECU answered since the port was opened: edits go to the ECU
    bool configValid = false;    // a good dump arrived since the window last went offline
};

// The five counters of the status bar; never reset while the window lives.
struct LinkCounters {
    std::int32_t rValue = 0;    // value of the last good "R" frame
    std::int32_t badDumps = 0;  // dumps whose check failed
    std::int32_t badFrames = 0; // frames and 0xFF sequences whose check failed
    std::int32_t timeouts = 0;  // waits for a byte cut off, reconnects after silence
    std::int32_t dumpRetry = 0; // number of the last re-request after a failed dump
};

// What the decoder is waiting for between ticks, inside a dump or a 0xFF
// sequence. Nothing else of the link moves on while it waits (the silence
// countdown, the requests of Timer2): the ECU is in the middle of telling us
// something.
enum class DecoderWait : std::uint8_t {
    None,
    DumpCount,       // the count byte after "$"
    DumpBytes,       // the dump's bytes
    SequenceMiddle,  // the byte after 255
    SequenceClosing, // the closing 255
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

    DecoderWait wait = DecoderWait::None;
    std::int64_t deadlineMs = 0; // when the wait ends without its byte
    // The dump in progress: its bytes are kept apart until the check has
    // passed, so that a bad or cut dump leaves the image as it was.
    std::int32_t dumpRemaining = 0;
    std::int32_t dumpTaken = 0;
    std::uint16_t dumpCheck = 0;
    std::array<std::uint8_t, 256> dumpBytes{};
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

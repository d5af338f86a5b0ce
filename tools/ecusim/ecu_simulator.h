// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/clock.h"
#include "command_reader.h"
#include "ecu_image.h"
#include "engine_model.h"
#include "fault_injector.h"
#include "line_pacer.h"
#include "sim_options.h"

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace kavrin::ecusim {

// The ECU's side of the serial protocol.
//
// The PC sends "G" (send the configuration), "R" (status), "S" (stop) and
// four-byte write messages. The ECU answers "G" with "$", a count of 215 and
// the 214 configuration bytes followed by a check byte that makes the XOR of
// 0xAA and all 215 bytes zero; echoes each accepted write with an "M" frame;
// answers "R" with an "R" frame carrying the seconds since power-up; and
// streams live frames ("0" + channel, low, high, check) on its own. "S" stops
// the live stream until the PC sends its next command, so a closing tool
// leaves a quiet line; answers are still given while it is stopped.
//
// Answers go out whole and before any further live frame, so a dump or frame
// is never split by another.
class EcuSimulator {
public:
    static constexpr std::uint8_t kDumpStart = '$';
    static constexpr std::uint8_t kDumpSeed = 0xAA;
    static constexpr int kDumpCount = EcuImage::kSize + 1;
    static constexpr int kChannelBase = '0';

    EcuSimulator(MonotonicClock& clock, const SimOptions& options,
                 const EcuImage& image = EcuImage::Tuned());

    void Receive(std::span<const std::uint8_t> bytes);
    // The bytes whose turn on the line has come since the last call.
    std::vector<std::uint8_t> Produce();
    // Silence on demand, on top of any scheduled silence.
    void GoSilent(std::int64_t durationMs);
    // One line per thing that happened since the last call, oldest first.
    std::vector<std::string> TakeEvents();

    const EcuImage& Image() const { return image_; }

private:
    void Handle(const Command& command);
    void QueueFrame(std::uint8_t command, std::uint16_t value, std::uint8_t damage = 0);
    void QueueDump();
    void QueueLiveFrame(std::int64_t nowMs);
    void UpdateSilence(std::int64_t nowMs);
    std::int64_t Elapsed(std::int64_t nowMs) const { return nowMs - startMs_; }

    MonotonicClock& clock_;
    SimOptions options_;
    EcuImage image_;
    std::int64_t startMs_;
    CommandReader reader_;
    EngineModel engine_;
    FaultInjector faults_;
    LinePacer pacer_;
    std::deque<std::uint8_t> queue_;
    std::vector<std::string> events_;
    bool stopped_ = false;
    bool silent_ = false;
    bool changesApplied_ = false; // the changes while silent are made once
    std::int64_t framesScheduled_ = 0;
    std::uint64_t framesSent_ = 0;
    int nextChannel_ = 1;
};

} // namespace kavrin::ecusim

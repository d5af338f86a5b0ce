#pragma once
// A ConfigWriter that records the writes which would leave the window.
#include "config/config_image.h"
#include "link/link.h"
#include "link/link_state.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

namespace kavrin::test {

// One write as it would go to the ECU: command letter, image index, byte.
struct Write {
    char command = 0;
    int index = 0;
    int value = 0;
    bool operator==(const Write&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Write& w) {
        return os << w.command << "(" << w.index << ", " << w.value << ")";
    }
};

// Behaves as the link does: nothing while writes are suppressed, the value
// limited to a byte in the caller's variable, stored into the image while
// offline (online the image waits for the ECU's echo).
class RecordingWriter final : public ConfigWriter {
public:
    RecordingWriter(Configuration& config, const LinkFlags& flags)
        : config_(config), flags_(flags) {}
    void WriteConfigByte(char command, std::int16_t& index, std::int16_t& value) override {
        if (flags_.suppressWrites) return;
        value = std::clamp<std::int16_t>(value, 0, 255);
        writes.push_back({command, index, value});
        if (!flags_.online) config_.ConfigImage.Set(index, value);
    }
    std::vector<Write> writes;

private:
    Configuration& config_;
    const LinkFlags& flags_;
};

} // namespace kavrin::test

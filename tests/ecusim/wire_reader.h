#pragma once
#include <cstdint>
#include <vector>

namespace kavrin::test {

// Splits what the simulated ECU sent into frames and dumps, the way the tool's
// decoder does when nothing is lost on the line.
struct WireFrame {
    std::uint8_t command;
    std::uint16_t value;
    bool good; // XOR of the four bytes is 0
};

struct WireDump {
    int count;
    std::vector<std::uint8_t> bytes; // the count's worth, check byte last
    bool good;                       // 0xAA XOR all bytes is 0
};

struct Wire {
    std::vector<WireFrame> frames;
    std::vector<WireDump> dumps;
    int strayBytes = 0; // bytes where a frame should start but none can
    int trailing = 0;   // an unfinished frame or dump at the end

    static Wire Read(const std::vector<std::uint8_t>& bytes) {
        Wire w;
        std::size_t i = 0;
        while (i < bytes.size()) {
            const std::uint8_t b = bytes[i];
            if (b == '$') {
                if (i + 1 >= bytes.size()) break;
                const int n = bytes[i + 1];
                if (i + 2 + n > bytes.size()) break;
                WireDump d{
                    n, {bytes.begin() + long(i) + 2, bytes.begin() + long(i) + 2 + n}, false};
                std::uint8_t x = 0xAA;
                for (std::uint8_t v : d.bytes) x ^= v;
                d.good = x == 0;
                w.dumps.push_back(d);
                i += 2 + static_cast<std::size_t>(n);
            } else if (b >= '.' && b <= 'Z') {
                if (i + 4 > bytes.size()) break;
                const auto low = bytes[i + 1], high = bytes[i + 2], check = bytes[i + 3];
                w.frames.push_back({b, static_cast<std::uint16_t>(low | (high << 8)),
                                    (b ^ low ^ high ^ check) == 0});
                i += 4;
            } else {
                ++w.strayBytes;
                ++i;
            }
        }
        w.trailing = static_cast<int>(bytes.size() - i);
        return w;
    }
};

} // namespace kavrin::test

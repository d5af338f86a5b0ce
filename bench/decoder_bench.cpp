// SPDX-License-Identifier: GPL-3.0-or-later
// Receive decoder throughput: how many bytes per second the link tick turns
// into frames, on a live stream like the ECU's and on one with 5 % of its
// frames corrupted. The line itself carries 11,520 bytes/s.
//   build/release/bin/decoder_bench   (or build/test/bin/decoder_bench)
#include "base/clock.h"
#include "base/language_texts.h"
#include "base/settings_store.h"
#include "config/config_image.h"
#include "line_rate.h"
#include "link/link.h"
#include "serial/rs232.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {
using namespace kavrin;

constexpr double kLineRate = bench::kLineBytesPerSecond;

// Plays a recorded stream back as fast as the decoder takes it.
class PlaybackDevice final : public SerialDevice {
public:
    explicit PlaybackDevice(const std::vector<std::uint8_t>& stream) : stream_(stream) {}
    bool Open(const std::string&) override { return true; }
    void Close() override {}
    void Write(std::span<const std::uint8_t>) override {}
    std::size_t Read(std::span<std::uint8_t> into) override {
        const std::size_t n = std::min(into.size(), stream_.size() - pos_);
        std::copy_n(stream_.begin() + static_cast<std::ptrdiff_t>(pos_), n, into.begin());
        pos_ += n;
        return n;
    }
    void Rewind() { pos_ = 0; }
    bool AtEnd() const { return pos_ >= stream_.size(); }

private:
    const std::vector<std::uint8_t>& stream_;
    std::size_t pos_ = 0;
};

class OnePort final : public PortDirectory {
public:
    std::string DeviceName(std::int16_t) override { return "bench"; }
    std::vector<std::string> ListComPorts() override { return {"COM1"}; }
};

class NoSettings final : public SettingsStore {
public:
    std::string GetSetting(const std::string&, const std::string&, const std::string&,
                           const std::string& d) override {
        return d;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}
    std::vector<std::string> Keys(const std::string&, const std::string&) override { return {}; }
};

class CountingHost final : public LinkHost, public LinkStatus {
public:
    void DumpReceived(const std::vector<std::uint8_t>&) override {}
    void ConfigEchoed(std::int16_t, std::int16_t) override {}
    void ShowChannel(std::int16_t channel, std::int32_t value) override {
        benchmark::DoNotOptimize(sum += channel + value);
        ++frames;
    }
    void TrackLiveCell() override {}
    void HideLiveMarkers() override {}
    void Connecting() override {}
    void PortOpened(std::int16_t) override {}
    void PortFailed(std::int16_t, bool) override {}
    void Receiving() override {}
    void Offline() override {}
    void CountersChanged() override {}
    long long sum = 0;
    long long frames = 0;
};

// Live frames as the ECU streams them: engine speed every other frame, the
// other channels in turn, values drifting; `corruptShare` of them with a bad
// check byte.
std::vector<std::uint8_t> LiveStream(std::size_t frames, double corruptShare) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> share(0, 1);
    std::vector<std::uint8_t> out;
    out.reserve(frames * 4);
    int other = 1;
    for (std::size_t i = 0; i < frames; ++i) {
        const int channel = i % 2 == 0 ? 0 : other;
        if (i % 2 == 1) other = other % 16 + 1;
        const auto value = static_cast<std::uint16_t>((i * 37 + channel * 1000) & 0xFFFF);
        const auto c = static_cast<std::uint8_t>(0x30 + channel);
        const auto lo = static_cast<std::uint8_t>(value & 0xFF);
        const auto hi = static_cast<std::uint8_t>(value >> 8);
        auto check = static_cast<std::uint8_t>(c ^ lo ^ hi);
        if (share(random) < corruptShare) check ^= 0x5A;
        out.insert(out.end(), {c, lo, hi, check});
    }
    return out;
}

void RunDecoder(benchmark::State& state, double corruptShare) {
    const auto stream = LiveStream(bench::kLineFramesPerSecond * 10,
                                   corruptShare); // ten seconds of a saturated line
    PlaybackDevice device(stream);
    OnePort ports;
    rs232 port(device, ports);
    SteadyClock clock;
    LinkState linkState;
    Configuration config;
    config.SizeImage();
    CountingHost host;
    NoSettings settings;
    WriteSuppression writes;
    Link link(port, clock, linkState, config, host, host, settings, writes);
    std::int16_t number = 1;
    link.AbrirPuerto(number, true);

    for (auto _ : state) {
        device.Rewind();
        // A tick takes at most a second of the line; the stream holds ten. The
        // last tick takes what the port had already taken from the device.
        do {
            linkState.silenceCountdown = 100;
            link.tmrcom_Timer();
        } while (!device.AtEnd());
        link.tmrcom_Timer();
    }
    const double bytes = static_cast<double>(stream.size()) * state.iterations();
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["x_line_rate"] =
        benchmark::Counter(bytes / kLineRate, benchmark::Counter::kIsRate);
    state.counters["bad_frames"] = linkState.counters.badFrames;
}

void BM_DecoderLiveStream(benchmark::State& state) {
    RunDecoder(state, 0.0);
}
void BM_DecoderFivePercentCorrupted(benchmark::State& state) {
    RunDecoder(state, 0.05);
}

BENCHMARK(BM_DecoderLiveStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecoderFivePercentCorrupted)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

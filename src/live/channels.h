// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sixteen measured channels the ECU streams and its status bits: how a
// received count becomes a value with a unit, the labels that show it, the
// live-value store and the chart.
#include "base/controls.h"
#include "base/modulo.h"
#include "base/window_state.h"
#include "config/config_image.h"

#include <array>
#include <cstdint>

namespace kavrin {

inline constexpr int kMeasuredChannels = 16;
inline constexpr std::int16_t kStatusChannel = 16;
// The channels the engine's operating point and its mixture are read from.
inline constexpr int kRpmChannel = 0;
inline constexpr int kThrottleChannel = 5;
inline constexpr int kEngineTempChannel = 7;
inline constexpr int kLambdaChannel = 9;
// The status bits of channel 16.
inline constexpr std::int32_t kCrankingBit = 1;
inline constexpr std::int32_t kSelectorBit = 2;
inline constexpr std::int32_t kStopBit = 4;
inline constexpr std::int32_t kPulseBit = 8;
inline constexpr std::int32_t kFirstBit = 16;
inline constexpr std::int32_t kAnticipBit = 32;
// The lambda sensor's ends: counts 0 and 255 of channel 9 as air-fuel ratios.
inline constexpr float kLambdaLowAfr = 9.0f;
inline constexpr float kLambdaHighAfr = 19.0f;

// How a channel's count is turned into engineering units before its factor.
enum class PreConversion {
    None,
    TimesPrescale, // count x prescale multiplier, factor FuelScale
    PulseCount,    // count x 0.0008 ms
    ThrottlePercent,
    Temperature, // count / 0.8
    Lambda,      // count x 10 / 255 + 9 (air-fuel ratio)
};

struct ChannelInfo {
    const char* name; // check box caption
    PreConversion pre;
    float factor; // not used with TimesPrescale: FuelScale applies
    int decimals;
    const char* unit;
    Colour colour; // trace colour
};

const std::array<ChannelInfo, kMeasuredChannels>& ChannelTable();

// Texts of a channel's row when the window creates it.
struct ChannelInitialTexts {
    const char* lblvalor;
    const char* lblUnit;
    const char* txtEscala; // chart units per unit of the shown value
};
ChannelInitialTexts InitialChannelTexts(int channel);

// The strip chart. Every measured frame hands its shown value over, drawn or
// not, so that a trace switched on later starts from the channel's last point.
class LiveChart {
public:
    virtual ~LiveChart() = default;
    virtual void PlotPoint(std::int16_t channel, float value, Colour colour, bool plotted) = 0;
    // One chart column further, after every engine-speed frame.
    virtual void Advance() = 0;
    // The window's load: the chart takes its scale and draws its empty grid.
    virtual void Start() {}
    // The end of a tick's frames: what they drew is shown.
    virtual void Show() {}
};

// The controls of the "Channels" tabs; one this build of the window lacks is
// the null control.
struct ChannelControls {
    std::array<CheckControl*, kMeasuredChannels> chk =
        NoControls<CheckControl, kMeasuredChannels>();
    std::array<Control*, kMeasuredChannels> lblvalor = NoControls<Control, kMeasuredChannels>();
    std::array<Control*, kMeasuredChannels> lblUnit = NoControls<Control, kMeasuredChannels>();
    std::array<Control*, kMeasuredChannels> txtEscala = NoControls<Control, kMeasuredChannels>();
    Control* lblCranking = NoControl();
    Control* lblselector = NoControl();
    Control* lblStop = NoControl();
    Control* lblPulse = NoControl();
    Control* lblFirst = NoControl();
    Control* lblAnticip = NoControl();
};

class LiveChannels {
public:
    // LastValues, ThrottlePercent and the prescale multiplier of the window's
    // state are written here; ThrScale comes from the map layout and txtTHRmin
    // is the THR MIN parameter field.
    LiveChannels(const ChannelControls& controls, LiveChart& chart, const Configuration& config,
                 WindowState& state, const Control& txtTHRmin, Colour windowBackground);

    // One accepted live frame: the values and the chart take it at once, the
    // labels and indicators at the next Refresh. Channels outside 0..16 are
    // ignored.
    void ShowChannel(const std::int16_t& channel, const std::int32_t& value);

    // Once a tick: the value and unit labels and the indicators of the
    // channels that had frames since the last refresh show their last frame.
    // The screen shows one value a tick, however many frames came.
    void Refresh();

    // Percentage of the throttle span for a channel 5 count.
    float ComputeThrottlePercent(std::int32_t count) const;

    // The last shown value of each channel in engineering units, whatever the
    // display mode; 0 until its first frame.
    const std::array<float, kMeasuredChannels>& ShownValues() const { return shown_; }

private:
    void ShowStatusBits(std::int32_t bits);

    // A channel's row as its last frame left it, until the next refresh shows
    // it: the value before its factor, and the display mode of the moment.
    struct ShownRow {
        bool due = false;
        std::int32_t count = 0;
        float value = 0.0f;
        float factor = 1.0f;
        DataFormatMode mode = kRawData;
    };

    const ChannelControls& controls_;
    LiveChart& chart_;
    const Configuration& config_;
    WindowState& state_;
    const Control& txtTHRmin_;
    Colour windowBackground_;
    std::array<float, kMeasuredChannels> shown_{};
    std::array<ShownRow, kMeasuredChannels> rows_{};
    bool statusDue_ = false;
};

} // namespace kavrin

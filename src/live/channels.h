#pragma once
// The sixteen measured channels the ECU streams and its status bits: how a
// received count becomes a value with a unit, the labels that show it, the
// live-value store and the chart.
#include "base/controls.h"
#include "base/modulo.h"
#include "config/config_image.h"

#include <array>
#include <cstdint>

namespace kavrin {

inline constexpr int kMeasuredChannels = 16;
inline constexpr std::int16_t kStatusChannel = 16;

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
};

// The controls of the "Channels" tabs. A control left null is one this build
// of the window does not have.
struct ChannelControls {
    std::array<CheckControl*, kMeasuredChannels> chk{};
    std::array<Control*, kMeasuredChannels> lblvalor{};
    std::array<Control*, kMeasuredChannels> lblUnit{};
    std::array<Control*, kMeasuredChannels> txtEscala{};
    Control* lblCranking = nullptr;
    Control* lblselector = nullptr;
    Control* lblStop = nullptr;
    Control* lblPulse = nullptr;
    Control* lblFirst = nullptr;
    Control* lblAnticip = nullptr;
};

using LiveValueStore = std::array<std::int32_t, 21>;

class LiveChannels {
public:
    // Everything but the controls, the chart and the window background is owned
    // by the window: LastValues and ThrottlePercent are written here, the
    // prescale multiplier is kept with the receive decoder's state, ThrScale
    // comes from the map layout and txtTHRmin is the THR MIN parameter field.
    LiveChannels(const ChannelControls& controls, LiveChart& chart, const Configuration& config,
                 LiveValueStore& LastValues, float& ThrottlePercent,
                 std::int16_t& prescaleMultiplier, const std::int32_t& ThrScale,
                 const DataFormatMode& DataFormat, const Control* txtTHRmin,
                 Colour windowBackground);

    // One accepted live frame. Channels outside 0..16 are ignored.
    void ShowChannel(const std::int16_t& channel, const std::int32_t& value);

    // Percentage of the throttle span for a channel 5 count.
    float ComputeThrottlePercent(std::int32_t count) const;

    // The colour the status indicators fall back to when their bit is clear.
    void SetWindowBackground(Colour colour) { windowBackground_ = colour; }

private:
    void ShowStatusBits(std::int32_t bits);

    ChannelControls controls_;
    LiveChart& chart_;
    const Configuration& config_;
    LiveValueStore& lastValues_;
    float& throttlePercent_;
    std::int16_t& prescaleMultiplier_;
    const std::int32_t& thrScale_;
    const DataFormatMode& dataFormat_;
    const Control* txtTHRmin_;
    Colour windowBackground_;
};

} // namespace kavrin

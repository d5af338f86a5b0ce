// Writes a datalog of N engine-speed frames to a real file, every frame passing
// through the receive decoder: datalog_csv_writer PATH N. The locale of the
// environment is taken on, so a comma locale can be tried from outside.
#include "base/qt_file_system.h"
#include "live/channels.h"
#include "live/datalog.h"
#include "support/link_rig.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {
using namespace kavrin;

struct NoChart final : LiveChart {
    void PlotPoint(std::int16_t, float, Colour, bool) override {}
    void Advance() override {}
};
} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: datalog_csv_writer PATH FRAMES\n");
        return 2;
    }
    std::setlocale(LC_ALL, "");
    const int frames = std::atoi(argv[2]);

    test::LinkRig rig;
    rig.Open();
    NoChart chart;
    WindowState state;
    const ChannelControls controls;
    LiveChannels channels(controls, chart, rig.config, state, *NoControl(), 0);
    QtFileSystem files;
    Datalog log(rig.clock);
    DatalogHeader header;
    for (int n = 0; n < kMeasuredChannels; ++n) {
        header.names[n] = ChannelTable()[n].name;
        header.units[n] = ChannelTable()[n].unit;
    }
    header.names[10] = "MAP, \"kPa\""; // a title that must be quoted
    header.indicators = {"CRANKING", "SELECTOR", "STOP", "PULSE", "FIRST", "ANTICIP"};
    if (!log.Start(files.CreateStream(argv[1]), argv[1], header)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], files.LastError().c_str());
        return 1;
    }

    for (int i = 0; i < frames; ++i) {
        // Every other channel, then the status bits and the engine speed.
        for (int n = 1; n <= kStatusChannel; ++n)
            rig.device.Feed(test::Frame(static_cast<std::uint8_t>('0' + n),
                                        static_cast<std::uint16_t>((i * 37 + n * 11) % 256)));
        rig.device.Feed(test::Frame('0', static_cast<std::uint16_t>(800 + i % 5000)));
        rig.clock.Advance(6);
        rig.Tick();
        for (const auto& [channel, value] : rig.host.channels) {
            channels.ShowChannel(channel, value);
            if (channel == 0) log.AddRow(channels.ShownValues(), state.LastValues[kStatusChannel]);
        }
        rig.host.channels.clear();
        log.Tick();
    }
    if (!log.Stop()) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1],
                     log.TakeFailure().value_or("").c_str());
        return 1;
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start-up on settings from the input, the link's first ticks and
// the close. The input is a settings file: "[section]"
// and "key=value" lines; section "frmKAVRIN" holds the column widths ("RA1").
#include "app/frm_kavrin.h"
#include "fuzz_harness.h"
#include "serial/port_directory.h"
#include "support/fake_controls.h"
#include "support/fake_window_parts.h"
#include "support/memory_file_system.h"

#include <map>
#include <optional>

using namespace kavrin;
using namespace kavrin::test;

namespace {
void Fill(test::MemorySettingsStore& store, std::string_view text) {
    std::string section = "main";
    while (!text.empty()) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (const auto eq = line.find('='); eq != std::string_view::npos) {
            const char* app = section == "frmKAVRIN" ? kColumnWidthsApp : kAppName;
            store.values[{app, section, std::string(line.substr(0, eq))}] = line.substr(eq + 1);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test::FakeClock clock;
    test::FakeSerialDevice device;
    device.missing = {""}; // a port number that names no device
    test::MemorySettingsStore settings;
    Fill(settings, {reinterpret_cast<const char*>(data), size});
    SettingsPortDirectory ports(settings, [] {
        return std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB1", "/dev/pts/4"};
    });
    test::MemoryFileSystem files;
    static const std::string english = test::NumberedLanguageFile();
    files.files["/prog/English.lan"] = english;
    files.files["/prog/Chinese.lan"] = "1;File,2;Data Format\r\n";

    Shell shell;
    Panel connection;
    test::FakeMessageBoxes messages;
    Grid grids[4]{Grid("grd_fuel"), Grid("grd_ign"), Grid("grd3"), Grid("grd4")};
    Box boxes[4];
    test::FakeControl chk[kMeasuredChannels], scale[kMeasuredChannels], thrMin, thrMax;
    MainView view;
    view.window = &shell;
    view.messages = &messages;
    view.connection = &connection;
    view.grids = {&grids[0], &grids[1], &grids[2], &grids[3]};
    view.txtgrd_fuel = &boxes[0];
    view.txtgrd_ign = &boxes[1];
    view.txtgrd3 = &boxes[2];
    view.txtGrd4 = &boxes[3];
    view.dialogs = &shell;
    view.mnLanguage = &shell;
    for (int n = 0; n < kMeasuredChannels; ++n) {
        view.channels.chk[n] = &chk[n];
        view.channels.txtEscala[n] = &scale[n];
    }
    view.parameters.txtTHRmin = &thrMin;
    view.parameters.txtTHRmax = &thrMax;

    {
        frmKAVRIN frm(view, Platform{device, ports, clock, settings, files, "/prog"}, shell);
        frm.Form_Load();
        fuzz::Check(frm.state().DataFormat == kRawData || frm.state().DataFormat == kFormattedData,
                    "a display mode the window cannot show");
        const std::int16_t port = frm.linkState().currentPort;
        fuzz::Check(port >= 0 && port <= 255, "a port number out of range");
        frm.tmrcom_Timer();
        frm.Timer2_Timer();
        fuzz::CheckWire(device.written, frm.config().ImageLast - 1);
        for (auto* listener : std::vector(shell.listeners)) listener->OnUnload();
        frm.Form_QueryUnload();
    }
    for (const auto& key : settings.saves) {
        const double twips = ReadNumber(settings.values[key]);
        fuzz::Check(std::get<0>(key) != kColumnWidthsApp ||
                        (twips >= 0 && twips <= grid::kMaxColWidth),
                    "a column width stored out of range");
    }
    return 0;
}

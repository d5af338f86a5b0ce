// SPDX-License-Identifier: GPL-3.0-or-later
// An ".efi" file read, checked and, when accepted, loaded while the ECU is
// online: every value goes out as a write message. An accepted file then
// survives a save and a reload.
#include "config/efi_file.h"
#include "fuzz_harness.h"

using namespace kavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Wire rig;
    rig.state.flags.online = true;

    const EfiReadResult file = ReadEfiText({reinterpret_cast<const char*>(data), size}, rig.config);
    if (!file.ok) {
        fuzz::Check(file.line >= 1 && file.reasonText != 0, "a refusal without line or reason");
        return 0;
    }
    for (const EfiStep& step : file.steps)
        fuzz::Check(step.kind != EfiStep::Kind::Value || (step.a >= 0 && step.a <= 255),
                    "an accepted value outside 0..255");
    rig.Load(file);
    const Configuration& config = rig.config;
    const auto& w = rig.device.written;
    fuzz::CheckWire(w, config.ImageLast);
    for (std::size_t i = 0; i + 4 <= w.size(); i += 4)
        fuzz::Check(config.ConfigImage[w[i + 1]] == w[i + 2], "the ECU was sent another byte");

    // A file whose header matched its values is written back as it was read.
    Configuration sized = config;
    sized.SizeImage();
    if (sized.ImageLast != config.ImageLast || sized.FuelCells != config.FuelCells) return 0;
    const EfiReadResult again = ReadEfiText(WriteEfiText(config), config);
    fuzz::Check(again.ok, "a saved file is refused");
    fuzz::Wire reload;
    reload.Load(again);
    for (int i = 0; i < config.ImageLast; ++i)
        fuzz::Check(reload.config.ConfigImage[i] == config.ConfigImage[i], "a byte lost on saving");
    return 0;
}

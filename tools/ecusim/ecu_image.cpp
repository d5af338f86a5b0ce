// SPDX-License-Identifier: GPL-3.0-or-later
#include "ecu_image.h"

#include <algorithm>
#include <cmath>

namespace kavrin::ecusim {

namespace {
std::uint8_t ToByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

constexpr double kDegreesPerStep = 360.0 / 1024.0;
} // namespace

EcuImage EcuImage::Tuned() {
    EcuImage image;
    // Fuel grows with throttle (air let in) and, less, with engine speed; the
    // corner at full throttle and top speed sits just under the red band.
    for (int row = 0; row < kMapRows; ++row) {
        const double throttle = kRowBreakpoints[static_cast<std::size_t>(row)] / 256.0;
        for (int col = 0; col < kMapCols; ++col) {
            const double speed = col / double(kMapCols - 1);
            const double v = 30.0 + 160.0 * throttle + 50.0 * speed * (0.4 + 0.6 * throttle);
            image.Set(kFuelBase + row * kMapCols + col, ToByte(std::min(v, 240.0)));
        }
    }
    // 10 degrees up to 1000 rpm, rising to 35 at 5000 rpm, flat above.
    // Column index col sits at (col + 1) x 1000 rpm.
    for (int col = 0; col < kMapCols; ++col) {
        const double degrees = std::min(35.0, 10.0 + col * 6.25);
        image.Set(kIgnitionBase + col, ToByte(degrees / kDegreesPerStep));
    }
    for (int i = 0; i < kEngineTempCells; ++i) image.Set(kEngineTempBase + i, 128);
    for (int i = 0; i < kAirTempCells; ++i) image.Set(kAirTempBase + i, 128);

    image.Set(kCompensation, 128);
    image.Set(kMainAngle, 128); // pickup 45 deg before top dead centre
    image.Set(kEfiAngle, 171);  // 60 deg
    image.Set(kFuelPump, 255);
    image.Set(kThrMin, 20);
    image.Set(kThrMax, 220);
    image.Set(kOptions, 0x0F | kNegativePulseStart); // both interpolations, accel, engine temp
    image.Set(kCutOff, 24);                          // 6000 rpm
    image.Set(kEfiFactor, 100);                      // 0.08 ms per step
    image.Set(kEfiOffset, 1);
    image.Set(kPriming, 10);
    image.Set(kDwell, 117); // 3 ms
    image.Set(kOptions2, 0);
    return image;
}

double EcuImage::FuelScaleMs() const {
    const double scale = At(kEfiFactor) * 0.0008;
    return scale == 0.0 ? 0.05 : scale;
}

} // namespace kavrin::ecusim

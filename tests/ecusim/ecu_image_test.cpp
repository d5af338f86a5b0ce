#include "ecusim/ecu_image.h"
#include "ecusim/engine_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace kavrin::ecusim {
namespace {

TEST(EcuImageTest, TunedImageSitsWhereTheToolLooks) {
    const EcuImage image = EcuImage::Tuned();
    EXPECT_EQ(image.Bytes().size(), 214u);
    const std::tuple<int, int, const char*> expected[] = {
        {165, 28, "ignition at 0 rpm, 10 deg"},
        {166, 28, "ignition at 1000 rpm"},
        {170, 100, "ignition at 5000 rpm, 35 deg"},
        {179, 100, "ignition at 14000 rpm, flat"},
        {180, 128, "first engine-temperature cell, 100 %"},
        {193, 128, "last engine-temperature cell"},
        {194, 128, "first air-temperature cell"},
        {200, 128, "last air-temperature cell"},
        {201, 128, "compensation 100 %"},
        {204, 255, "fuel pump 100 %"},
        {205, 20, "THR MIN"},
        {206, 220, "THR MAX"},
        {208, 24, "cut-off 6000 rpm"},
        {209, 100, "EFI factor"},
    };
    for (const auto& [index, value, what] : expected) EXPECT_EQ(image.At(index), value) << what;

    // Fuel rises with speed along a row and with throttle down a column, and
    // spreads over the colour bands from black to just under red.
    int lowest = 255, highest = 0;
    for (int r = 0; r < EcuImage::kMapRows; ++r)
        for (int c = 0; c < EcuImage::kMapCols; ++c) {
            const int v = image.Fuel(r, c);
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
            EXPECT_TRUE(c == 0 || v >= image.Fuel(r, c - 1)) << r << "," << c;
            EXPECT_TRUE(r == 0 || v > image.Fuel(r - 1, c)) << r << "," << c;
        }
    EXPECT_LT(lowest, 60);
    EXPECT_GE(highest, 230);
    EXPECT_LE(highest, 240);
    EXPECT_DOUBLE_EQ(image.FuelScaleMs(), 0.08);
}

TEST(EngineModelTest, SameSeedSameEngineAndItFollowsTheTune) {
    const EcuImage image = EcuImage::Tuned();
    const EngineModel a(5), b(5), c(6);
    bool differs = false;
    for (std::int64_t t = 0; t < 60000; t += 97) {
        ASSERT_EQ(a.Channels(t, image), b.Channels(t, image)) << t;
        differs = differs || a.Channels(t, image) != c.Channels(t, image);
        const auto p = a.At(t);
        ASSERT_GE(p.throttlePercent, 0.0);
        ASSERT_LE(p.throttlePercent, 100.0);
        if (t > 4000) {
            ASSERT_GT(p.rpm, 800.0) << t;
            ASSERT_LT(p.rpm, 6500.0) << t;
        }
    }
    EXPECT_TRUE(differs);

    // The throttle sweeps the whole range within a minute; the engine follows.
    double minRpm = 1e9, maxRpm = 0;
    for (std::int64_t t = 4000; t < 60000; t += 50) {
        minRpm = std::min(minRpm, a.At(t).rpm);
        maxRpm = std::max(maxRpm, a.At(t).rpm);
    }
    EXPECT_LT(minRpm, 1000.0);
    EXPECT_GT(maxRpm, 5500.0);

    // A lower cut-off holds the engine there; a richer map gives longer pulses.
    EcuImage edited = image;
    edited.Set(EcuImage::kCutOff, 12);
    edited.Set(EcuImage::kFuelBase, 200);
    for (int i = 0; i < EcuImage::kIgnitionBase; ++i) edited.Set(i, 200);
    for (std::int64_t t = 4000; t < 60000; t += 500) {
        ASSERT_LE(a.Channels(t, edited)[0], 3072) << t;
        if (a.At(t).throttlePercent < 50.0) {
            ASSERT_GT(a.Channels(t, edited)[3], a.Channels(t, image)[3]) << t;
        }
    }

    // The engine warms up.
    EXPECT_NEAR(a.At(0).engineTempC, 20.0, 1.0);
    EXPECT_GT(a.At(600000).engineTempC, 85.0);
}

} // namespace
} // namespace kavrin::ecusim

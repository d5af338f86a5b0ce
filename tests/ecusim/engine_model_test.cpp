#include "ecusim/ecu_image.h"
#include "ecusim/engine_model.h"

#include <gtest/gtest.h>

namespace kavrin::ecusim {
namespace {

TEST(EngineModelTest, SameSeedSameEngineAndItFollowsTheTune) {
    const EcuImage image = EcuImage::Tuned();
    const EngineModel a(5), b(5), c(6);
    bool differs = false;
    for (std::int64_t t = 0; t < 60000; t += 97) {
        ASSERT_EQ(a.Channels(t, image), b.Channels(t, image)) << t;
        differs = differs || a.Channels(t, image) != c.Channels(t, image);
    }
    EXPECT_TRUE(differs);

    // A lower cut-off holds the engine there; a richer map gives longer pulses.
    EcuImage edited = image;
    edited.Set(EcuImage::kCutOff, 12);
    for (int i = 0; i < EcuImage::kIgnitionBase; ++i) edited.Set(i, 200);
    for (std::int64_t t = 4000; t < 60000; t += 500) {
        ASSERT_LE(a.Channels(t, edited)[0], 3072) << t;
        if (a.At(t).throttlePercent < 50.0) {
            ASSERT_GT(a.Channels(t, edited)[3], a.Channels(t, image)[3]) << t;
        }
    }
}

} // namespace
} // namespace kavrin::ecusim

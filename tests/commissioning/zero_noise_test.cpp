#include "commissioning/zero_noise.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/test_scale.h"

namespace zv {
namespace {

// A start is harder than a steady platform, which is harder than a minute's wait. With four
// inputs a half-platform load sums two inputs' noise: the same Zst stands 1/√2 of it.
TEST(ZeroNoise, LimitsComeInOrderAndFollowTheInputs) {
    const ZeroNoiseLimit two = zeroNoiseLimit(test::scaleSettings(1, 1));
    EXPECT_GT(two.firstReadingKg, 5);
    EXPECT_LT(two.firstReadingKg, two.halfStableKg);
    EXPECT_LT(two.halfStableKg, two.minuteKg);
    const ZeroNoiseLimit four = zeroNoiseLimit(test::scaleSettings(1, 2));
    EXPECT_NEAR(four.halfStableKg / two.halfStableKg, 1 / std::sqrt(2.0), 0.05);
}

}  // namespace
}  // namespace zv

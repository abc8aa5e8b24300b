#include "analysis/window_function.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace melvora {
namespace {

TEST(MakeWindow, HammingOfTheDefaultFrameIsSymmetricWithEndsAtPointZeroEight) {
    const int n = 1764;
    std::vector<float> w(n, -1.0f);
    MakeWindow(w.data(), n, kWindowHamming);
    EXPECT_NEAR(w[0], 0.08f, 1e-6f);
    EXPECT_NEAR(w[n - 1], 0.08f, 1e-6f);
    for (int i = 0; i < n / 2; ++i) {
        ASSERT_NEAR(w[i], w[n - 1 - i], 2e-6f) << i;
    }
    EXPECT_NEAR(w[n / 2], 1.0f, 1e-5f);
    EXPECT_NEAR(w[n / 2 - 1], 1.0f, 1e-5f);
    for (float v : w) {
        ASSERT_LE(v, 1.0f + 1e-6f);
    }
}

TEST(MakeWindow, HannVariantOfThreeIsHalfOneHalf) {
    float w[3] = {0.0f, 0.0f, 0.0f};
    MakeWindow(w, 3, kWindowHannNoZeroEnds);
    EXPECT_NEAR(w[0], 0.5f, 1e-6f);
    EXPECT_NEAR(w[1], 1.0f, 1e-6f);
    EXPECT_NEAR(w[2], 0.5f, 1e-6f);
}

TEST(MakeWindow, RectangularIsOneAndBlackmanIsNearZeroAtTheEnds) {
    std::vector<float> w(64, 0.0f);
    MakeWindow(w.data(), 64, kWindowRectangular);
    for (float v : w) {
        ASSERT_EQ(v, 1.0f);
    }
    MakeWindow(w.data(), 64, kWindowBlackman);
    EXPECT_NEAR(w[0], 0.0f, 1e-6f);
    EXPECT_NEAR(w[63], 0.0f, 1e-6f);
    // 0.42 in single precision makes the ends a hair below zero.
    EXPECT_LT(w[0], 0.0f);
    EXPECT_NEAR(w[31], 1.0f, 2e-3f);
}

TEST(MakeWindow, NonPositiveLengthWritesNothing) {
    float w[2] = {5.0f, 6.0f};
    MakeWindow(w, 0, kWindowHamming);
    MakeWindow(w, -3, kWindowBlackman);
    EXPECT_EQ(w[0], 5.0f);
    EXPECT_EQ(w[1], 6.0f);
}

TEST(MakeWindowDeathTest, UnknownTypeEndsTheProcessWithItsMessage) {
    float w[4];
    EXPECT_EXIT(MakeWindow(w, 4, 2u), ::testing::ExitedWithCode(1), "Unknown window type");
    EXPECT_EXIT(MakeWindow(w, 0, 5u), ::testing::ExitedWithCode(1), "Unknown window type");
}

}  // namespace
}  // namespace melvora

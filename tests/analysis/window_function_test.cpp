#include "analysis/window_function.h"

#include <gtest/gtest.h>

#include <vector>

namespace melvora {
namespace {

TEST(MakeWindow, HammingOfTheDefaultFrameIsSymmetricWithEndsAtPointZeroEight) {
    const int n = 1764;
    std::vector<float> w(n, -1.0f);
    MakeWindow(w.data(), n, kWindowHamming);
    EXPECT_NEAR(w[0], 0.08f, 1e-6f);
    for (int i = 0; i < n / 2; ++i) {
        ASSERT_NEAR(w[i], w[n - 1 - i], 2e-6f) << i;
        ASSERT_LE(w[i], 1.0f + 1e-6f) << i;
    }
    EXPECT_NEAR(w[n / 2 - 1], 1.0f, 1e-5f);
}

TEST(MakeWindow, HannRectangularAndBlackmanValues) {
    float hann[3] = {0.0f, 0.0f, 0.0f};
    MakeWindow(hann, 3, kWindowHannNoZeroEnds);
    EXPECT_NEAR(hann[0], 0.5f, 1e-6f);
    EXPECT_NEAR(hann[1], 1.0f, 1e-6f);
    EXPECT_NEAR(hann[2], 0.5f, 1e-6f);
    std::vector<float> w(64, 0.0f);
    MakeWindow(w.data(), 64, kWindowRectangular);
    EXPECT_EQ(w, std::vector<float>(64, 1.0f));
    MakeWindow(w.data(), 64, kWindowBlackman);
    // 0.42 in single precision makes the ends a hair below zero.
    EXPECT_LT(w[0], 0.0f);
    EXPECT_NEAR(w[63], 0.0f, 1e-6f);
    EXPECT_NEAR(w[31], 1.0f, 2e-3f);
}

TEST(MakeWindowDeathTest, BadLengthWritesNothingAndUnknownTypeEndsTheProcess) {
    float w[4] = {5.0f, 6.0f, 7.0f, 8.0f};
    MakeWindow(w, 0, kWindowHamming);
    MakeWindow(w, -3, kWindowBlackman);
    EXPECT_EQ(w[0], 5.0f);
    EXPECT_EXIT(MakeWindow(w, 4, 2u), ::testing::ExitedWithCode(1), "Unknown window type");
    EXPECT_EXIT(MakeWindow(w, 0, 5u), ::testing::ExitedWithCode(1), "Unknown window type");
}

}  // namespace
}  // namespace melvora

#include "analysis/window_function.h"

#include <gtest/gtest.h>

#include <vector>

namespace melvora {
namespace {

// Hamming of the default frame is symmetric with ends at 0.08; the other types at their
// known points; a bad length writes nothing and an unknown type ends the process.
TEST(MakeWindowDeathTest, ValuesOfEachTypeAndBadArguments) {
    const int n = 1764;
    std::vector<float> w(n, -1.0f);
    MakeWindow(w.data(), n, kWindowHamming);
    EXPECT_NEAR(w[0], 0.08f, 1e-6f);
    for (int i = 0; i < n / 2; ++i) {
        ASSERT_NEAR(w[i], w[n - 1 - i], 2e-6f) << i;
        ASSERT_LE(w[i], 1.0f + 1e-6f) << i;
    }
    EXPECT_NEAR(w[n / 2 - 1], 1.0f, 1e-5f);
    MakeWindow(w.data(), 3, kWindowHannNoZeroEnds);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(w[i], i == 1 ? 1.0f : 0.5f, 1e-6f);
    }
    MakeWindow(w.data(), 64, kWindowRectangular);
    EXPECT_EQ(std::vector<float>(w.begin(), w.begin() + 64), std::vector<float>(64, 1.0f));
    MakeWindow(w.data(), 64, kWindowBlackman);
    // 0.42 in single precision makes the ends a hair below zero.
    EXPECT_LT(w[0], 0.0f);
    EXPECT_NEAR(w[63], 0.0f, 1e-6f);
    EXPECT_NEAR(w[31], 1.0f, 2e-3f);
    MakeWindow(w.data(), 0, kWindowHamming);
    MakeWindow(w.data(), -3, kWindowBlackman);
    EXPECT_LT(w[0], 0.0f);
    EXPECT_EXIT(MakeWindow(w.data(), 4, 2u), ::testing::ExitedWithCode(1), "Unknown window type");
    EXPECT_EXIT(MakeWindow(w.data(), 0, 5u), ::testing::ExitedWithCode(1), "Unknown window type");
}

}  // namespace
}  // namespace melvora

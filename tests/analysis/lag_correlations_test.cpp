#include "analysis/lag_correlations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace melvora {
namespace {

// Every lag's sum, whichever kernel forms it, is bit for bit Dot's.
TEST(LagCorrelations, RangeEqualsDotAtEveryLagAndTiesGoToTheShorterLag) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> sample(-30000.0f, 30000.0f);
    for (int length : {0, 1, 5, 8, 11, 17, 64, 353, 1764}) {
        std::vector<double> x(static_cast<size_t>(length));
        for (double& v : x) {
            v = sample(random);
        }
        LagCorrelations sums;
        sums.Configure(length);
        sums.Attach(x.data(), length);
        const double* r = sums.Range(0, length);
        for (int lag = 0; lag <= length; ++lag) {
            ASSERT_EQ(r[lag], LagCorrelations::Dot(x.data(), x.data() + lag, length - lag))
                << length << " " << lag;
        }
    }
    // Equal sums go to the shorter lag; nothing above the floor gives -1.
    std::vector<double> x(40, 0.0);
    x[0] = x[5] = x[12] = 1.0;  // lags 5, 7 and 12 each sum to 1
    LagCorrelations sums;
    sums.Configure(40);
    sums.Attach(x.data(), 40);
    double best = 0.0;
    EXPECT_EQ(sums.BestLag(1, 30, 1.0 / 40, -1e10, &best), 5);
    EXPECT_EQ(best, 1.0 / 40);
    EXPECT_EQ(sums.BestLag(6, 30, 1.0 / 40, -1e10, &best), 7);
    best = 42.0;
    EXPECT_EQ(sums.BestLag(13, 30, 1.0, 0.5, &best), -1);
    EXPECT_EQ(best, 42.0);
}

// Voice-like frames (harmonics, noise, single-precision values as the filter leaves them):
// the screened search finds the lag and value of a plain walk over every exact sum (strictly
// greater replaces), for wide and narrow ranges.
TEST(LagCorrelations, ScreenedSearchMatchesTheWalk) {
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 1.0);
    for (int trial = 0; trial < 200; ++trial) {
        const int length = trial % 2 == 0 ? 1764 : 353;
        const double period = 20.0 + trial * 1.37;
        const double noiseLevel = (trial % 5) * 500.0;
        std::vector<double> x(static_cast<size_t>(length));
        for (int i = 0; i < length; ++i) {
            const double phase = 2.0 * M_PI * i / period;
            x[i] = static_cast<float>(8000.0 * std::sin(phase) + 3000.0 * std::sin(2.0 * phase) +
                                      noiseLevel * noise(random));
        }
        LagCorrelations sums;
        sums.Configure(length);
        sums.Attach(x.data(), length);
        const int ranges[][2] = {{30, 220}, {7, 36}, {2, 4}, {150, 420}, {0, length}};
        for (const auto& range : ranges) {
            const int last = std::min(range[1], length);
            double want = -1e10;
            int expected = -1;
            for (int lag = range[0]; lag <= last; ++lag) {
                const double value =
                    LagCorrelations::Dot(x.data(), x.data() + lag, length - lag) * (1.0 / length);
                expected = value > want ? lag : expected;
                want = std::max(want, value);
            }
            double got = 0.0;
            ASSERT_EQ(sums.BestLag(range[0], last, 1.0 / length, -1e10, &got), expected)
                << trial << " " << range[0];
            ASSERT_EQ(got, want);
        }
    }
}

}  // namespace
}  // namespace melvora

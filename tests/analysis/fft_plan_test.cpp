#include "analysis/complex_fft.h"
#include "analysis/fft_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace melvora {
namespace {

// The textbook O(n^2) transform in long double, as the reference.
std::vector<double> DirectDft(const std::vector<double>& x, int sign) {
    const int n = static_cast<int>(x.size() / 2);
    const long double pi = 3.141592653589793238462643383279L;
    std::vector<long double> cosine(n);
    std::vector<long double> sine(n);
    for (int q = 0; q < n; ++q) {
        cosine[q] = std::cos(2.0L * pi * q / n);
        sine[q] = sign * std::sin(2.0L * pi * q / n);
    }
    std::vector<double> out(x.size());
    for (int k = 0; k < n; ++k) {
        long double re = 0.0L;
        long double im = 0.0L;
        for (int j = 0; j < n; ++j) {
            // jk mod n keeps the angle exact for large products.
            const int q = static_cast<int>((static_cast<long long>(j) * k) % n);
            re += x[2 * j] * cosine[q] - x[2 * j + 1] * sine[q];
            im += x[2 * j] * sine[q] + x[2 * j + 1] * cosine[q];
        }
        out[2 * k] = static_cast<double>(re);
        out[2 * k + 1] = static_cast<double>(im);
    }
    return out;
}

// Largest error relative to the largest magnitude of the reference.
double RelativeError(const std::vector<double>& got, const std::vector<double>& want) {
    double largest = 0.0;
    double error = 0.0;
    for (size_t i = 0; i < want.size(); i += 2) {
        largest = std::max(largest, std::hypot(want[i], want[i + 1]));
        error = std::max(error, std::hypot(got[i] - want[i], got[i + 1] - want[i + 1]));
    }
    return largest > 0.0 ? error / largest : error;
}

class FftAgainstDft : public ::testing::TestWithParam<int> {};

TEST_P(FftAgainstDft, ForwardAndBackwardMatchTheDirectSum) {
    const int n = GetParam();
    std::mt19937 random(1234u + static_cast<unsigned>(n));
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> x(2 * static_cast<size_t>(n));
    for (double& v : x) {
        v = value(random);
    }
    FftPlan plan;
    ASSERT_TRUE(plan.Configure(n));
    for (int sign : {-1, 1}) {
        std::vector<double> got = x;
        plan.Transform(got.data(), sign);
        EXPECT_LT(RelativeError(got, DirectDft(x, sign)), 1e-9) << "n=" << n << " sign=" << sign;
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, FftAgainstDft,
                         ::testing::Values(1, 2, 3, 4, 5, 7, 12, 49, 77, 360, 1000, 1024, 1331,
                                           2048, 2310, 4096));

// The half-length transform of a real signal gives the same power spectrum as the full
// complex transform with zero imaginary parts.
class RealPowerSpectrum : public ::testing::TestWithParam<int> {};

TEST_P(RealPowerSpectrum, MatchesTheFullComplexTransform) {
    const int m = GetParam();
    std::mt19937 random(77u + static_cast<unsigned>(m));
    std::uniform_real_distribution<float> value(-30000.0f, 30000.0f);
    std::vector<float> real(static_cast<size_t>(m));
    std::vector<double> complex(2 * static_cast<size_t>(m), 0.0);
    for (int i = 0; i < m; ++i) {
        real[i] = value(random);
        complex[2 * i] = real[i];
    }
    FftPlan full;
    ASSERT_TRUE(full.Configure(m));
    full.Transform(complex.data(), -1);
    FftPlan half;
    ASSERT_TRUE(half.Configure(m / 2));
    std::vector<double> power(static_cast<size_t>(m / 2 + 1), -1.0);
    half.RealPowerSpectrum(real.data(), power.data());
    double largest = 0.0;
    for (int k = 0; k <= m / 2; ++k) {
        largest = std::max(
            largest, complex[2 * k] * complex[2 * k] + complex[2 * k + 1] * complex[2 * k + 1]);
    }
    for (int k = 0; k <= m / 2; ++k) {
        const double want =
            complex[2 * k] * complex[2 * k] + complex[2 * k + 1] * complex[2 * k + 1];
        ASSERT_NEAR(power[k], want, 1e-12 * largest) << "bin " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, RealPowerSpectrum, ::testing::Values(2, 6, 24, 1024, 2048, 4096));

TEST(FftPlan, FactorsInTheTrialOrderWithTwoInFront) {
    FftPlan plan;
    ASSERT_TRUE(plan.Configure(2048));
    EXPECT_EQ(plan.Factors(), (std::vector<int>{2, 4, 4, 4, 4, 4}));
    ASSERT_TRUE(plan.Configure(1024));
    EXPECT_EQ(plan.Factors(), (std::vector<int>{4, 4, 4, 4, 4}));
    ASSERT_TRUE(plan.Configure(360));  // 3 3 4 2 5 with the 2 moved to the front
    EXPECT_EQ(plan.Factors(), (std::vector<int>{2, 3, 3, 4, 5}));
    ASSERT_TRUE(plan.Configure(1331));
    EXPECT_EQ(plan.Factors(), (std::vector<int>{11, 11, 11}));
    ASSERT_TRUE(plan.Configure(2 * 13 * 13));
    EXPECT_EQ(plan.Factors(), (std::vector<int>{2, 13, 13}));
}

TEST(FftPlan, RejectsNonPositiveLengthsAndLeavesDataAlone) {
    FftPlan plan;
    EXPECT_FALSE(plan.Configure(0));
    EXPECT_FALSE(plan.Configure(-8));
    float data[2] = {3.0f, 4.0f};
    plan.Transform(data, -1);
    EXPECT_EQ(data[0], 3.0f);
    EXPECT_EQ(data[1], 4.0f);
}

TEST(ComplexFft, ImpulseGivesOneInEveryBin) {
    const int n = 2048;
    std::vector<float> data(2 * n, 0.0f);
    data[0] = 1.0f;
    ComplexFft(data.data(), n, -1);
    for (int k = 0; k < n; ++k) {
        ASSERT_NEAR(data[2 * k], 1.0f, 1e-6f) << k;
        ASSERT_NEAR(data[2 * k + 1], 0.0f, 1e-6f) << k;
    }
}

TEST(ComplexFft, ConstantGivesNInBinZeroOnly) {
    const int n = 1000;
    std::vector<float> data(2 * n, 0.0f);
    for (int i = 0; i < n; ++i) {
        data[2 * i] = 1.0f;
    }
    ComplexFft(data.data(), n, -1);
    EXPECT_NEAR(data[0], 1000.0f, 1e-3f);
    for (int k = 1; k < n; ++k) {
        ASSERT_NEAR(std::hypot(data[2 * k], data[2 * k + 1]), 0.0f, 1e-4f) << k;
    }
}

TEST(ComplexFft, ForwardThenBackwardScalesByN) {
    const int n = 360;
    std::vector<float> data(2 * n);
    for (int i = 0; i < 2 * n; ++i) {
        data[i] = static_cast<float>(std::sin(0.37 * i) * 100.0);
    }
    const std::vector<float> original = data;
    ComplexFft(data.data(), n, -1);
    ComplexFft(data.data(), n, 7);  // any sign but -1 is backward
    for (int i = 0; i < 2 * n; ++i) {
        ASSERT_NEAR(data[i], original[i] * n, 1e-2f) << i;
    }
}

TEST(ComplexFft, LengthOneAndZeroLeaveDataUnchanged) {
    float one[2] = {2.5f, -1.5f};
    ComplexFft(one, 1, -1);
    EXPECT_EQ(one[0], 2.5f);
    EXPECT_EQ(one[1], -1.5f);
    float none[2] = {7.0f, 8.0f};
    ComplexFft(none, 0, -1);
    EXPECT_EQ(none[0], 7.0f);
    EXPECT_EQ(none[1], 8.0f);
}

TEST(ComplexFft, SineLandsInItsBinAtFullPrecisionOfFloat) {
    const int n = 1024;
    std::vector<float> data(2 * n, 0.0f);
    for (int i = 0; i < n; ++i) {
        data[2 * i] = static_cast<float>(std::cos(2.0 * M_PI * 37.0 * i / n));
    }
    ComplexFft(data.data(), n, -1);
    EXPECT_NEAR(data[2 * 37], 512.0f, 1e-3f);
    EXPECT_NEAR(data[2 * (n - 37)], 512.0f, 1e-3f);
    EXPECT_NEAR(data[2 * 36], 0.0f, 1e-3f);
}

}  // namespace
}  // namespace melvora

#include "analysis/complex_fft.h"
#include "analysis/fft_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace melvora {
namespace {

// The textbook O(n^2) transform in long double, as the reference.
std::vector<double> DirectDft(const std::vector<double>& x, int sign) {
    const int n = static_cast<int>(x.size() / 2);
    std::vector<std::complex<long double>> twiddle(n);
    for (int q = 0; q < n; ++q) {
        twiddle[q] = std::polar(1.0L, sign * 2.0L * 3.141592653589793238462643383279L * q / n);
    }
    std::vector<double> out(x.size());
    for (int k = 0; k < n; ++k) {
        std::complex<long double> sum = 0.0L;
        for (int j = 0; j < n; ++j) {
            // jk mod n keeps the angle exact for large products.
            sum += std::complex<long double>(x[2 * j], x[2 * j + 1]) *
                   twiddle[static_cast<size_t>((static_cast<long long>(j) * k) % n)];
        }
        out[2 * k] = static_cast<double>(sum.real());
        out[2 * k + 1] = static_cast<double>(sum.imag());
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

// The prepared plan in double, and the one-shot single-precision transform (any sign but -1
// is backward); for even lengths the real power spectrum of the half-length plan too.
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
        const std::vector<double> want = DirectDft(x, sign);
        std::vector<double> got = x;
        plan.Transform(got.data(), sign);
        EXPECT_LT(RelativeError(got, want), 1e-9) << "n=" << n << " sign=" << sign;
        std::vector<float> single(x.begin(), x.end());
        ComplexFft(single.data(), n, sign == -1 ? -1 : 7);
        EXPECT_LT(RelativeError(std::vector<double>(single.begin(), single.end()), want), 2e-6)
            << "n=" << n << " sign=" << sign;
    }
    if (n % 2 != 0) {
        return;
    }
    // The half-length transform of a real signal gives the power spectrum of the full one.
    std::vector<float> real(static_cast<size_t>(n));
    std::vector<double> complex(x.size(), 0.0);
    for (int i = 0; i < n; ++i) {
        complex[2 * i] = real[i] = static_cast<float>(30000.0 * x[2 * i]);
    }
    const std::vector<double> want = DirectDft(complex, -1);
    FftPlan half;
    ASSERT_TRUE(half.Configure(n / 2));
    std::vector<double> power(static_cast<size_t>(n / 2 + 1), -1.0);
    half.RealPowerSpectrum(real.data(), power.data());
    std::vector<double> wantPower(power.size());
    for (size_t k = 0; k < power.size(); ++k) {
        wantPower[k] = want[2 * k] * want[2 * k] + want[2 * k + 1] * want[2 * k + 1];
    }
    const double largest = *std::max_element(wantPower.begin(), wantPower.end());
    for (size_t k = 0; k < power.size(); ++k) {
        ASSERT_NEAR(power[k], wantPower[k], 1e-12 * largest) << "n=" << n << " bin " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, FftAgainstDft,
                         ::testing::Values(1, 2, 3, 4, 5, 6, 7, 12, 24, 49, 77, 360, 1000, 1024,
                                           1331, 2048, 2310, 4096));

TEST(FftPlan, NonPositiveAndZeroLengthsLeaveDataAlone) {
    FftPlan plan;
    EXPECT_FALSE(plan.Configure(0));
    EXPECT_FALSE(plan.Configure(-8));
    float data[2] = {3.0f, 4.0f};
    plan.Transform(data, -1);
    ComplexFft(data, 0, -1);
    ComplexFft(data, -4, 1);
    EXPECT_EQ(data[0], 3.0f);
    EXPECT_EQ(data[1], 4.0f);
}

}  // namespace
}  // namespace melvora

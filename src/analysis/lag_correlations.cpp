#include "analysis/lag_correlations.h"

#include <algorithm>
#include <cstring>

#include "analysis/processor_variants.h"

// The correlations are most of the engine's work; their loops have processor variants, and
// the single-precision screen a 512-bit one of its own.
#if defined(MELVORA_PROCESSOR_VARIANTS)
#include <immintrin.h>
#endif

namespace melvora {

namespace {

// Zeros after the single-precision copy: one vector (of up to 16) and the three further lags.
constexpr size_t kSinglePadding = 32;

#if defined(__GNUC__)
// Four doubles as one value; the compiler maps it to whatever vector registers it may use.
typedef double Lanes4 __attribute__((vector_size(32)));
// The same, read from any double: no alignment beyond a double's is assumed.
typedef double UnalignedLanes4 __attribute__((vector_size(32), aligned(8), may_alias));
#define Load4(p) (*reinterpret_cast<const UnalignedLanes4*>(p))

// The sums of lags lag..lag+3 at once: each value of x[i] is loaded once for four products.
// Lane k of lo/hi holds Dot's partial sum k (k + 4 for hi), so every sum rounds as Dot's.
MELVORA_AVX2_VARIANTS void FourLags(const double* x, int length, int lag, double* out) {
    // Named accumulators, not arrays, so that all eight stay in registers.
    Lanes4 lo0 = {0.0, 0.0, 0.0, 0.0};
    Lanes4 lo1 = lo0;
    Lanes4 lo2 = lo0;
    Lanes4 lo3 = lo0;
    Lanes4 hi0 = lo0;
    Lanes4 hi1 = lo0;
    Lanes4 hi2 = lo0;
    Lanes4 hi3 = lo0;
    const double* b = x + lag;
    const int shortest = length - lag - 3;
    int i = 0;
    for (; i + 8 <= shortest; i += 8) {
        const Lanes4 aLo = Load4(x + i);
        const Lanes4 aHi = Load4(x + i + 4);
        lo0 += aLo * Load4(b + i);
        hi0 += aHi * Load4(b + i + 4);
        lo1 += aLo * Load4(b + i + 1);
        hi1 += aHi * Load4(b + i + 5);
        lo2 += aLo * Load4(b + i + 2);
        hi2 += aHi * Load4(b + i + 6);
        lo3 += aLo * Load4(b + i + 3);
        hi3 += aHi * Load4(b + i + 7);
    }
    const Lanes4 lows[4] = {lo0, lo1, lo2, lo3};
    const Lanes4 highs[4] = {hi0, hi1, hi2, hi3};
    for (int j = 0; j < 4; ++j) {
        // The longer lags may have one more whole group of eight, then the remainder.
        const int count = length - lag - j;
        const double* bj = b + j;
        Lanes4 l = lows[j];
        Lanes4 h = highs[j];
        int k = i;
        for (; k + 8 <= count; k += 8) {
            l += Load4(x + k) * Load4(bj + k);
            h += Load4(x + k + 4) * Load4(bj + k + 4);
        }
        double tail = 0.0;
        for (; k < count; ++k) {
            tail += x[k] * bj[k];
        }
        out[j] = ((l[0] + l[1]) + (l[2] + l[3])) + ((h[0] + h[1]) + (h[2] + h[3])) + tail;
    }
}
// The vector sums of lags lag..lag+3 of x for the single-precision screen, one product per
// lane: sums[j] holds the lanes of lag + j. Lanes is a vector of floats; x must be
// followed by kSinglePadding zeros, so that the shorter lags run whole vectors too, their
// extra products being 0. Inlined, so that the loop is built for each caller's target.
template <typename Lanes>
__attribute__((always_inline)) inline void SumFourLagsSingle(const float* x, int length, int lag,
                                                             Lanes* sums) {
    constexpr int kLanes = static_cast<int>(sizeof(Lanes) / sizeof(float));
    typedef float UnalignedLanes __attribute__((vector_size(sizeof(Lanes)), aligned(4), may_alias));
#define LoadLanes(p) (*reinterpret_cast<const UnalignedLanes*>(p))
    // Named accumulators, not an array, so that all four stay in registers.
    Lanes s0 = {};
    Lanes s1 = s0;
    Lanes s2 = s0;
    Lanes s3 = s0;
    const float* b = x + lag;
    const int count = length - lag;
    for (int i = 0; i < count; i += kLanes) {
        const Lanes a = LoadLanes(x + i);
        s0 += a * LoadLanes(b + i);
        s1 += a * LoadLanes(b + i + 1);
        s2 += a * LoadLanes(b + i + 2);
        s3 += a * LoadLanes(b + i + 3);
    }
#undef LoadLanes
    sums[0] = s0;
    sums[1] = s1;
    sums[2] = s2;
    sums[3] = s3;
}

// Single-precision sums of lags lag..lag+3 of x, eight products per vector. Only an estimate:
// BestLag bounds its error. x must be followed by kSinglePadding zeros.
MELVORA_AVX2_VARIANTS void FourLagsSingle(const float* x, int length, int lag, float* out) {
    typedef float Lanes8 __attribute__((vector_size(32)));
    Lanes8 sums[4];
    SumFourLagsSingle(x, length, lag, sums);
    for (int j = 0; j < 4; ++j) {
        const Lanes8& v = sums[j];
        out[j] = ((v[0] + v[4]) + (v[1] + v[5])) + ((v[2] + v[6]) + (v[3] + v[7]));
    }
}

#if defined(MELVORA_PROCESSOR_VARIANTS)
// The screen on processors with 512-bit vectors, sixteen products at a time. It is only an
// estimate, so its products are fused into the sums (explicitly: contraction is off for this
// file): they round less, within the same bound.
__attribute__((target("avx512f"))) void FourLagsSingleWide(const float* x, int length, int lag,
                                                           float* out) {
    __m512 s0 = _mm512_setzero_ps();
    __m512 s1 = s0;
    __m512 s2 = s0;
    __m512 s3 = s0;
    const float* b = x + lag;
    const int count = length - lag;
    for (int i = 0; i < count; i += 16) {
        const __m512 a = _mm512_loadu_ps(x + i);
        s0 = _mm512_fmadd_ps(a, _mm512_loadu_ps(b + i), s0);
        s1 = _mm512_fmadd_ps(a, _mm512_loadu_ps(b + i + 1), s1);
        s2 = _mm512_fmadd_ps(a, _mm512_loadu_ps(b + i + 2), s2);
        s3 = _mm512_fmadd_ps(a, _mm512_loadu_ps(b + i + 3), s3);
    }
    // The four totals by halving, all four at once: [s0 | s1] and [s2 | s3] in eights, then
    // [s0 s1 s2 s3] in fours, twos and ones (the order of a tree; the bound allows any).
    typedef int Mask16 __attribute__((vector_size(64)));
    const Mask16 lowEights = {0, 1, 2, 3, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21, 22, 23};
    const Mask16 highEights = {8, 9, 10, 11, 12, 13, 14, 15, 24, 25, 26, 27, 28, 29, 30, 31};
    const __m512 s01 = __builtin_shuffle(s0, s1, lowEights) + __builtin_shuffle(s0, s1, highEights);
    const __m512 s23 = __builtin_shuffle(s2, s3, lowEights) + __builtin_shuffle(s2, s3, highEights);
    const Mask16 lowFours = {0, 1, 2, 3, 8, 9, 10, 11, 16, 17, 18, 19, 24, 25, 26, 27};
    const Mask16 highFours = {4, 5, 6, 7, 12, 13, 14, 15, 20, 21, 22, 23, 28, 29, 30, 31};
    const __m512 fours =
        __builtin_shuffle(s01, s23, lowFours) + __builtin_shuffle(s01, s23, highFours);
    const Mask16 evens = {0, 2, 4, 6, 8, 10, 12, 14, 0, 2, 4, 6, 8, 10, 12, 14};
    const Mask16 odds = {1, 3, 5, 7, 9, 11, 13, 15, 1, 3, 5, 7, 9, 11, 13, 15};
    const __m512 twos = __builtin_shuffle(fours, evens) + __builtin_shuffle(fours, odds);
    const __m512 ones = __builtin_shuffle(twos, evens) + __builtin_shuffle(twos, odds);
    for (int j = 0; j < 4; ++j) {
        out[j] = ones[j];
    }
}
#endif
#else
void FourLagsSingle(const float* x, int length, int lag, float* out) {
    for (int j = 0; j < 4; ++j) {
        float total = 0.0f;
        for (int i = 0; i + lag + j < length; ++i) {
            total += x[i] * x[i + lag + j];
        }
        out[j] = total;
    }
}

void FourLags(const double* x, int length, int lag, double* out) {
    for (int j = 0; j < 4; ++j) {
        out[j] = LagCorrelations::Dot(x, x + lag + j, length - lag - j);
    }
}
#endif

}  // namespace

MELVORA_AVX2_VARIANTS double LagCorrelations::Dot(const double* a, const double* b, int count) {
    double s[8] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        for (int k = 0; k < 8; ++k) {
            s[k] += a[i + k] * b[i + k];
        }
    }
    double tail = 0.0;
    for (; i < count; ++i) {
        tail += a[i] * b[i];
    }
    return ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7])) + tail;
}

void LagCorrelations::Configure(int maximumLag) {
    const size_t size = static_cast<size_t>(std::max(maximumLag, 0)) + 1;
    sums_.assign(size, 0.0);
    stamps_.assign(size, 0u);
    single_.assign(size + kSinglePadding, 0.0f);
    screened_.assign(size + 3, 0.0f);
    generation_ = 1;
    x_ = nullptr;
    length_ = 0;
}

void LagCorrelations::Attach(const double* x, int length) {
    x_ = x;
    length_ = length;
    if (static_cast<size_t>(length) + kSinglePadding <= single_.size()) {
        for (int i = 0; i < length; ++i) {
            single_[i] = static_cast<float>(x[i]);
        }
        std::fill(single_.begin() + length, single_.begin() + length + kSinglePadding, 0.0f);
    }
    if (++generation_ == 0) {
        // After 2^32 signals the stamps could match again: start them afresh.
        std::fill(stamps_.begin(), stamps_.end(), 0u);
        generation_ = 1;
    }
}

const double* LagCorrelations::Range(int first, int last) {
    int lag = first;
    while (lag <= last) {
        if (stamps_[lag] == generation_) {
            ++lag;
            continue;
        }
        int runEnd = lag;
        while (runEnd < last && stamps_[runEnd + 1] != generation_) {
            ++runEnd;
        }
        for (; lag + 3 <= runEnd; lag += 4) {
            FourLags(x_, length_, lag, &sums_[lag]);
            stamps_[lag] = stamps_[lag + 1] = stamps_[lag + 2] = stamps_[lag + 3] = generation_;
        }
        for (; lag <= runEnd; ++lag) {
            sums_[lag] = Dot(x_, x_ + lag, length_ - lag);
            stamps_[lag] = generation_;
        }
    }
    return sums_.data() + first;
}

int LagCorrelations::BestLag(int first, int last, double scale, double above, double* best) {
    const int lags = last - first + 1;
    const double energy = Energy();
    // The screen needs the signal in single precision and a finite energy to bound by.
    // A nearly silent signal (the dither alone) would underflow in single precision and
    // leave every lag a candidate: it is summed exactly straight away.
    const bool screen = lags > 2 &&
                        static_cast<size_t>(length_) + kSinglePadding <= single_.size() &&
                        energy > 1e-20 * length_ && energy < 1e30;
    double floor = -1.0;  // sums below this cannot win
    if (screen) {
        const float* x = single_.data();
        float* estimate = screened_.data();
#if defined(MELVORA_PROCESSOR_VARIANTS)
        static const bool wide = __builtin_cpu_supports("avx512f");
        if (wide) {
            for (int lag = first; lag <= last; lag += 4) {
                FourLagsSingleWide(x, length_, lag, estimate + (lag - first));
            }
        } else
#endif
        {
            for (int lag = first; lag <= last; lag += 4) {
                FourLagsSingle(x, length_, lag, estimate + (lag - first));
            }
        }
        float largest = estimate[0];
        for (int i = 1; i < lags; ++i) {
            largest = std::max(largest, estimate[i]);
        }
        // Any sum of products of the signal with itself shifted is at most the energy
        // (Cauchy-Schwarz), so the single-precision sums of at most `length` terms, with the
        // rounding of the signal to single precision, err by less than 2 length u energy,
        // u = 2^-24, plus 2^-149 per product for underflow; the exact double sums by far less
        // (1e-12 energy covers them). The winner's exact sum is at least largest - bound; a
        // lag whose estimate is below largest - 2 bound - margin has an exact sum below the
        // winner's by more than margin = 1e-9 energy, so that scaled they cannot even tie.
        // (length + 32 also covers the roundings of the lane tree and of the sixteen-lane
        // total on very short signals.)
        const double n = static_cast<double>(length_) + 32.0;
        const double bound = (2.0 * n * 5.9604644775390625e-08 + 1e-12) * energy * 1.000001 +
                             2.0 * n * 1.401298464324817e-45;
        floor = static_cast<double>(largest) - 2.0 * bound - 1e-9 * energy;
    }
    int bestLag = -1;
    double bestValue = above;
    int lag = first;
    while (lag <= last) {
        if (screen && static_cast<double>(screened_[lag - first]) < floor) {
            ++lag;
            continue;
        }
        // A run of candidates is summed exactly at once.
        int runEnd = lag;
        while (runEnd < last &&
               (!screen || static_cast<double>(screened_[runEnd + 1 - first]) >= floor)) {
            ++runEnd;
        }
        const double* sums = Range(lag, runEnd);
        for (int l = lag; l <= runEnd; ++l) {
            const double value = sums[l - lag] * scale;
            if (value > bestValue) {
                bestValue = value;
                bestLag = l;
            }
        }
        lag = runEnd + 1;
    }
    if (bestLag >= 0) {
        *best = bestValue;
    }
    return bestLag;
}

}  // namespace melvora

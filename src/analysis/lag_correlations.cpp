#include "analysis/lag_correlations.h"

#include <algorithm>
#include <cstring>

namespace melvora {

namespace {

// The correlations are most of the engine's work. On 64-bit Linux with GCC the loops are also
// built for AVX2 (without fused multiply-add, so every product and sum rounds as in the
// portable build) and the loader picks the variant the processor runs; elsewhere they stay
// within SSE2. Sanitizer runtimes are not ready when the loader resolves the variants, so
// sanitized builds keep the portable loops only.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__) && \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
#define MELVORA_HOT_LOOP_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MELVORA_HOT_LOOP_CLONES
#endif

#if defined(__GNUC__)
// Four doubles as one value; the compiler maps it to whatever vector registers it may use.
typedef double Lanes4 __attribute__((vector_size(32)));
// The same, read from any double: no alignment beyond a double's is assumed.
typedef double UnalignedLanes4 __attribute__((vector_size(32), aligned(8), may_alias));
#define Load4(p) (*reinterpret_cast<const UnalignedLanes4*>(p))

// The sums of lags lag..lag+3 at once: each value of x[i] is loaded once for four products.
// Lane k of lo/hi holds Dot's partial sum k (k + 4 for hi), so every sum rounds as Dot's.
MELVORA_HOT_LOOP_CLONES void FourLags(const double* x, int length, int lag, double* out) {
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
#else
void FourLags(const double* x, int length, int lag, double* out) {
    for (int j = 0; j < 4; ++j) {
        out[j] = LagCorrelations::Dot(x, x + lag + j, length - lag - j);
    }
}
#endif

}  // namespace

MELVORA_HOT_LOOP_CLONES double LagCorrelations::Dot(const double* a, const double* b, int count) {
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
    generation_ = 1;
    x_ = nullptr;
    length_ = 0;
}

void LagCorrelations::Attach(const double* x, int length) {
    x_ = x;
    length_ = length;
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

}  // namespace melvora

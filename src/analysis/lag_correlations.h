#pragma once

#include <cstdint>
#include <vector>

namespace melvora {

// Autocorrelation sums of one signal, sum of x[i] x[i + lag] for i < length - lag, each lag
// computed at most once per signal: the four band trackers search overlapping lag ranges of
// the same low-passed frame and need its energy (lag 0) each. Every sum is formed exactly as
// Dot forms it, whichever routine computes it, so the trackers' decisions do not depend on
// which band asked first.
class LagCorrelations {
  public:
    // Sum of a[i] b[i], i < count, in eight interleaved partial sums (i modulo 8) joined
    // pairwise, then the remainder summed in order: the loop vectorises without reordering
    // any one partial sum.
    static double Dot(const double* a, const double* b, int count);

    // Makes room for lags 0..maximumLag (allocates; not on the per-block path).
    void Configure(int maximumLag);

    // A new signal of `length` values (the caller keeps it unchanged until the next Attach):
    // every sum is forgotten. length must not exceed the configured lag range + 1 by more
    // than the sums asked for allow: lags above length are not asked for.
    void Attach(const double* x, int length);

    int Length() const { return length_; }

    // The sums for lags first..last (0 <= first, last <= the configured maximum and the
    // length); returns sums + first, so that result[lag - first] is the lag's sum.
    const double* Range(int first, int last);

    // The sum at lag 0: the signal's energy.
    double Energy() { return *Range(0, 0); }

    // The lag within first..last (first <= last) whose sum x scale (scale > 0) is largest and
    // above `above`, the shorter lag on a tie, as a walk over every lag's exact sum would find
    // it; *best gets that value. -1 (and *best untouched) when no lag is above `above`. The lags
    // are screened in single precision first, and only those whose screened sum lies within the
    // screen's proven error bound of the largest are summed exactly: a lag left out is below the
    // winner by more than any rounding could close.
    int BestLag(int first, int last, double scale, double above, double* best);

  private:
    const double* x_ = nullptr;
    int length_ = 0;
    uint32_t generation_ = 1;
    std::vector<double> sums_;
    std::vector<uint32_t> stamps_;  // generation_ where sums_ holds this signal's sum
    std::vector<float> single_;     // the signal in single precision, for the screen
    std::vector<float> screened_;   // screened sums by lag
};

}  // namespace melvora

#pragma once

#include <vector>

namespace melvora {

// A prepared mixed-radix complex FFT of one length: the factor list, the twiddle table and
// the work arrays are built by Configure, so Transform allocates nothing and can run once
// per block. All arithmetic is in double precision. The transform is unscaled: forward then
// backward multiplies the data by n.
//
// Factorisation: trial factors 3, 4, 2, 5, then 7, 9, 11, ... each divided out as often as it
// divides; a factor 2 found after others moves to the front (2048 -> 2 4 4 4 4 4). Radix 2, 3,
// 4 and 5 have their own butterflies, any other odd factor uses the general pass.
class FftPlan {
  public:
    FftPlan() = default;

    // Prepares the transform of n complex values. Returns false (and leaves an empty plan)
    // for n < 1.
    bool Configure(int n);

    int Size() const { return size_; }
    const std::vector<int>& Factors() const { return factors_; }

    // In place on n complex values stored as 2n floats, real part first. sign == -1 is the
    // forward transform exp(-2 pi i jk/n); any other value the backward one. The values are
    // widened to double for the arithmetic and rounded back at the end.
    void Transform(float* data, int sign);

    // The same on 2n doubles; no rounding to single precision anywhere.
    void Transform(double* data, int sign);

    // Power spectrum of the forward transform of 2n real values: power[k] = |X[k]|^2 for
    // k = 0..n (the rest mirrors it). One transform of n points does the work of one of 2n:
    // the even samples go in as real parts, the odd ones as imaginary parts, and the two
    // interleaved spectra are separated afterwards.
    void RealPowerSpectrum(const float* real, double* power);

    // The same for the bins first..last only (0 <= first, last <= n); the other entries of
    // power are left alone. A caller that sums a band of the spectrum needs no more.
    void RealPowerSpectrum(const float* real, double* power, int first, int last);

  private:
    struct Complex {
        double re;
        double im;
    };
    struct Stage {
        int radix;
        int l1;             // product of the earlier factors
        int ido;            // n / (l1 * radix)
        int twiddleOffset;  // first entry of this stage in twiddles_
        int rootOffset;     // first entry of this stage's roots (general radix only)
    };

    // Copies interleaved pairs in, runs the stages and copies the result back.
    template <typename Sample>
    void TransformInterleaved(Sample* data, int sign);

    // Runs every stage; returns the buffer that holds the result (buffers_[0] or [1]).
    Complex* Run(bool forward);
    void Pass2(const Stage& s, const Complex* cc, Complex* ch, bool forward) const;
    void Pass3(const Stage& s, const Complex* cc, Complex* ch, bool forward) const;
    void Pass4(const Stage& s, const Complex* cc, Complex* ch, bool forward) const;
    void Pass5(const Stage& s, const Complex* cc, Complex* ch, bool forward) const;
    void PassOdd(const Stage& s, const Complex* cc, Complex* ch, bool forward);

    int size_ = 0;
    std::vector<int> factors_;
    std::vector<Stage> stages_;
    // exp(+2 pi i f j l1 / n) for each stage, j = 1..radix-1, f = 0..ido-1; the forward
    // transform uses the conjugates.
    std::vector<Complex> twiddles_;
    std::vector<Complex> conjugateTwiddles_;  // the same for the forward direction
    // exp(+2 pi i q / radix), q = 0..radix-1, for stages of the general pass.
    std::vector<Complex> roots_;
    // exp(-2 pi i k / 2n), k = 0..n, for separating the spectra of a real signal.
    std::vector<Complex> realTwiddles_;
    std::vector<Complex> buffers_[2];
    std::vector<Complex> gather_;  // one butterfly's inputs in the general pass
};

}  // namespace melvora

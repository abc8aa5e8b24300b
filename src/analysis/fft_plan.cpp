#include "analysis/fft_plan.h"

#include "analysis/processor_variants.h"

#include <cmath>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace melvora {

namespace {

// 2 pi as the twiddle table has always used it.
constexpr double kTwoPi = 6.283185307179586;

}  // namespace

bool FftPlan::Configure(int n) {
    size_ = 0;
    factors_.clear();
    stages_.clear();
    twiddles_.clear();
    conjugateTwiddles_.clear();
    roots_.clear();
    realTwiddles_.clear();
    buffers_[0].clear();
    buffers_[1].clear();
    gather_.clear();
    if (n < 1) {
        return false;
    }

    // Trial factors 3, 4, 2, 5, then every odd number from 7 on.
    int rest = n;
    int trialIndex = 0;
    int trial = 3;
    while (rest > 1) {
        if (rest % trial == 0) {
            rest /= trial;
            if (trial == 2 && !factors_.empty()) {
                factors_.insert(factors_.begin(), 2);
            } else {
                factors_.push_back(trial);
            }
            continue;
        }
        ++trialIndex;
        static const int kFirstTrials[] = {3, 4, 2, 5};
        if (trialIndex < 4) {
            trial = kFirstTrials[trialIndex];
        } else {
            trial = (trialIndex == 4) ? 7 : trial + 2;
        }
        if (static_cast<long long>(trial) * trial > rest && rest > 1 && trialIndex >= 4) {
            // What is left is prime.
            trial = rest;
        }
    }

    const double argh = kTwoPi / static_cast<double>(n);
    int l1 = 1;
    std::size_t largestRadix = 0;
    for (int radix : factors_) {
        Stage stage;
        stage.radix = radix;
        stage.l1 = l1;
        stage.ido = n / (l1 * radix);
        stage.twiddleOffset = static_cast<int>(twiddles_.size());
        stage.rootOffset = static_cast<int>(roots_.size());
        for (int j = 1; j < radix; ++j) {
            const long long ld = static_cast<long long>(j) * l1;
            for (int f = 0; f < stage.ido; ++f) {
                const double angle = static_cast<double>(f * ld) * argh;
                twiddles_.push_back(
                    {f == 0 ? 1.0 : std::cos(angle), f == 0 ? 0.0 : std::sin(angle)});
            }
        }
        if (radix > 5) {
            for (int q = 0; q < radix; ++q) {
                const double angle = kTwoPi * static_cast<double>(q) / static_cast<double>(radix);
                roots_.push_back({std::cos(angle), std::sin(angle)});
            }
            if (static_cast<std::size_t>(radix) > largestRadix) {
                largestRadix = static_cast<std::size_t>(radix);
            }
        }
        stages_.push_back(stage);
        l1 *= radix;
    }

    for (int k = 0; k <= n; ++k) {
        const double angle = kTwoPi * static_cast<double>(k) / (2.0 * static_cast<double>(n));
        realTwiddles_.push_back({std::cos(angle), -std::sin(angle)});
    }
    conjugateTwiddles_ = twiddles_;
    for (Complex& t : conjugateTwiddles_) {
        t.im = -t.im;
    }
    buffers_[0].assign(static_cast<std::size_t>(n), Complex{0.0, 0.0});
    buffers_[1].assign(static_cast<std::size_t>(n), Complex{0.0, 0.0});
    gather_.assign(largestRadix, Complex{0.0, 0.0});
    size_ = n;
    return true;
}

template <typename Sample>
void FftPlan::TransformInterleaved(Sample* data, int sign) {
    if (size_ == 0) {
        return;
    }
    Complex* in = buffers_[0].data();
    for (int i = 0; i < size_; ++i) {
        in[i].re = data[2 * i];
        in[i].im = data[2 * i + 1];
    }
    const Complex* out = Run(sign == -1);
    for (int i = 0; i < size_; ++i) {
        data[2 * i] = static_cast<Sample>(out[i].re);
        data[2 * i + 1] = static_cast<Sample>(out[i].im);
    }
}

void FftPlan::Transform(float* data, int sign) {
    TransformInterleaved(data, sign);
}

void FftPlan::Transform(double* data, int sign) {
    TransformInterleaved(data, sign);
}

void FftPlan::RealPowerSpectrum(const float* real, double* power) {
    RealPowerSpectrum(real, power, 0, size_);
}

void FftPlan::RealPowerSpectrum(const float* real, double* power, int first, int last) {
    const int n = size_;
    if (n == 0) {
        return;
    }
    first = first < 0 ? 0 : first;
    last = last > n ? n : last;
    Complex* in = buffers_[0].data();
    for (int i = 0; i < n; ++i) {
        in[i].re = real[2 * i];
        in[i].im = real[2 * i + 1];
    }
    const Complex* z = Run(true);
    for (int k = first; k <= last; ++k) {
        const Complex a = z[k == n ? 0 : k];
        const Complex b = z[k == 0 ? 0 : n - k];
        // Spectrum of the even samples (a + conj b) / 2, of the odd ones (a - conj b) / 2i.
        const double evenRe = 0.5 * (a.re + b.re);
        const double evenIm = 0.5 * (a.im - b.im);
        const double oddRe = 0.5 * (a.im + b.im);
        const double oddIm = -0.5 * (a.re - b.re);
        const Complex w = realTwiddles_[k];
        const double re = evenRe + (w.re * oddRe - w.im * oddIm);
        const double im = evenIm + (w.re * oddIm + w.im * oddRe);
        power[k] = re * re + im * im;
    }
}

FftPlan::Complex* FftPlan::Run(bool forward) {
    int current = 0;
    for (const Stage& stage : stages_) {
        const Complex* cc = buffers_[current].data();
        Complex* ch = buffers_[1 - current].data();
        switch (stage.radix) {
            case 2:
                Pass2(stage, cc, ch, forward);
                break;
            case 3:
                Pass3(stage, cc, ch, forward);
                break;
            case 4:
                Pass4(stage, cc, ch, forward);
                break;
            case 5:
                Pass5(stage, cc, ch, forward);
                break;
            default:
                PassOdd(stage, cc, ch, forward);
                break;
        }
        current = 1 - current;
    }
    return buffers_[current].data();
}

// Every pass reads cc(i, m, k) = cc[i + ido * (m + radix * k)] and writes
// ch(i, k, j) = ch[i + ido * (k + l1 * j)] = twiddle(j, i) * sum over m of
// cc(i, m, k) * exp(sign 2 pi i m j / radix).

namespace {

inline void StoreTwiddled(double re, double im, double twRe, double twIm, double* outRe,
                          double* outIm) {
    *outRe = re * twRe - im * twIm;
    *outIm = re * twIm + im * twRe;
}

#if defined(__SSE2__)
// z x t for one complex value z = (re, im) and a twiddle t at tw: (re tRe - im tIm,
// re tIm + im tRe), with the products and sums of StoreTwiddled (x + -y is x - y exactly).
inline __m128d Twiddled(__m128d z, const double* tw) {
    const __m128d t = _mm_loadu_pd(tw);
    const __m128d tRe = _mm_unpacklo_pd(t, t);
    const __m128d tIm = _mm_unpackhi_pd(t, t);
    const __m128d product = _mm_mul_pd(z, tRe);                      // re tRe, im tRe
    const __m128d cross = _mm_mul_pd(_mm_shuffle_pd(z, z, 1), tIm);  // im tIm, re tIm
    const __m128d signs = _mm_set_pd(0.0, -0.0);                     // negate the real lane
    return _mm_add_pd(product, _mm_xor_pd(cross, signs));
}
#endif

#if defined(__GNUC__) && !defined(__clang__)  // GCC vector shuffles
// Radix-4 butterflies over i = 0..ido-1 (ido even), two complex values per vector: lanes
// (re, im, re, im) do the scalar code's operations, so the results are the same.
MELVORA_AVX2_VARIANTS void Radix4Pairs(const double* in, double* out0, double* out1, double* out2,
                                       double* out3, const double* tw1, const double* tw2,
                                       const double* tw3, int ido, double w) {
    typedef double Lanes4 __attribute__((vector_size(32)));
    typedef long long Mask4 __attribute__((vector_size(32)));
    typedef double UnalignedLanes4 __attribute__((vector_size(32), aligned(8), may_alias));
#define Load4(p) (*reinterpret_cast<const UnalignedLanes4*>(p))
#define Store4(p, v) (*reinterpret_cast<UnalignedLanes4*>(p) = (v))
    const Mask4 swap = {1, 0, 3, 2};
    const Mask4 real = {0, 0, 2, 2};
    const Mask4 imaginary = {1, 1, 3, 3};
    const Lanes4 rotation = {-w, w, -w, w};
    const Lanes4 signs = {-1.0, 1.0, -1.0, 1.0};
    // z t: (re tRe + -(im tIm), im tRe + re tIm), as StoreTwiddled forms it.
#define Twiddled(z, t)                  \
    ((z)*__builtin_shuffle((t), real) + \
     (__builtin_shuffle((z), swap) * __builtin_shuffle((t), imaginary)) * signs)
    for (int i = 0; i < 2 * ido; i += 4) {
        const Lanes4 a0 = Load4(in + i);
        const Lanes4 a1 = Load4(in + i + 2 * ido);
        const Lanes4 a2 = Load4(in + i + 4 * ido);
        const Lanes4 a3 = Load4(in + i + 6 * ido);
        const Lanes4 sum02 = a0 + a2;
        const Lanes4 dif02 = a0 - a2;
        const Lanes4 sum13 = a1 + a3;
        const Lanes4 dif13 = a1 - a3;
        const Lanes4 rot = __builtin_shuffle(dif13, swap) * rotation;
        Store4(out0 + i, sum02 + sum13);
        Store4(out1 + i, Twiddled(dif02 + rot, Load4(tw1 + i)));
        Store4(out2 + i, Twiddled(sum02 - sum13, Load4(tw2 + i)));
        Store4(out3 + i, Twiddled(dif02 - rot, Load4(tw3 + i)));
    }
#undef Twiddled
#undef Load4
#undef Store4
}
#endif

}  // namespace

void FftPlan::Pass2(const Stage& s, const Complex* cc, Complex* ch, bool forward) const {
    const int ido = s.ido;
    const int l1 = s.l1;
    const Complex* tw = (forward ? conjugateTwiddles_ : twiddles_).data() + s.twiddleOffset;
    for (int k = 0; k < l1; ++k) {
        const Complex* in = cc + ido * (2 * k);
        Complex* out0 = ch + ido * k;
        Complex* out1 = ch + ido * (k + l1);
        for (int i = 0; i < ido; ++i) {
            const Complex a0 = in[i];
            const Complex a1 = in[i + ido];
            out0[i].re = a0.re + a1.re;
            out0[i].im = a0.im + a1.im;
            StoreTwiddled(a0.re - a1.re, a0.im - a1.im, tw[i].re, tw[i].im, &out1[i].re,
                          &out1[i].im);
        }
    }
}

void FftPlan::Pass3(const Stage& s, const Complex* cc, Complex* ch, bool forward) const {
    const int ido = s.ido;
    const int l1 = s.l1;
    const Complex* tw1 = (forward ? conjugateTwiddles_ : twiddles_).data() + s.twiddleOffset;
    const Complex* tw2 = tw1 + ido;
    // sin(2 pi / 3) with the direction's sign.
    const double taui = forward ? -0.8660254037844386 : 0.8660254037844386;
    for (int k = 0; k < l1; ++k) {
        const Complex* in = cc + ido * (3 * k);
        Complex* out0 = ch + ido * k;
        Complex* out1 = ch + ido * (k + l1);
        Complex* out2 = ch + ido * (k + 2 * l1);
        for (int i = 0; i < ido; ++i) {
            const Complex a0 = in[i];
            const Complex a1 = in[i + ido];
            const Complex a2 = in[i + 2 * ido];
            const double tRe = a1.re + a2.re;
            const double tIm = a1.im + a2.im;
            const double cRe = a0.re - 0.5 * tRe;
            const double cIm = a0.im - 0.5 * tIm;
            // i * taui * (a1 - a2)
            const double dRe = -taui * (a1.im - a2.im);
            const double dIm = taui * (a1.re - a2.re);
            out0[i].re = a0.re + tRe;
            out0[i].im = a0.im + tIm;
            StoreTwiddled(cRe + dRe, cIm + dIm, tw1[i].re, tw1[i].im, &out1[i].re, &out1[i].im);
            StoreTwiddled(cRe - dRe, cIm - dIm, tw2[i].re, tw2[i].im, &out2[i].re, &out2[i].im);
        }
    }
}

void FftPlan::Pass4(const Stage& s, const Complex* cc, Complex* ch, bool forward) const {
    const int ido = s.ido;
    const int l1 = s.l1;
    const Complex* tw1 = (forward ? conjugateTwiddles_ : twiddles_).data() + s.twiddleOffset;
    const Complex* tw2 = tw1 + ido;
    const Complex* tw3 = tw2 + ido;
    // W = exp(sign i pi / 2): -i forward, +i backward.
    const double w = forward ? -1.0 : 1.0;
#if defined(__SSE2__)
    if (ido == 1) {
        // The last pass of a power of four: every twiddle is exactly 1 + 0i, whose product
        // changes no value (at most a zero's sign, which no squared magnitude sees), so the
        // butterflies alone.
        const __m128d rotation = _mm_set_pd(w, -w);
        for (int k = 0; k < l1; ++k) {
            const double* in = &cc[4 * k].re;
            const __m128d a0 = _mm_loadu_pd(in);
            const __m128d a1 = _mm_loadu_pd(in + 2);
            const __m128d a2 = _mm_loadu_pd(in + 4);
            const __m128d a3 = _mm_loadu_pd(in + 6);
            const __m128d sum02 = _mm_add_pd(a0, a2);
            const __m128d dif02 = _mm_sub_pd(a0, a2);
            const __m128d sum13 = _mm_add_pd(a1, a3);
            const __m128d dif13 = _mm_sub_pd(a1, a3);
            const __m128d rot = _mm_mul_pd(_mm_shuffle_pd(dif13, dif13, 1), rotation);
            _mm_storeu_pd(&ch[k].re, _mm_add_pd(sum02, sum13));
            _mm_storeu_pd(&ch[k + l1].re, _mm_add_pd(dif02, rot));
            _mm_storeu_pd(&ch[k + 2 * l1].re, _mm_sub_pd(sum02, sum13));
            _mm_storeu_pd(&ch[k + 3 * l1].re, _mm_sub_pd(dif02, rot));
        }
        return;
    }
#endif
#if defined(__GNUC__) && !defined(__clang__)
    if (ido % 2 == 0) {
        for (int k = 0; k < l1; ++k) {
            Radix4Pairs(&cc[ido * (4 * k)].re, &ch[ido * k].re, &ch[ido * (k + l1)].re,
                        &ch[ido * (k + 2 * l1)].re, &ch[ido * (k + 3 * l1)].re, &tw1[0].re,
                        &tw2[0].re, &tw3[0].re, ido, w);
        }
        return;
    }
#endif
#if defined(__SSE2__)
    // One complex value per register. Every lane does the scalar code's operations in its
    // order (sums commute exactly, a product by -1 is exact), so the results are the same.
    const __m128d rotation = _mm_set_pd(w, -w);  // (re, im) = (-w, w)
    for (int k = 0; k < l1; ++k) {
        const double* in = &cc[ido * (4 * k)].re;
        double* out0 = &ch[ido * k].re;
        double* out1 = &ch[ido * (k + l1)].re;
        double* out2 = &ch[ido * (k + 2 * l1)].re;
        double* out3 = &ch[ido * (k + 3 * l1)].re;
        for (int i = 0; i < ido; ++i) {
            const __m128d a0 = _mm_loadu_pd(in + 2 * i);
            const __m128d a1 = _mm_loadu_pd(in + 2 * (i + ido));
            const __m128d a2 = _mm_loadu_pd(in + 2 * (i + 2 * ido));
            const __m128d a3 = _mm_loadu_pd(in + 2 * (i + 3 * ido));
            const __m128d sum02 = _mm_add_pd(a0, a2);
            const __m128d dif02 = _mm_sub_pd(a0, a2);
            const __m128d sum13 = _mm_add_pd(a1, a3);
            const __m128d dif13 = _mm_sub_pd(a1, a3);
            const __m128d rot = _mm_mul_pd(_mm_shuffle_pd(dif13, dif13, 1), rotation);
            _mm_storeu_pd(out0 + 2 * i, _mm_add_pd(sum02, sum13));
            _mm_storeu_pd(out1 + 2 * i, Twiddled(_mm_add_pd(dif02, rot), &tw1[i].re));
            _mm_storeu_pd(out2 + 2 * i, Twiddled(_mm_sub_pd(sum02, sum13), &tw2[i].re));
            _mm_storeu_pd(out3 + 2 * i, Twiddled(_mm_sub_pd(dif02, rot), &tw3[i].re));
        }
    }
#else
    for (int k = 0; k < l1; ++k) {
        const Complex* in = cc + ido * (4 * k);
        Complex* out0 = ch + ido * k;
        Complex* out1 = ch + ido * (k + l1);
        Complex* out2 = ch + ido * (k + 2 * l1);
        Complex* out3 = ch + ido * (k + 3 * l1);
        for (int i = 0; i < ido; ++i) {
            const Complex a0 = in[i];
            const Complex a1 = in[i + ido];
            const Complex a2 = in[i + 2 * ido];
            const Complex a3 = in[i + 3 * ido];
            const double sum02Re = a0.re + a2.re;
            const double sum02Im = a0.im + a2.im;
            const double dif02Re = a0.re - a2.re;
            const double dif02Im = a0.im - a2.im;
            const double sum13Re = a1.re + a3.re;
            const double sum13Im = a1.im + a3.im;
            // W * (a1 - a3)
            const double rotRe = -w * (a1.im - a3.im);
            const double rotIm = w * (a1.re - a3.re);
            out0[i].re = sum02Re + sum13Re;
            out0[i].im = sum02Im + sum13Im;
            StoreTwiddled(dif02Re + rotRe, dif02Im + rotIm, tw1[i].re, tw1[i].im, &out1[i].re,
                          &out1[i].im);
            StoreTwiddled(sum02Re - sum13Re, sum02Im - sum13Im, tw2[i].re, tw2[i].im, &out2[i].re,
                          &out2[i].im);
            StoreTwiddled(dif02Re - rotRe, dif02Im - rotIm, tw3[i].re, tw3[i].im, &out3[i].re,
                          &out3[i].im);
        }
    }
#endif
}

void FftPlan::Pass5(const Stage& s, const Complex* cc, Complex* ch, bool forward) const {
    const int ido = s.ido;
    const int l1 = s.l1;
    const Complex* tw1 = (forward ? conjugateTwiddles_ : twiddles_).data() + s.twiddleOffset;
    const Complex* tw2 = tw1 + ido;
    const Complex* tw3 = tw2 + ido;
    const Complex* tw4 = tw3 + ido;
    const double c1 = 0.30901699437494745;  // cos(2 pi / 5)
    const double c2 = -0.8090169943749475;  // cos(4 pi / 5)
    const double sign = forward ? -1.0 : 1.0;
    const double s1 = sign * 0.9510565162951535;  // sin(2 pi / 5)
    const double s2 = sign * 0.5877852522924731;  // sin(4 pi / 5)
    for (int k = 0; k < l1; ++k) {
        const Complex* in = cc + ido * (5 * k);
        Complex* out0 = ch + ido * k;
        Complex* out1 = ch + ido * (k + l1);
        Complex* out2 = ch + ido * (k + 2 * l1);
        Complex* out3 = ch + ido * (k + 3 * l1);
        Complex* out4 = ch + ido * (k + 4 * l1);
        for (int i = 0; i < ido; ++i) {
            const Complex a0 = in[i];
            const Complex a1 = in[i + ido];
            const Complex a2 = in[i + 2 * ido];
            const Complex a3 = in[i + 3 * ido];
            const Complex a4 = in[i + 4 * ido];
            const double t1Re = a1.re + a4.re, t1Im = a1.im + a4.im;
            const double t2Re = a2.re + a3.re, t2Im = a2.im + a3.im;
            const double d1Re = a1.re - a4.re, d1Im = a1.im - a4.im;
            const double d2Re = a2.re - a3.re, d2Im = a2.im - a3.im;
            const double c14Re = a0.re + c1 * t1Re + c2 * t2Re;
            const double c14Im = a0.im + c1 * t1Im + c2 * t2Im;
            const double c23Re = a0.re + c2 * t1Re + c1 * t2Re;
            const double c23Im = a0.im + c2 * t1Im + c1 * t2Im;
            // i * (s1 d1 + s2 d2) and i * (s2 d1 - s1 d2)
            const double r14Re = -(s1 * d1Im + s2 * d2Im);
            const double r14Im = s1 * d1Re + s2 * d2Re;
            const double r23Re = -(s2 * d1Im - s1 * d2Im);
            const double r23Im = s2 * d1Re - s1 * d2Re;
            out0[i].re = a0.re + t1Re + t2Re;
            out0[i].im = a0.im + t1Im + t2Im;
            StoreTwiddled(c14Re + r14Re, c14Im + r14Im, tw1[i].re, tw1[i].im, &out1[i].re,
                          &out1[i].im);
            StoreTwiddled(c23Re + r23Re, c23Im + r23Im, tw2[i].re, tw2[i].im, &out2[i].re,
                          &out2[i].im);
            StoreTwiddled(c23Re - r23Re, c23Im - r23Im, tw3[i].re, tw3[i].im, &out3[i].re,
                          &out3[i].im);
            StoreTwiddled(c14Re - r14Re, c14Im - r14Im, tw4[i].re, tw4[i].im, &out4[i].re,
                          &out4[i].im);
        }
    }
}

void FftPlan::PassOdd(const Stage& s, const Complex* cc, Complex* ch, bool forward) {
    const int ido = s.ido;
    const int l1 = s.l1;
    const int radix = s.radix;
    const Complex* tw = (forward ? conjugateTwiddles_ : twiddles_).data() + s.twiddleOffset;
    const Complex* roots = roots_.data() + s.rootOffset;
    const double rootSign = forward ? -1.0 : 1.0;
    Complex* a = gather_.data();
    for (int k = 0; k < l1; ++k) {
        const Complex* in = cc + ido * (radix * k);
        for (int i = 0; i < ido; ++i) {
            for (int m = 0; m < radix; ++m) {
                a[m] = in[i + ido * m];
            }
            for (int j = 0; j < radix; ++j) {
                double re = 0.0;
                double im = 0.0;
                int q = 0;  // (m * j) mod radix, advanced without a division
                for (int m = 0; m < radix; ++m) {
                    const double rRe = roots[q].re;
                    const double rIm = rootSign * roots[q].im;
                    re += a[m].re * rRe - a[m].im * rIm;
                    im += a[m].re * rIm + a[m].im * rRe;
                    q += j;
                    if (q >= radix) {
                        q -= radix;
                    }
                }
                Complex* out = ch + ido * (k + l1 * j);
                if (j == 0) {
                    out[i].re = re;
                    out[i].im = im;
                } else {
                    const Complex t = tw[(j - 1) * ido + i];
                    StoreTwiddled(re, im, t.re, t.im, &out[i].re, &out[i].im);
                }
            }
        }
    }
}

}  // namespace melvora

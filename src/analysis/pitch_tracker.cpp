#include "analysis/pitch_tracker.h"

#include "analysis/processor_variants.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace melvora {

namespace {

constexpr int kFilterOrder = 12;

struct RateSetting {
    int sampleRateHz;
    int decimatedRateHz;
    // 12th-order recursive low-pass with its -3 dB point near 4000 Hz; a[0] is 1 and unused.
    // Null for 8000 Hz, where the band below 4000 Hz is the whole signal (see below).
    const float* b;
    const float* a;
};

const float kB11025[] = {0.0311489999f, 0.373787999f, 2.05583405f,  6.85278034f, 15.4187555f,
                         24.6700077f,   28.7816772f,  24.6700077f,  15.4187555f, 6.85278034f,
                         2.05583405f,   0.373787999f, 0.0311489999f};
const float kA11025[] = {1.0f,         5.36072111f,   14.1934452f,   24.0287704f, 28.6667328f,
                         25.2110786f,  16.6755257f,   8.326478f,     3.10564303f, 0.841785014f,
                         0.157072112f, 0.0180849507f, 0.00097026024f};
const float kB16000[] = {0.000883216911f, 0.0105986027f, 0.0582923144f,  0.194307715f, 0.437192351f,
                         0.699507773f,    0.816092372f,  0.699507773f,   0.437192351f, 0.194307715f,
                         0.0582923144f,   0.0105986027f, 0.000883216911f};
const float kA16000[] = {1.0f,           -0.0299151652f,   1.61822343f,     -0.0386513025f,
                         0.87667352f,    -0.0160382185f,   0.192923382f,    -0.00253345561f,
                         0.0166647695f,  -0.000139627475f, 0.000449175044f, -1.80133225e-06f,
                         1.63724042e-06f};
const float kB22050[] = {4.21860459e-05f, 0.000506232551f, 0.00278427894f, 0.00928093027f,
                         0.0208820924f,   0.0334113464f,   0.0389799066f,  0.0334113464f,
                         0.0208820924f,   0.00928093027f,  0.00278427894f, 0.000506232551f,
                         4.21860459e-05f};
const float kA22050[] = {1.0f,          -3.30602908f,    6.38385725f,    -8.24141979f, 7.83814621f,
                         -5.63834906f,  3.12268066f,     -1.32790983f,   0.428298026f, -0.1016194f,
                         0.0167815033f, -0.00172589812f, 8.34051389e-05f};
const float kB32000[] = {1.10388817e-06f, 1.32466575e-05f, 7.28566156e-05f, 0.000242855385f,
                         0.00054642465f,  0.000874279416f, 0.00101999263f,  0.000874279416f,
                         0.00054642465f,  0.000242855385f, 7.28566156e-05f, 1.32466575e-05f,
                         1.10388817e-06f};
const float kA32000[] = {1.0f,         -6.00413513f,   17.416069f,    -31.8888283f, 40.7617683f,
                         -38.1327972f, 26.6737709f,    -14.0171251f,  5.47965908f,  -1.55118704f,
                         0.301351517f, -0.0360255465f, 0.00200187904f};
const float kB44100[] = {4.21067767e-08f, 5.05281321e-07f, 2.77904724e-06f, 9.26349094e-06f,
                         2.08428555e-05f, 3.33485696e-05f, 3.89066627e-05f, 3.33485696e-05f,
                         2.08428555e-05f, 9.26349094e-06f, 2.77904724e-06f, 5.05281321e-07f,
                         4.21067767e-08f};
const float kA44100[] = {1.0f,         -7.64726019f,  27.3578606f,  -60.3840637f, 91.4003677f,
                         -99.7941208f, 80.4860001f,   -48.2618103f, 21.3341465f,  -6.77487278f,
                         1.466043f,    -0.193981007f, 0.0118622938f};
const float kB48000[] = {1.74100734e-08f, 2.08920881e-07f, 1.14906481e-06f, 3.83021597e-06f,
                         8.61798617e-06f, 1.37887782e-05f, 1.60869076e-05f, 1.37887782e-05f,
                         8.61798617e-06f, 3.83021597e-06f, 1.14906481e-06f, 2.08920881e-07f,
                         1.74100734e-08f};
const float kA48000[] = {1.0f,         -8.00057697f,  29.8210831f,  -68.3503418f, 107.134796f,
                         -120.840721f, 100.473213f,   -61.9951363f, 28.1541538f,  -9.17154789f,
                         2.03321791f,  -0.275274009f, 0.0172052458f};

// At 8000 Hz the working rate is the sample rate and the cut-off the Nyquist frequency: the
// ideal filter passes everything. The old coefficient set for that cut-off has poles outside
// the unit circle and overflows within a frame, so this rate copies the frame unfiltered.
const RateSetting kRateSettings[] = {
    {8000, 8000, nullptr, nullptr},  {11025, 11025, kB11025, kA11025},
    {16000, 8000, kB16000, kA16000}, {22050, 11025, kB22050, kA22050},
    {32000, 8000, kB32000, kA32000}, {44100, 8820, kB44100, kA44100},
    {48000, 8000, kB48000, kA48000},
};

// Working rate of the unfiltered path; only its lag arithmetic uses it.
constexpr int kUnfilteredDecimatedRateHz = 8000;

constexpr double kNoPeak = -1e10;

// The filter's feed-forward pass is also built for AVX-512 and AVX2.
// y[t] = sum over k of b[k] x[t - k], k = 0..12, for t = 0..n-1; x[-12..-1] must be readable.
// Each output is summed over k in order from 0; sixteen neighbouring outputs share two
// vectors (as many registers as the target needs), which changes nothing in any one sum.
MELVORA_AVX512_VARIANTS void FeedForward(const double* __restrict x, double* __restrict y, int n,
                                         const double* __restrict b) {
    int t = 0;
#if defined(__GNUC__)
    typedef double Lanes8 __attribute__((vector_size(64)));
    for (; t + 15 < n; t += 16) {
        Lanes8 lo = {};
        Lanes8 hi = {};
        for (int k = 0; k <= kFilterOrder; ++k) {
            Lanes8 xLo;
            Lanes8 xHi;
            std::memcpy(&xLo, x + t - k, sizeof xLo);
            std::memcpy(&xHi, x + t - k + 8, sizeof xHi);
            lo += b[k] * xLo;
            hi += b[k] * xHi;
        }
        std::memcpy(y + t, &lo, sizeof lo);
        std::memcpy(y + t + 8, &hi, sizeof hi);
    }
#endif
    for (; t < n; ++t) {
        double sum = 0.0;
        for (int k = 0; k <= kFilterOrder; ++k) {
            sum += b[k] * x[t - k];
        }
        y[t] = sum;
    }
}

// The recursive half of the filter, in place: y[t] = (y[t] - (older + a2 y[t-2])) - a1 y[t-1]
// with the older terms a3..a12 grouped in pairs as below; y[-12..-1] must be readable.
void Recursion(const double* a, double* y, int n) {
    int t = 0;
#if defined(__SSE2__)
    // Two outputs per step. The older terms a5..a12 of t and t + 1 need nothing newer than
    // y[t-4], so they go through the vector unit as pairs, each lane grouped exactly as the
    // scalar sum; the rest is scalar, so that y[t] waits only for what it reads (a packed
    // lane would wait for its partner, and the recursion is bound by that wait).
    // P2..P6 keep the outputs y[t-12..t-3] in pairs, Pj = (y[t-2j], y[t-2j+1]); A, B, C, D
    // are y[t-2], y[t-1], y[t-4], y[t-3] in the low lane.
    const __m128d a1 = _mm_set1_pd(a[1]);
    const __m128d a2 = _mm_set1_pd(a[2]);
    const __m128d a3 = _mm_set1_pd(a[3]);
    const __m128d a4 = _mm_set1_pd(a[4]);
    const __m128d a5 = _mm_set1_pd(a[5]);
    const __m128d a6 = _mm_set1_pd(a[6]);
    const __m128d a7 = _mm_set1_pd(a[7]);
    const __m128d a8 = _mm_set1_pd(a[8]);
    const __m128d a9 = _mm_set1_pd(a[9]);
    const __m128d a10 = _mm_set1_pd(a[10]);
    const __m128d a11 = _mm_set1_pd(a[11]);
    const __m128d a12 = _mm_set1_pd(a[12]);
    __m128d p2 = _mm_loadu_pd(y - 4);
    __m128d p3 = _mm_loadu_pd(y - 6);
    __m128d p4 = _mm_loadu_pd(y - 8);
    __m128d p5 = _mm_loadu_pd(y - 10);
    __m128d p6 = _mm_loadu_pd(y - 12);
    __m128d yA = _mm_load_sd(y - 2);
    __m128d yB = _mm_load_sd(y - 1);
    __m128d yC = _mm_load_sd(y - 4);
    __m128d yD = _mm_load_sd(y - 3);
    for (; t + 1 < n; t += 2) {
        // Odd distances straddle two pairs: (y[t-2j-1], y[t-2j]).
        const __m128d y5 = _mm_shuffle_pd(p3, p2, 1);
        const __m128d y7 = _mm_shuffle_pd(p4, p3, 1);
        const __m128d y9 = _mm_shuffle_pd(p5, p4, 1);
        const __m128d y11 = _mm_shuffle_pd(p6, p5, 1);
        const __m128d rest =
            _mm_add_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(a12, p6), _mm_mul_pd(a11, y11)),
                                  _mm_add_pd(_mm_mul_pd(a10, p5), _mm_mul_pd(a9, y9))),
                       _mm_add_pd(_mm_add_pd(_mm_mul_pd(a8, p4), _mm_mul_pd(a7, y7)),
                                  _mm_add_pd(_mm_mul_pd(a6, p3), _mm_mul_pd(a5, y5))));
        const __m128d older0 = _mm_add_sd(rest, _mm_add_sd(_mm_mul_sd(a4, yC), _mm_mul_sd(a3, yD)));
        const __m128d older1 = _mm_add_sd(_mm_unpackhi_pd(rest, rest),
                                          _mm_add_sd(_mm_mul_sd(a4, yD), _mm_mul_sd(a3, yA)));
        const __m128d x = _mm_loadu_pd(y + t);
        const __m128d out0 =
            _mm_sub_sd(_mm_sub_sd(x, _mm_add_sd(older0, _mm_mul_sd(a2, yA))), _mm_mul_sd(a1, yB));
        const __m128d out1 =
            _mm_sub_sd(_mm_sub_sd(_mm_unpackhi_pd(x, x), _mm_add_sd(older1, _mm_mul_sd(a2, yB))),
                       _mm_mul_sd(a1, out0));
        p6 = p5;
        p5 = p4;
        p4 = p3;
        p3 = p2;
        p2 = _mm_unpacklo_pd(yA, yB);
        yC = yA;
        yD = yB;
        yA = out0;
        yB = out1;
        _mm_storeu_pd(y + t, _mm_unpacklo_pd(out0, out1));
    }
#endif
    for (; t < n; ++t) {
        const double older =
            ((a[12] * y[t - 12] + a[11] * y[t - 11]) + (a[10] * y[t - 10] + a[9] * y[t - 9])) +
            ((a[8] * y[t - 8] + a[7] * y[t - 7]) + (a[6] * y[t - 6] + a[5] * y[t - 5])) +
            (a[4] * y[t - 4] + a[3] * y[t - 3]);
        y[t] = (y[t] - (older + a[2] * y[t - 2])) - a[1] * y[t - 1];
    }
}

// Ratio of a correlation peak to the energy, as a confidence. A frame without energy has no
// peak worth a confidence.
float Normalised(double peak, double energy) {
    if (!(energy > 0.0)) {
        return 0.0f;
    }
    return static_cast<float>(peak / energy);
}

// The coarse search: the lag of the highest autocorrelation of x (length samples) within
// minimumLag..maximumLag, its confidence and its pitch at rateHz, and the frame energy r0.
// With no lag to search (a frame too short for the band) the confidence is negative, so any
// band with a real peak wins, and there is no period to turn into a pitch.
struct LagPeak {
    int lag = 0;
    double r0 = 0.0;
    float confidence = -1.0f;
    float pitchHz = 0.0f;
};

LagPeak SearchLags(LagCorrelations* sums, int minimumLag, int maximumLag, int rateHz) {
    LagPeak peak;
    const int length = sums->Length();
    if (length > 0) {
        peak.r0 = sums->Energy() * (1.0 / length);
    }
    if (minimumLag > maximumLag) {
        return peak;
    }
    double best = kNoPeak;
    const int lag = sums->BestLag(minimumLag, maximumLag, 1.0 / length, kNoPeak, &best);
    if (lag >= 0) {
        peak.lag = lag;
    }
    peak.confidence =
        (peak.lag == minimumLag || peak.lag == maximumLag) ? 0.0f : Normalised(best, peak.r0);
    peak.pitchHz = peak.lag > 0 ? static_cast<float>(static_cast<double>(rateHz) / peak.lag) : 0.0f;
    return peak;
}

// Truncation of a positive rate / frequency quotient to a lag, kept inside int range.
int LagOf(double lag) {
    if (!(lag > 0.0)) {
        return 0;
    }
    if (lag > 1e9) {
        return 1000000000;
    }
    return static_cast<int>(lag);
}

}  // namespace

PitchTracker::PitchTracker() = default;

PitchTracker::~PitchTracker() = default;

bool PitchTracker::Configure(int sampleRateHz, int frameLength, int /*hopLength*/, float bandLowHz,
                             float bandHighHz) {
    sampleRateHz_ = 0;
    frameLength_ = 0;
    minimumLag_ = maximumLag_ = 0;
    decimatedLength_ = minimumDecimatedLag_ = maximumDecimatedLag_ = 0;
    prepared_ = false;
    trace_ = PitchSearchTrace();
    if (sampleRateHz <= 0 || frameLength <= 0 || !(bandLowHz > 0.0f) || !(bandHighHz > bandLowHz)) {
        input_.clear();
        output_.clear();
        filtered_.clear();
        decimated_.clear();
        direct_.clear();
        return false;
    }
    sampleRateHz_ = sampleRateHz;
    frameLength_ = frameLength;
    bandLowHz_ = bandLowHz;
    bandHighHz_ = bandHighHz;

    filteredPath_ = RateFilter(sampleRateHz, &decimatedRateHz_, &b_, &a_);
    decimationFactor_ =
        static_cast<int>(std::floor(static_cast<double>(sampleRateHz) / decimatedRateHz_ + 0.5));

    minimumLag_ = LagOf(static_cast<float>(sampleRateHz) / bandHighHz);
    maximumLag_ = std::min(LagOf(static_cast<float>(sampleRateHz) / bandLowHz), frameLength);
    decimatedLength_ = static_cast<int>(
        std::floor(static_cast<double>(frameLength) / sampleRateHz * decimatedRateHz_ + 0.5));
    const float inverseHigh = 1.0f / bandHighHz;
    const float inverseLow = 1.0f / bandLowHz;
    minimumDecimatedLag_ = LagOf(static_cast<float>(inverseHigh * decimatedRateHz_));
    maximumDecimatedLag_ =
        std::min(LagOf(static_cast<float>(inverseLow * decimatedRateHz_)), decimatedLength_);

    const std::size_t n = static_cast<std::size_t>(frameLength);
    if (filteredPath_) {
        input_.assign(n + kFilterOrder, 0.0);
        output_.assign(n + kFilterOrder, 0.0);
        filtered_.assign(n, 0.0);
        decimated_.assign(static_cast<std::size_t>(decimatedLength_), 0.0);
        direct_.clear();
    } else {
        input_.clear();
        output_.clear();
        filtered_.clear();
        decimated_.clear();
        direct_.assign(n, 0.0);
    }
    decimatedSums_.Configure(filteredPath_ ? decimatedLength_ : 0);
    frameSums_.Configure(frameLength);
    return true;
}

bool PitchTracker::RateFilter(int sampleRateHz, int* decimatedRateHz, const float** b,
                              const float** a) {
    for (const RateSetting& setting : kRateSettings) {
        if (setting.sampleRateHz == sampleRateHz) {
            *decimatedRateHz = setting.decimatedRateHz;
            *b = setting.b;
            *a = setting.a;
            return true;
        }
    }
    *decimatedRateHz = kUnfilteredDecimatedRateHz;
    *b = nullptr;
    *a = nullptr;
    return false;
}

PitchReport PitchTracker::Analyse(const float* frame) {
    if (frameLength_ <= 0) {
        report_ = PitchReport();
        return report_;
    }
    Prepare(frame);
    return filteredPath_ ? SearchFiltered(&decimatedSums_, &frameSums_)
                         : SearchUnfiltered(&frameSums_);
}

PitchReport PitchTracker::AnalyseAfter(PitchTracker& prepared, const float* frame) {
    if (frameLength_ <= 0) {
        report_ = PitchReport();
        return report_;
    }
    if (prepared.prepared_ && prepared.filteredPath_ == filteredPath_ &&
        prepared.sampleRateHz_ == sampleRateHz_ && prepared.frameLength_ == frameLength_) {
        prepared_ = false;
        return filteredPath_ ? SearchFiltered(&prepared.decimatedSums_, &prepared.frameSums_)
                             : SearchUnfiltered(&prepared.frameSums_);
    }
    return Analyse(frame);
}

void PitchTracker::Prepare(const float* frame) {
    if (filteredPath_) {
        FilterAndDecimate(frame);
        decimatedSums_.Attach(decimated_.data(), decimatedLength_);
        frameSums_.Attach(filtered_.data(), frameLength_);
    } else {
        for (int i = 0; i < frameLength_; ++i) {
            direct_[i] = frame[i];
        }
        frameSums_.Attach(direct_.data(), frameLength_);
    }
    prepared_ = true;
}

void PitchTracker::FilterAndDecimate(const float* frame) {
    const int n = frameLength_;
    if (b_ == nullptr) {
        for (int t = 0; t < n; ++t) {
            filtered_[t] = frame[t];
        }
    } else {
        // y[t] = sum b[k] x[t-k] - sum a[k] y[t-k]; the 12 leading zeros of both arrays are
        // the filter's rest state, so every frame starts afresh. The feed-forward half has no
        // recursion and runs as whole-array passes first.
        double* x = input_.data() + kFilterOrder;
        double* y = output_.data() + kFilterOrder;
        for (int t = 0; t < n; ++t) {
            x[t] = frame[t];
        }
        double b[kFilterOrder + 1];
        for (int k = 0; k <= kFilterOrder; ++k) {
            b[k] = b_[k];
        }
        FeedForward(x, y, n, b);
        double a[kFilterOrder + 1];
        for (int k = 0; k <= kFilterOrder; ++k) {
            a[k] = a_[k];
        }
        Recursion(a, y, n);
        for (int t = 0; t < n; ++t) {
            filtered_[t] = static_cast<float>(y[t]);
        }
    }
    const int step = decimationFactor_;
    for (int i = 0; i < decimatedLength_; ++i) {
        const long long source = static_cast<long long>(i) * step;
        decimated_[i] = source < n ? filtered_[static_cast<std::size_t>(source)] : 0.0;
    }
}

PitchReport PitchTracker::SearchFiltered(LagCorrelations* decimated, LagCorrelations* filtered) {
    trace_ = PitchSearchTrace();
    const LagPeak coarse =
        SearchLags(decimated, minimumDecimatedLag_, maximumDecimatedLag_, decimatedRateHz_);
    const int bestLag = coarse.lag;
    trace_.coarseLag = bestLag;
    float confidence = coarse.confidence;
    float pitchHz = DecideVoicing(&confidence, coarse.pitchHz, coarse.r0);

    if (pitchHz > 10.0f) {
        const int n = frameLength_;
        const double fineR0 = filtered->Energy() * (1.0 / n);
        const double rate = sampleRateHz_;
        // The lags within 10 Hz of the coarse pitch, widened to every full-rate lag within one
        // coarse lag of the coarse peak: above about 400 Hz a coarse lag step is wider than
        // 20 Hz and the true period would otherwise be out of reach.
        int low = std::min(LagOf(rate / (pitchHz + 10.0)), (bestLag - 1) * decimationFactor_);
        int high = std::max(LagOf(rate / (pitchHz - 10.0)), (bestLag + 1) * decimationFactor_);
        const int start = low > minimumLag_ ? low : minimumLag_;
        const int end = high < maximumLag_ ? high : maximumLag_;
        double fineBest = kNoPeak;
        int fineLag = start;
        if (start <= end) {
            const int lag = filtered->BestLag(start, end, 1.0 / n, kNoPeak, &fineBest);
            if (lag >= 0) {
                fineLag = lag;
            }
        }
        trace_.fineStartLag = start;
        trace_.fineEndLag = end;
        trace_.fineLag = fineLag;
        if (fineLag == minimumLag_ || fineLag == maximumLag_) {
            confidence = 0.0f;
        } else if (start > end) {
            confidence = -1.0f;  // nothing was searched: no peak to normalise
        } else {
            confidence = Normalised(fineBest, fineR0);
        }
        pitchHz = fineLag > 0 ? static_cast<float>(rate / fineLag) : 0.0f;
    }

    // Three-frame smoothing: the weighted mean unless it strays from the median.
    const float rawPitchHz = pitchHz;
    float sorted[3] = {pitchHistory0_, pitchHistory1_, rawPitchHz};
    std::sort(sorted, sorted + 3);
    const float median = sorted[1];
    const float mean = 0.25f * pitchHistory0_ + 0.25f * pitchHistory1_ + 0.5f * rawPitchHz;
    PitchReport report;
    report.pitchHz = std::fabs(mean - median) < 10.0f ? mean : median;
    report.confidence = confidence;
    report.rawPitchHz = rawPitchHz;
    pitchHistory0_ = pitchHistory1_;
    pitchHistory1_ = rawPitchHz;
    report_ = report;
    return report;
}

PitchReport PitchTracker::SearchUnfiltered(LagCorrelations* frame) {
    trace_ = PitchSearchTrace();
    const LagPeak coarse = SearchLags(frame, minimumLag_, maximumLag_, sampleRateHz_);
    trace_.coarseLag = coarse.lag;
    float confidence = coarse.confidence;
    const float pitchHz = DecideVoicing(&confidence, coarse.pitchHz, coarse.r0);
    PitchReport report;
    report.pitchHz = pitchHz;
    report.confidence = confidence;
    report.rawPitchHz = pitchHz;
    report_ = report;
    return report;
}

float PitchTracker::DecideVoicing(float* confidence, float pitchHz, double r0) {
    const float t = threshold_;
    float& c = *confidence;
    if (c > t) {
        // A single weak frame between two voiced ones counts as voiced in the history.
        if (previousConfidence_ < t && confidenceBeforePrevious_ > t) {
            previousConfidence_ = t + 0.01f;
        }
    } else if (c > static_cast<double>(t) - 0.1 && previousConfidence_ > t &&
               confidenceBeforePrevious_ > t) {
        // A voiced stretch is held through a frame whose peak is weak but positive.
        c = t + 0.01f;
    }
    if (c < t) {
        pitchHz = 0.0f;
    }

    // Silence: a frame within e^3 of the quietest frame seen so far has no pitch.
    const float logEnergy = static_cast<float>(std::log(1.0 + r0 / frameLength_));
    if (logEnergy < minimumLogEnergy_) {
        minimumLogEnergy_ = logEnergy;
    }
    if (logEnergy < minimumLogEnergy_ + 3.0f) {
        pitchHz = 0.0f;
    }

    confidenceBeforePrevious_ = previousConfidence_;
    previousConfidence_ = c;
    return pitchHz;
}

}  // namespace melvora

#include "reference_engine.h"

#include "analysis/voice_measures.h"
#include "analysis/window_function.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace melvora {

namespace {

constexpr int kOrder = 12;
constexpr double kNoPeak = -1e10;

// Sum of a[i] b[i] in eight partial sums (i modulo 8), then a tail, joined pairwise.
double Dot(const double* a, const double* b, int count) {
    double lanes[8] = {};
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        for (int k = 0; k < 8; ++k) {
            lanes[k] += a[i + k] * b[i + k];
        }
    }
    double tail = 0.0;
    for (; i < count; ++i) {
        tail += a[i] * b[i];
    }
    return ((lanes[0] + lanes[1]) + (lanes[2] + lanes[3])) +
           ((lanes[4] + lanes[5]) + (lanes[6] + lanes[7])) + tail;
}

int LagOf(double lag) {
    if (!(lag > 0.0)) {
        return 0;
    }
    return lag > 1e9 ? 1000000000 : static_cast<int>(lag);
}

float Normalised(double peak, double energy) {
    return energy > 0.0 ? static_cast<float>(peak / energy) : 0.0f;
}

// Highest normalised autocorrelation of x over the lags, ties to the shorter lag.
struct Peak {
    int lag = 0;
    double value = kNoPeak;
    bool searched = false;
};

Peak BestLag(const double* x, int length, int firstLag, int lastLag) {
    Peak peak;
    for (int lag = firstLag; lag <= lastLag; ++lag) {
        const double r = Dot(x, x + lag, length - lag) * (1.0 / length);
        if (r > peak.value) {
            peak.value = r;
            peak.lag = lag;
        }
        peak.searched = true;
    }
    return peak;
}

}  // namespace

ReferenceEngine::ReferenceEngine(int sampleRateHz, float frameSeconds, float skipSeconds)
    : rate_(sampleRateHz) {
    n_ = static_cast<int>(std::floor(static_cast<double>(sampleRateHz) * frameSeconds + 0.5));
    hop_ = static_cast<int>(std::floor(static_cast<double>(sampleRateHz) * skipSeconds + 0.5));
    m_ = AnalysisEngine::kDefaultMinimumTransformSize;
    while (m_ < n_) {
        m_ *= 2;
    }
    frame_.resize(n_);
    window_.resize(n_);
    windowed_.resize(m_);
    power_.resize(m_ / 2 + 1);
    halfPlan_.Configure(m_ / 2);
    MakeWindow(window_.data(), n_, kWindowHamming);
    for (int band = 0; band < AnalysisEngine::kBandCount; ++band) {
        ConfigureTracker(&trackers_[band], AnalysisEngine::kBandLowHz[band],
                         AnalysisEngine::kBandHighHz[band]);
    }
    for (float& value : frame_) {
        value = NextDither();
    }
    for (int i = 0; i < kHistorySlots; ++i) {
        rmsHistory_[i] = -200.0f;
        peakToPeakHistory_[i] = confidenceHistory_[i] = rawPitchHistory_[i] = 0.0f;
    }
}

void ReferenceEngine::ConfigureTracker(Tracker* t, float lowHz, float highHz) {
    t->bandLowHz = lowHz;
    t->bandHighHz = highHz;
    t->filtered = PitchTracker::RateFilter(rate_, &t->decimatedRateHz, &t->b, &t->a);
    t->factor = static_cast<int>(std::floor(static_cast<double>(rate_) / t->decimatedRateHz + 0.5));
    t->minimumLag = LagOf(static_cast<float>(rate_) / highHz);
    t->maximumLag = std::min(LagOf(static_cast<float>(rate_) / lowHz), n_);
    t->decimatedLength =
        static_cast<int>(std::floor(static_cast<double>(n_) / rate_ * t->decimatedRateHz + 0.5));
    t->minimumDecimatedLag = LagOf(static_cast<float>((1.0f / highHz) * t->decimatedRateHz));
    t->maximumDecimatedLag = std::min(
        LagOf(static_cast<float>((1.0f / lowHz) * t->decimatedRateHz)), t->decimatedLength);
}

float ReferenceEngine::NextDither() {
    randomState_ = randomState_ * 214013u + 2531011u;
    const int r = static_cast<int>((randomState_ >> 16) & 0x7fff);
    return static_cast<float>((0.5 - r / 32767.0) * 1e-35);
}

float ReferenceEngine::DecideVoicing(Tracker* t, float* confidence, float pitchHz,
                                     double r0) const {
    const float threshold = 0.1f;
    float& c = *confidence;
    if (c > threshold) {
        if (t->previousConfidence < threshold && t->confidenceBeforePrevious > threshold) {
            t->previousConfidence = threshold + 0.01f;
        }
    } else if (c > static_cast<double>(threshold) - 0.1 && t->previousConfidence > threshold &&
               t->confidenceBeforePrevious > threshold) {
        c = threshold + 0.01f;
    }
    if (c < threshold) {
        pitchHz = 0.0f;
    }
    const float logEnergy = static_cast<float>(std::log(1.0 + r0 / n_));
    t->minimumLogEnergy = std::min(t->minimumLogEnergy, logEnergy);
    if (logEnergy < t->minimumLogEnergy + 3.0f) {
        pitchHz = 0.0f;
    }
    t->confidenceBeforePrevious = t->previousConfidence;
    t->previousConfidence = c;
    return pitchHz;
}

ReferenceEngine::Band ReferenceEngine::Analyse(Tracker* t) {
    Band out;
    const int n = n_;
    if (!t->filtered) {
        // Full-rate search of the frame itself, no refinement and no smoothing.
        std::vector<double> x(frame_.begin(), frame_.end());
        const double r0 = Dot(x.data(), x.data(), n) * (1.0 / n);
        const Peak peak = BestLag(x.data(), n, t->minimumLag, t->maximumLag);
        float confidence = -1.0f;
        float pitchHz = 0.0f;
        if (peak.searched) {
            confidence = (peak.lag == t->minimumLag || peak.lag == t->maximumLag)
                             ? 0.0f
                             : Normalised(peak.value, r0);
            pitchHz =
                peak.lag > 0 ? static_cast<float>(static_cast<double>(rate_) / peak.lag) : 0.0f;
        }
        out.trace.coarseLag = peak.lag;
        pitchHz = DecideVoicing(t, &confidence, pitchHz, r0);
        out.report.pitchHz = out.report.rawPitchHz = pitchHz;
        out.report.confidence = confidence;
        return out;
    }

    // Low-pass: feed-forward sums in order of k, then the recursion with the older terms
    // grouped in pairs; 12 zeros before the frame are the filter's rest state.
    std::vector<double> x(n + kOrder, 0.0);
    std::vector<double> y(n + kOrder, 0.0);
    for (int i = 0; i < n; ++i) {
        x[kOrder + i] = frame_[i];
    }
    std::vector<double> filtered(n);
    if (t->b == nullptr) {
        for (int i = 0; i < n; ++i) {
            filtered[i] = frame_[i];
        }
    } else {
        double b[kOrder + 1];
        double a[kOrder + 1];
        for (int k = 0; k <= kOrder; ++k) {
            b[k] = t->b[k];
            a[k] = t->a[k];
        }
        for (int i = kOrder; i < n + kOrder; ++i) {
            double sum = 0.0;
            for (int k = 0; k <= kOrder; ++k) {
                sum += b[k] * x[i - k];
            }
            y[i] = sum;
        }
        for (int i = kOrder; i < n + kOrder; ++i) {
            const double* p = &y[i];
            const double older =
                ((a[12] * p[-12] + a[11] * p[-11]) + (a[10] * p[-10] + a[9] * p[-9])) +
                ((a[8] * p[-8] + a[7] * p[-7]) + (a[6] * p[-6] + a[5] * p[-5])) +
                (a[4] * p[-4] + a[3] * p[-3]);
            y[i] = (y[i] - (older + a[2] * p[-2])) - a[1] * p[-1];
        }
        for (int i = 0; i < n; ++i) {
            filtered[i] = static_cast<float>(y[kOrder + i]);
        }
    }
    const int length = t->decimatedLength;
    std::vector<double> decimated(length);
    for (int i = 0; i < length; ++i) {
        const long long source = static_cast<long long>(i) * t->factor;
        decimated[i] = source < n ? filtered[source] : 0.0;
    }

    // Coarse search at the working rate and the voicing decision.
    const double r0 =
        length > 0 ? Dot(decimated.data(), decimated.data(), length) * (1.0 / length) : 0.0;
    const Peak coarse =
        BestLag(decimated.data(), length, t->minimumDecimatedLag, t->maximumDecimatedLag);
    float confidence = -1.0f;
    float pitchHz = 0.0f;
    if (coarse.searched) {
        confidence = (coarse.lag == t->minimumDecimatedLag || coarse.lag == t->maximumDecimatedLag)
                         ? 0.0f
                         : Normalised(coarse.value, r0);
        pitchHz = coarse.lag > 0
                      ? static_cast<float>(static_cast<double>(t->decimatedRateHz) / coarse.lag)
                      : 0.0f;
    }
    out.trace.coarseLag = coarse.lag;
    pitchHz = DecideVoicing(t, &confidence, pitchHz, r0);

    // Fine search at the full rate around the coarse peak.
    if (pitchHz > 10.0f) {
        const double rate = rate_;
        const double fineR0 = Dot(filtered.data(), filtered.data(), n) * (1.0 / n);
        const int low = std::min(LagOf(rate / (pitchHz + 10.0)), (coarse.lag - 1) * t->factor);
        const int high = std::max(LagOf(rate / (pitchHz - 10.0)), (coarse.lag + 1) * t->factor);
        const int start = std::max(low, t->minimumLag);
        const int end = std::min(high, t->maximumLag);
        Peak fine = BestLag(filtered.data(), n, start, end);
        if (!fine.searched) {
            fine.lag = start;
        }
        out.trace.fineStartLag = start;
        out.trace.fineEndLag = end;
        out.trace.fineLag = fine.lag;
        if (fine.lag == t->minimumLag || fine.lag == t->maximumLag) {
            confidence = 0.0f;
        } else if (start > end) {
            confidence = -1.0f;
        } else {
            confidence = Normalised(fine.value, fineR0);
        }
        pitchHz = fine.lag > 0 ? static_cast<float>(rate / fine.lag) : 0.0f;
    }

    // Weighted mean of three frames unless it strays 10 Hz or more from their median.
    float sorted[3] = {t->history0, t->history1, pitchHz};
    std::sort(sorted, sorted + 3);
    const float mean = 0.25f * t->history0 + 0.25f * t->history1 + 0.5f * pitchHz;
    out.report.pitchHz = std::fabs(mean - sorted[1]) < 10.0f ? mean : sorted[1];
    out.report.confidence = confidence;
    out.report.rawPitchHz = pitchHz;
    t->history0 = t->history1;
    t->history1 = pitchHz;
    return out;
}

const ReferenceEngine::Block& ReferenceEngine::ProcessBlock(const int16_t* samples) {
    const int n = n_;
    const int h = hop_;
    for (int i = 0; i < h; ++i) {
        frame_[n - h + i] = static_cast<float>(samples[i]) + NextDither();
    }
    Block& block = block_;

    const LevelMeasure level = VoiceMeasures::Level(frame_.data(), n);
    block.result.level = level.level;
    block.rms = level.rms;
    block.peakToPeak = level.peakToPeak;
    rmsHistory_[slot_] = level.rms;
    peakToPeakHistory_[slot_] = level.peakToPeak;

    // Every band analyses the frame; the most confident wins, ties to the lower band.
    for (int band = 0; band < AnalysisEngine::kBandCount; ++band) {
        block.bands[band] = Analyse(&trackers_[band]);
    }
    int chosen = 0;
    for (int band = 1; band < AnalysisEngine::kBandCount; ++band) {
        if (block.bands[band].report.confidence > block.bands[chosen].report.confidence) {
            chosen = band;
        }
    }
    const PitchReport& report = block.bands[chosen].report;
    block.chosenBand = chosen;
    block.chosenConfidence = report.confidence;
    block.chosenRawPitchHz = report.rawPitchHz;
    block.result.pitchHz = report.pitchHz;
    confidenceHistory_[slot_] = report.confidence;
    rawPitchHistory_[slot_] = report.rawPitchHz;
    block.voicedRun = report.confidence < 0.2f ? 0 : block.voicedRun + 1;

    // Voice activity gate over the ten-block means, at the default sensitivity.
    float rmsSum = 0.0f;
    float confidenceSum = 0.0f;
    for (int i = 0; i < kHistorySlots; ++i) {
        rmsSum += rmsHistory_[i];
        confidenceSum += confidenceHistory_[i];
    }
    if (rmsSum * 0.1f < 0.5f * 500.0f || confidenceSum * 0.1f < 0.5f * 0.3f) {
        block.result.level = 0.0f;
        block.result.pitchHz = 0.0f;
    }

    block.tessimDb = 0.0f;
    if (block.result.level > 0.0f && block.result.pitchHz > 10.0f) {
        // Tessim over the whole power spectrum of the windowed, zero-padded frame.
        const float pitch = block.result.pitchHz;
        std::fill(windowed_.begin(), windowed_.end(), 0.0f);
        for (int i = 0; i < n; ++i) {
            windowed_[i] = window_[i] * frame_[i];
        }
        halfPlan_.RealPowerSpectrum(windowed_.data(), power_.data());
        const int half = m_ / 2;
        auto bin = [&](int harmonic) {
            const double b = std::floor(static_cast<double>(harmonic) * pitch / rate_ * m_ + 0.5);
            return static_cast<int>(std::min(b, static_cast<double>(half + 1)));
        };
        const int lowStart = bin(std::max(0, static_cast<int>(std::floor(70.0 / pitch))));
        const int middle = bin(static_cast<int>(std::floor(1600.0 / pitch)));
        const int highEnd = bin(static_cast<int>(std::floor(4500.0 / pitch)));
        double low = 0.0;
        double high = 0.0;
        for (int k = lowStart; k < middle; ++k) {
            low += power_[k];
        }
        for (int k = middle; k < highEnd; ++k) {
            high += power_[k];
        }
        float db = !(high > 0.0) ? -40.0f
                   : !(low > 0.0)
                       ? -10.0f
                       : static_cast<float>(10.0 * std::log10(high) - 10.0 * std::log10(low));
        db = std::min(std::max(db, -40.0f), -10.0f);
        block.tessimDb = db;
        block.result.tessim = (db + 40.0f) * 0.033333335f;
        block.result.jitter = VoiceMeasures::Jitter(rawPitchHistory_, slot_, block.chosenConfidence,
                                                    block.chosenRawPitchHz, &block.voicedRun);
        block.result.shimmer = VoiceMeasures::Shimmer(peakToPeakHistory_, slot_,
                                                      block.chosenConfidence, block.voicedRun);
    } else {
        block.result.tessim = block.result.jitter = block.result.shimmer = 0.0f;
    }
    slot_ = (slot_ + 1) % kHistorySlots;
    std::memmove(frame_.data(), frame_.data() + h, static_cast<size_t>(n - h) * sizeof(float));
    return block;
}

}  // namespace melvora

#include "analysis/voice_measures.h"

#include "analysis/processor_variants.h"

#include <algorithm>
#include <cmath>

namespace melvora {

namespace {

// The level's loops run on every block: also built for AVX2 (eight lanes in one register
// instead of two; each lane sums as before).
// Mean absolute change between consecutive values of the current run (at most the last
// kHistorySlots), relative to their mean; `fallback` when there is nothing to compare.
float RelativeChange(const float* history, int slot, int voicedRun, float fallback) {
    const int n = std::min(voicedRun, kHistorySlots);
    const int m = n - 1;
    float change = 0.0f;
    float sum = 0.0f;
    for (int t = 1; t <= m; ++t) {
        const int j = ((slot - t) % kHistorySlots + kHistorySlots) % kHistorySlots;
        change += std::fabs(history[j] - history[(j + 1) % kHistorySlots]);
        sum += history[j];
    }
    sum += history[slot];
    const float mean = sum / static_cast<float>(n);
    if (std::fabs(mean) <= 1e-35f) {
        return fallback;
    }
    const float relative = (change / static_cast<float>(m)) / mean;
    return std::isnan(relative) ? fallback : relative;
}

}  // namespace

float VoiceMeasures::LevelCeilingDb() {
    static const float ceiling = static_cast<float>(10.0 * std::log10(1073676288.0) - 5.0);
    return ceiling;
}

MELVORA_AVX2_VARIANTS LevelMeasure VoiceMeasures::Level(const float* frame, int n) {
    LevelMeasure measure;
    if (n < 1) {
        return measure;
    }
    const float inverseN = 1.0f / static_cast<float>(n);
    // Single-precision sums, kept in eight interleaved partial sums so that the loops
    // vectorise; the rounding is that of any single-precision accumulation.
    constexpr int kLanes = 8;
    float sums[kLanes] = {};
    float lows[kLanes];
    float highs[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) {
        lows[lane] = frame[0];
        highs[lane] = frame[0];
    }
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        for (int lane = 0; lane < kLanes; ++lane) {
            const float v = frame[i + lane];
            sums[lane] += v;
            lows[lane] = std::min(lows[lane], v);
            highs[lane] = std::max(highs[lane], v);
        }
    }
    for (; i < n; ++i) {
        sums[0] += frame[i];
        lows[0] = std::min(lows[0], frame[i]);
        highs[0] = std::max(highs[0], frame[i]);
    }
    float sum = 0.0f;
    float smallest = lows[0];
    float largest = highs[0];
    for (int lane = 0; lane < kLanes; ++lane) {
        sum += sums[lane];
        smallest = std::min(smallest, lows[lane]);
        largest = std::max(largest, highs[lane]);
    }
    const float mean = sum * inverseN;
    float energies[kLanes] = {};
    for (i = 0; i + kLanes <= n; i += kLanes) {
        for (int lane = 0; lane < kLanes; ++lane) {
            const float d = frame[i + lane] - mean;
            energies[lane] += d * d;
        }
    }
    for (; i < n; ++i) {
        const float d = frame[i] - mean;
        energies[0] += d * d;
    }
    float energy = 0.0f;
    for (int lane = 0; lane < kLanes; ++lane) {
        energy += energies[lane];
    }
    const float power = energy * inverseN;
    const float ceiling = LevelCeilingDb();
    // log10(0) is minus infinity, which the floor turns into 20 dB.
    float db = power > 0.0f ? static_cast<float>(10.0 * std::log10(power)) : 20.0f;
    if (db < 20.0f) {
        db = 20.0f;
    }
    if (db > ceiling) {
        db = ceiling;
    }
    measure.level = (db - 20.0f) / (ceiling - 20.0f);
    measure.rms = std::sqrt(power);
    measure.peakToPeak = largest - smallest;
    return measure;
}

TessimMeasure VoiceMeasures::Tessim(const float* frame, const float* window, int n, float pitchHz,
                                    int sampleRateHz, FftPlan* halfPlan, float* windowed,
                                    double* power) {
    TessimMeasure measure;
    const int half = halfPlan->Size();
    const int m = 2 * half;
    if (!(pitchHz > 0.0f) || m < n || sampleRateHz <= 0) {
        return measure;
    }
    int i = 0;
#if defined(__GNUC__)
    // Eight products at a time, each the scalar product: this file stays out of the
    // vectoriser's full cost model (the level's loops run better without it).
    typedef float Lanes8 __attribute__((vector_size(32), aligned(4), may_alias));
    for (; i + 8 <= n; i += 8) {
        *reinterpret_cast<Lanes8*>(windowed + i) = *reinterpret_cast<const Lanes8*>(window + i) *
                                                   *reinterpret_cast<const Lanes8*>(frame + i);
    }
#endif
    for (; i < n; ++i) {
        windowed[i] = window[i] * frame[i];
    }
    for (i = n; i < m; ++i) {
        windowed[i] = 0.0f;
    }
    const int lowHarmonic = std::max(0, static_cast<int>(std::floor(70.0 / pitchHz)));
    const int middleHarmonic = static_cast<int>(std::floor(1600.0 / pitchHz));
    const int highHarmonic = static_cast<int>(std::floor(4500.0 / pitchHz));
    auto bin = [&](int harmonic) {
        const double b =
            std::floor(static_cast<double>(harmonic) * pitchHz / sampleRateHz * m + 0.5);
        // Only squared bins 0..M/2 take part.
        return static_cast<int>(std::min(b, static_cast<double>(half + 1)));
    };
    const int lowStart = bin(lowHarmonic);
    const int middle = bin(middleHarmonic);
    const int highEnd = bin(highHarmonic);
    // Only the bins the two sums read.
    halfPlan->RealPowerSpectrum(windowed, power, lowStart, highEnd - 1);
    double low = 0.0;
    for (int k = lowStart; k < middle; ++k) {
        low += power[k];
    }
    double high = 0.0;
    for (int k = middle; k < highEnd; ++k) {
        high += power[k];
    }

    // An empty or silent high band reads as the floor; an empty low band (pitch of 1600 Hz
    // or more) as the top, as log10(0) = -infinity would give.
    float db;
    if (!(high > 0.0)) {
        db = -40.0f;
    } else if (!(low > 0.0)) {
        db = -10.0f;
    } else {
        db = static_cast<float>(10.0 * std::log10(high) - 10.0 * std::log10(low));
    }
    if (db < -40.0f) {
        db = -40.0f;
    }
    if (db > -10.0f) {
        db = -10.0f;
    }
    measure.tessimDb = db;
    measure.tessim = (db + 40.0f) * 0.033333335f;
    return measure;
}

float VoiceMeasures::Jitter(const float* rawPitchHistory, int slot, float confidence,
                            float rawPitchHz, int* voicedRun) {
    float raw;
    if (confidence <= 0.2f || *voicedRun < 2) {
        raw = 0.4f;
    } else if (std::fabs(rawPitchHz) < 1e-35f) {
        *voicedRun = 0;
        raw = 0.4f;
    } else {
        raw = RelativeChange(rawPitchHistory, slot, *voicedRun, 0.4f);
    }
    raw = std::clamp(raw, 0.0f, 0.4f);
    return std::clamp(1.0f - raw * 2.5f, 0.0f, 1.0f);
}

float VoiceMeasures::Shimmer(const float* peakToPeakHistory, int slot, float confidence,
                             int voicedRun) {
    float raw;
    if (confidence <= 0.2f || voicedRun < 2) {
        raw = 0.8f;
    } else {
        raw = RelativeChange(peakToPeakHistory, slot, voicedRun, 0.8f);
    }
    raw = std::clamp(raw, 0.0f, 0.8f);
    return std::clamp(1.0f - raw * 1.25f, 0.0f, 1.0f);
}

}  // namespace melvora

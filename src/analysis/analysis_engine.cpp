#include "analysis/analysis_engine.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "analysis/window_function.h"

namespace melvora {

namespace {

// Frames beyond this many samples (over 20 s at 48000 Hz) only come from damaged settings.
constexpr double kMaximumFrameLength = 1 << 20;

// floor(rate x seconds + 0.5), or -1 when that is not a usable count.
long long SampleCount(int sampleRateHz, float seconds) {
    const double count = std::floor(static_cast<double>(sampleRateHz) * seconds + 0.5);
    if (!(count >= 0.0) || count > kMaximumFrameLength) {
        return -1;
    }
    return static_cast<long long>(count);
}

}  // namespace

constexpr float AnalysisEngine::kBandLowHz[];
constexpr float AnalysisEngine::kBandHighHz[];

AnalysisEngine::AnalysisEngine(AnalysisResultSink* sink, int sampleRateHz, float frameSeconds,
                               float skipSeconds, int minimumTransformSize)
    : sink_(sink) {
    Configure(sampleRateHz, frameSeconds, skipSeconds, minimumTransformSize);
}

bool AnalysisEngine::Configure(int sampleRateHz, float frameSeconds, float skipSeconds,
                               int minimumTransformSize) {
    slot_ = 0;
    frameLength_ = 0;
    hop_ = 0;
    transformSize_ = 0;
    sampleRateHz_ = 0;
    frame_.clear();
    windowed_.clear();
    power_.clear();
    window_.clear();
    ditherMultiplier_.clear();
    ditherIncrement_.clear();
    halfPlan_.Configure(0);
    if (sampleRateHz <= 0) {
        return false;
    }

    long long n = SampleCount(sampleRateHz, frameSeconds);
    long long h = SampleCount(sampleRateHz, skipSeconds);
    if (n < 1 || h < 1 || h > n) {
        // The intake writes each block at frame position N - H: it needs 1 <= H <= N.
        n = SampleCount(sampleRateHz, kDefaultFrameSeconds);
        h = SampleCount(sampleRateHz, kDefaultSkipSeconds);
        if (n < 1) {
            n = 1;  // rates below 13 Hz
        }
        if (h < 1 || h > n) {
            h = n;
        }
    }
    sampleRateHz_ = sampleRateHz;
    frameLength_ = static_cast<int>(n);
    hop_ = static_cast<int>(h);
    long long m = minimumTransformSize >= 2 ? minimumTransformSize : kDefaultMinimumTransformSize;
    while (m < n || m % 2 != 0) {
        m *= 2;
    }
    transformSize_ = static_cast<int>(m);

    frame_.assign(static_cast<size_t>(n), 0.0f);
    windowed_.assign(static_cast<size_t>(m), 0.0f);
    power_.assign(static_cast<size_t>(m / 2 + 1), 0.0);
    window_.assign(static_cast<size_t>(n), 0.0f);
    ditherMultiplier_.assign(static_cast<size_t>(h + 1), 1u);
    ditherIncrement_.assign(static_cast<size_t>(h + 1), 0u);
    ditherValues_ = DitherValues();
    for (long long j = 1; j <= h; ++j) {
        ditherMultiplier_[j] = ditherMultiplier_[j - 1] * kRandomMultiplier;
        ditherIncrement_[j] = ditherIncrement_[j - 1] * kRandomMultiplier + kRandomIncrement;
    }
    halfPlan_.Configure(transformSize_ / 2);
    for (int band = 0; band < kBandCount; ++band) {
        trackers_[band].Configure(sampleRateHz_, frameLength_, hop_, kBandLowHz[band],
                                  kBandHighHz[band]);
    }
    if (frameLength_ >= 2) {
        MakeWindow(window_.data(), frameLength_, kWindowHamming);
    } else {
        window_[0] = 1.0f;  // a one-point Hamming window would divide by zero
    }
    Reset();
    return true;
}

void AnalysisEngine::Reset() {
    for (float& value : frame_) {
        value = NextDither();
    }
    for (int i = 0; i < kHistorySlots; ++i) {
        rmsHistory_[i] = -200.0f;
        peakToPeakHistory_[i] = 0.0f;
        confidenceHistory_[i] = 0.0f;
        rawPitchHistory_[i] = 0.0f;
    }
}

float AnalysisEngine::DitherOf(uint32_t state) {
    const int r = static_cast<int>((state >> 16) & 0x7fff);
    // Keeps an all-zero input from leaving exact zeros in the frame.
    return static_cast<float>((0.5 - r / 32767.0) * 1e-35);
}

const float* AnalysisEngine::DitherValues() {
    // A look-up instead of a division for every zero sample; built once per process.
    static const std::vector<float> values = [] {
        std::vector<float> table(0x8000);
        for (uint32_t r = 0; r < 0x8000; ++r) {
            table[r] = DitherOf(r << 16);
        }
        return table;
    }();
    return values.data();
}

float AnalysisEngine::NextDither() {
    randomState_ = randomState_ * kRandomMultiplier + kRandomIncrement;
    return DitherOf(randomState_);
}

void AnalysisEngine::ProcessBlock(const int16_t* samples) {
    if (frameLength_ < 1) {
        return;
    }
    const int n = frameLength_;
    const int h = hop_;
    float* frame = frame_.data();

    // 1. Intake: sample + dither. The dither is below 1e-35, so a sample other than 0 absorbs
    // it exactly; only the zeros need theirs, which the jump tables give without walking the
    // generator sample by sample.
    const uint32_t state = randomState_;
    const uint32_t* multiplier = ditherMultiplier_.data();
    const uint32_t* increment = ditherIncrement_.data();
    float* intake = frame + (n - h);
    int zeros = 0;
    int clipped = 0;  // a full-scale sample: the energy bar warns of clipping
    for (int i = 0; i < h; ++i) {
        intake[i] = static_cast<float>(samples[i]);
        zeros += samples[i] == 0 ? 1 : 0;
        clipped |=
            static_cast<int>(samples[i] == INT16_MAX) | static_cast<int>(samples[i] == INT16_MIN);
    }
    if (clipped != 0) {
        clippedBlocks_.fetch_add(1, std::memory_order_relaxed);
    }
    // A voice has few zero samples: four samples at a time are passed over unless one of
    // them is 0 (the borrow test below is exact for "some 16-bit lane is 0"), and the walk
    // ends at the last zero.
    const float* dither = ditherValues_;
    for (int i = 0; zeros > 0 && i < h; i += 4) {
        if (i + 4 <= h) {
            uint64_t word;
            std::memcpy(&word, samples + i, sizeof word);
            if (((word - 0x0001000100010001ull) & ~word & 0x8000800080008000ull) == 0) {
                continue;
            }
        }
        for (int k = i; k < i + 4 && k < h; ++k) {
            if (samples[k] == 0) {
                const uint32_t s = multiplier[k + 1] * state + increment[k + 1];
                intake[k] = dither[(s >> 16) & 0x7fff];
                --zeros;
            }
        }
    }
    randomState_ = multiplier[h] * state + increment[h];

    // 2. Automatic input gain.
    AdjustInputLevel();

    // 3. Level.
    const LevelMeasure level = VoiceMeasures::Level(frame, n);
    result_.level = level.level;
    rms_ = level.rms;
    peakToPeak_ = level.peakToPeak;
    rmsHistory_[slot_] = rms_;
    peakToPeakHistory_[slot_] = peakToPeak_;

    // 4. Pitch.
    FindPitch();

    // 5. Voice activity gate.
    Gate();

    // 6. Measures on voiced frames only.
    if (result_.level > 0.0f && result_.pitchHz > 10.0f) {
        const TessimMeasure tessim =
            VoiceMeasures::Tessim(frame, window_.data(), n, result_.pitchHz, sampleRateHz_,
                                  &halfPlan_, windowed_.data(), power_.data());
        result_.tessim = tessim.tessim;
        tessimDb_ = tessim.tessimDb;
        result_.jitter = VoiceMeasures::Jitter(rawPitchHistory_, slot_, chosenConfidence_,
                                               chosenRawPitchHz_, &voicedRun_);
        result_.shimmer =
            VoiceMeasures::Shimmer(peakToPeakHistory_, slot_, chosenConfidence_, voicedRun_);
    } else {
        result_.tessim = 0.0f;
        result_.jitter = 0.0f;
        result_.shimmer = 0.0f;
    }

    // 7. Next slot.
    slot_ = (slot_ + 1) % kHistorySlots;

    // 8. Hand-off.
    if (sink_ != nullptr) {
        sink_->Publish(result_);
    }

    // 9. Slide the frame by one hop; the last H values stay until the next intake.
    if (n > h) {
        std::memmove(frame, frame + h, static_cast<size_t>(n - h) * sizeof(float));
    }
}

void AnalysisEngine::AdjustInputLevel() {
    InputLevelControl* control = inputLevel_.load();
    if (control == nullptr) {
        return;
    }
    int32_t current = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    if (!control->ReadInputLevel(&current, &minimum, &maximum)) {
        return;
    }
    const int n = frameLength_;
    int loud = 0;
    int quiet = 0;
    for (int i = 0; i < n; ++i) {
        const float magnitude = std::fabs(frame_[i]);
        loud += magnitude > 25000.0f ? 1 : 0;
        quiet += magnitude < 100.0f ? 1 : 0;
    }
    const double threshold = 0.3 * n;
    const double range = static_cast<double>(maximum) - minimum;
    if (loud > threshold) {
        // A loud voice lowers the level by 1 % per block, down to 20 % of the range.
        const long long lowered = static_cast<long long>(current * 0.99);
        const long long floor = static_cast<long long>(minimum + 0.2 * range);
        if (lowered >= floor) {
            control->ApplyInputLevel(static_cast<int32_t>(lowered));
        }
        return;
    }
    if (quiet > threshold) {
        // A quiet frame raises it by 1 % per block, up to half the range.
        const long long raised = static_cast<long long>(current * 1.01);
        const long long ceiling = static_cast<long long>(minimum + 0.5 * range);
        if (raised <= ceiling) {
            control->ApplyInputLevel(static_cast<int32_t>(raised));
        }
    }
}

void AnalysisEngine::FindPitch() {
    const float* frame = frame_.data();
    PitchReport chosen = trackers_[0].Analyse(frame);
    chosenBand_ = 0;
    for (int band = 1; band < kBandCount; ++band) {
        const PitchReport report = trackers_[band].AnalyseAfter(trackers_[0], frame);
        // Ties go to the lower band.
        if (report.confidence > chosen.confidence) {
            chosen = report;
            chosenBand_ = band;
        }
    }
    result_.pitchHz = chosen.pitchHz;
    chosenConfidence_ = chosen.confidence;
    chosenRawPitchHz_ = chosen.rawPitchHz;
    confidenceHistory_[slot_] = chosenConfidence_;
    rawPitchHistory_[slot_] = chosenRawPitchHz_;
    if (chosenConfidence_ < 0.2f) {
        voicedRun_ = 0;
    } else if (voicedRun_ < 1000000000) {  // only the last ten blocks matter; no overflow
        ++voicedRun_;
    }
}

void AnalysisEngine::Gate() {
    float rmsSum = 0.0f;
    float confidenceSum = 0.0f;
    for (int i = 0; i < kHistorySlots; ++i) {
        rmsSum += rmsHistory_[i];
        confidenceSum += confidenceHistory_[i];
    }
    const float meanRms = rmsSum * 0.1f;
    const float meanConfidence = confidenceSum * 0.1f;
    const float s = sensitivity_.load();
    if (meanRms < s * 500.0f || meanConfidence < s * 0.3f) {
        result_.level = 0.0f;
        result_.pitchHz = 0.0f;
    }
}

}  // namespace melvora

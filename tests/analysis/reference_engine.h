#pragma once

#include "analysis/analysis_result.h"
#include "analysis/analysis_engine.h"
#include "analysis/fft_plan.h"
#include "analysis/pitch_tracker.h"

#include <cstdint>
#include <vector>

namespace melvora {

// The per-block steps of the analysis engine written plainly, one loop per step, with the
// precision rules the engine keeps (double sums in eight interleaved partial sums, the
// filter's grouping of terms, single-precision measures). The engine is optimised; this one
// is not, and the equality test holds the two together.
class ReferenceEngine {
  public:
    struct Band {
        PitchReport report;
        PitchSearchTrace trace;
    };
    struct Block {
        AnalysisResult result;
        float rms = 0.0f;
        float peakToPeak = 0.0f;
        float tessimDb = 0.0f;
        int chosenBand = 0;
        float chosenConfidence = 0.0f;
        float chosenRawPitchHz = 0.0f;
        int voicedRun = 0;
        Band bands[AnalysisEngine::kBandCount];
    };

    ReferenceEngine(int sampleRateHz, float frameSeconds, float skipSeconds);

    int HopLength() const { return hop_; }
    const Block& ProcessBlock(const int16_t* samples);

  private:
    struct Tracker {
        float bandLowHz = 0.0f;
        float bandHighHz = 0.0f;
        bool filtered = false;
        const float* b = nullptr;
        const float* a = nullptr;
        int decimatedRateHz = 8000;
        int factor = 1;
        int minimumLag = 0;
        int maximumLag = 0;
        int decimatedLength = 0;
        int minimumDecimatedLag = 0;
        int maximumDecimatedLag = 0;
        float previousConfidence = 0.0f;
        float confidenceBeforePrevious = 0.0f;
        float minimumLogEnergy = 10.0f;
        float history0 = 0.0f;
        float history1 = 0.0f;
    };

    void ConfigureTracker(Tracker* tracker, float lowHz, float highHz);
    Band Analyse(Tracker* tracker);
    float DecideVoicing(Tracker* tracker, float* confidence, float pitchHz, double r0) const;
    float NextDither();

    int rate_ = 0;
    int n_ = 0;
    int hop_ = 0;
    int m_ = 0;
    std::vector<float> frame_;
    std::vector<float> window_;
    std::vector<float> windowed_;
    std::vector<double> power_;
    FftPlan halfPlan_;
    Tracker trackers_[AnalysisEngine::kBandCount];
    float rmsHistory_[kHistorySlots];
    float peakToPeakHistory_[kHistorySlots];
    float confidenceHistory_[kHistorySlots];
    float rawPitchHistory_[kHistorySlots];
    int slot_ = 0;
    uint32_t randomState_ = 1;
    Block block_;
};

}  // namespace melvora

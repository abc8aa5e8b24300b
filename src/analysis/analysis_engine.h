#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "analysis/analysis_result.h"
#include "analysis/analysis_result_sink.h"
#include "analysis/fft_plan.h"
#include "analysis/input_level_control.h"
#include "analysis/pitch_tracker.h"
#include "analysis/voice_measures.h"

namespace melvora {

// Turns the stream of 16-bit mono blocks into one AnalysisResult per block: keeps a sliding
// frame longer than a block, nudges the input level (automatic input gain), measures the
// level, runs four band pitch trackers, gates with a voice activity detector, computes
// Tessim, jitter and shimmer on voiced frames, and hands every result to its sink.
//
// Threads: ProcessBlock runs on the transport's worker thread only; construction, Configure
// and Reset run while the worker is parked. The sensitivity and the input level control may
// be changed from any thread.
class AnalysisEngine {
  public:
    static constexpr float kDefaultFrameSeconds = 0.04f;
    static constexpr float kDefaultSkipSeconds = 0.03f;
    static constexpr int kDefaultMinimumTransformSize = 1024;
    static constexpr int kBandCount = 4;
    // The search bands of the four trackers, Hz.
    static constexpr float kBandLowHz[kBandCount] = {40.0f, 240.0f, 960.0f, 1920.0f};
    static constexpr float kBandHighHz[kBandCount] = {285.0f, 1140.0f, 2280.0f, 4050.0f};

    // Creates the trackers and configures the engine. `sink` (not owned, may be null)
    // receives every result.
    AnalysisEngine(AnalysisResultSink* sink, int sampleRateHz, float frameSeconds,
                   float skipSeconds, int minimumTransformSize);
    AnalysisEngine(const AnalysisEngine&) = delete;
    AnalysisEngine& operator=(const AnalysisEngine&) = delete;

    // Frame length N = floor(rate x frame seconds + 0.5), hop H likewise from the skip
    // seconds, transform size M = the minimum transform size doubled until >= N. Settings
    // that give H > N, N = 0 or H = 0 (for example a damaged options file) fall back to the
    // default 0.04 s frame and 0.03 s skip. Ends with Reset. Returns false only for a sample
    // rate <= 0; the engine then has no frame (hop 0) and ProcessBlock does nothing.
    bool Configure(int sampleRateHz, float frameSeconds, float skipSeconds,
                   int minimumTransformSize);

    // Fills the frame with fresh dither and closes the gate histories (RMS -200, the rest 0).
    // Keeps the slot index, the voiced run, the result and the trackers' state.
    void Reset();

    // Samples per block, H.
    int HopLength() const { return hop_; }

    // Analyses one block of exactly HopLength() samples and hands the result to the sink.
    void ProcessBlock(const int16_t* samples);

    // Voice activation sensitivity s, 0..1 [0.5]: the gate needs a ten-block mean RMS of at
    // least 500 s and a mean confidence of at least 0.3 s.
    void SetVoiceActivationSensitivity(float sensitivity) { sensitivity_.store(sensitivity); }
    float VoiceActivationSensitivity() const { return sensitivity_.load(); }

    // The input level the automatic gain adjusts; null (the default) switches it off.
    void SetInputLevelControl(InputLevelControl* control) { inputLevel_.store(control); }

    void SetSink(AnalysisResultSink* sink) { sink_ = sink; }

    // Blocks so far that held a sample at full scale (32767 or -32768), for the energy
    // bar's clipping warning; read from any thread.
    uint32_t ClippedBlocks() const { return clippedBlocks_.load(std::memory_order_relaxed); }

    const AnalysisResult& Result() const { return result_; }
    int SampleRateHz() const { return sampleRateHz_; }
    int FrameLength() const { return frameLength_; }
    int TransformSize() const { return transformSize_; }
    int SlotIndex() const { return slot_; }
    int VoicedRun() const { return voicedRun_; }
    float Rms() const { return rms_; }
    float PeakToPeak() const { return peakToPeak_; }
    float ChosenConfidence() const { return chosenConfidence_; }
    float ChosenRawPitchHz() const { return chosenRawPitchHz_; }
    int ChosenBand() const { return chosenBand_; }
    float TessimDb() const { return tessimDb_; }
    const PitchTracker& Tracker(int band) const { return trackers_[band]; }
    const float* Frame() const { return frame_.data(); }

  private:
    void AdjustInputLevel();
    void FindPitch();
    void Gate();
    float NextDither();
    static float DitherOf(uint32_t state);
    static const float* DitherValues();

    AnalysisResultSink* sink_;
    std::atomic<InputLevelControl*> inputLevel_{nullptr};
    std::atomic<float> sensitivity_{0.5f};
    std::atomic<uint32_t> clippedBlocks_{0};

    int sampleRateHz_ = 0;
    int frameLength_ = 0;    // N
    int hop_ = 0;            // H
    int transformSize_ = 0;  // M

    std::vector<float> frame_;     // N samples, oldest first
    std::vector<float> windowed_;  // M values: the windowed frame padded with zeros
    std::vector<double> power_;    // M/2 + 1 squared magnitudes
    std::vector<float> window_;    // N Hamming values
    FftPlan halfPlan_;             // M/2 points: the frame is real, so half a transform does
    float rmsHistory_[kHistorySlots] = {};
    float peakToPeakHistory_[kHistorySlots] = {};
    float confidenceHistory_[kHistorySlots] = {};
    float rawPitchHistory_[kHistorySlots] = {};

    int slot_ = 0;
    int voicedRun_ = 0;
    float rms_ = 0.0f;
    float peakToPeak_ = 0.0f;
    float chosenConfidence_ = 0.0f;
    float chosenRawPitchHz_ = 0.0f;
    int chosenBand_ = 0;
    float tessimDb_ = 0.0f;
    AnalysisResult result_;

    PitchTracker trackers_[kBandCount];
    // The dither's random numbers: the Windows C runtime's rand() formula (seed 1, values
    // 0..32767), kept per engine so that the worker takes no library lock and every run of a
    // file gives the same results.
    static constexpr uint32_t kRandomMultiplier = 214013u;
    static constexpr uint32_t kRandomIncrement = 2531011u;
    uint32_t randomState_ = 1;
    // The generator's state after j steps from s is multiplier[j] x s + increment[j]
    // (modulo 2^32), j = 0..H: a block's dither values without a serial walk.
    std::vector<uint32_t> ditherMultiplier_;
    std::vector<uint32_t> ditherIncrement_;
    const float* ditherValues_ = nullptr;  // DitherOf by the state's 15 random bits
};

}  // namespace melvora

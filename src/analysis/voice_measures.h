#pragma once

#include "analysis/fft_plan.h"

namespace melvora {

// Number of slots in the engine's block histories (RMS, peak-to-peak, confidence, pitch).
constexpr int kHistorySlots = 10;

// Level of one frame and the two amplitude figures the engine keeps per block.
struct LevelMeasure {
    float level = 0.0f;       // 0..1: 0 up to an RMS of 10, 1 from an RMS of about 18400
    float rms = 0.0f;         // sample units (full scale 32767), mean removed
    float peakToPeak = 0.0f;  // largest minus smallest sample
};

// Tessim score with the intermediate figure the engine keeps.
struct TessimMeasure {
    float tessim = 0.0f;    // 0..1: -40 dB and below give 0, -10 dB and above give 1
    float tessimDb = 0.0f;  // energy above the highest harmonic <= 1600 Hz (up to the last
                            // harmonic <= 4500 Hz) against the energy below it, clamped
};

// The level, Tessim, jitter and shimmer measures of the analysis engine.
class VoiceMeasures {
  public:
    // 10 log10(32767^2 - 1) - 5 = 85.30873 dB: the level that maps to 1.
    static float LevelCeilingDb();

    // Level of frame[0..n-1] (n >= 1): log power of the frame with its mean removed, 20 dB
    // mapped to 0 and the ceiling to 1.
    static LevelMeasure Level(const float* frame, int n);

    // Tessim of frame[0..n-1] at pitchHz (> 0) over an M-point forward transform of the
    // Hamming-windowed frame padded with zeros, M = 2 x halfPlan->Size() >= n. `window`
    // holds n window values, `windowed` M floats and `power` M/2 + 1 doubles of work space.
    // Only the bins up to M/2 are summed: at rates below 9000 Hz the last harmonic below
    // 4500 Hz lies above the Nyquist frequency, and the bins past it only mirror the others.
    static TessimMeasure Tessim(const float* frame, const float* window, int n, float pitchHz,
                                int sampleRateHz, FftPlan* halfPlan, float* windowed,
                                double* power);

    // Jitter score 0..1 (1 = steady) from the raw pitch history (kHistorySlots values, `slot`
    // holding this block's). A confident frame without a raw pitch ends the voiced run
    // (*voicedRun = 0).
    static float Jitter(const float* rawPitchHistory, int slot, float confidence, float rawPitchHz,
                        int* voicedRun);

    // Shimmer score 0..1 (1 = steady) from the peak-to-peak history, after Jitter.
    static float Shimmer(const float* peakToPeakHistory, int slot, float confidence, int voicedRun);
};

}  // namespace melvora

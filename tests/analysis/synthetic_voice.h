#pragma once

#include "analysis/analysis_engine.h"
#include "analysis/analysis_result_sink.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace melvora {

// Test signals that behave like a sung voice: a Rosenberg glottal pulse train (the flow
// derivative, as the lips radiate it), so every harmonic is present with a falling slope,
// not only the fundamental.
struct VoiceTrack {
    // Pitch in Hz and peak amplitude in sample units, as functions of time in seconds.
    std::function<double(double)> pitchHz;
    std::function<double(double)> peakAmplitude;
};

// `seconds` of the voice at `sampleRateHz`, rounded and clipped to 16 bits.
std::vector<int16_t> SynthesizeVoice(int sampleRateHz, double seconds, const VoiceTrack& track);

// A steady voice: one pitch, one peak amplitude.
std::vector<int16_t> SteadyVoice(int sampleRateHz, double seconds, double pitchHz,
                                 double peakAmplitude);

// A pure sine of the given amplitude.
std::vector<int16_t> Sine(int sampleRateHz, double seconds, double frequencyHz, double amplitude);

// For the tests that run the command-line tools: a whole file as text ("" when missing), a
// text cut at `separator`, and `samples` written as 16-bit PCM into every channel.
std::string ReadText(const std::string& path);
std::vector<std::string> Split(const std::string& text, char separator);
bool WriteWave(const std::string& path, int sampleRateHz, const std::vector<int16_t>& samples,
               int channels = 1);

// What the engine handed over for one block, with the figures behind it.
struct BlockOutcome {
    AnalysisResult result;
    float rawPitchHz = 0.0f;
    float confidence = 0.0f;
    int band = 0;
};

// Keeps every result the engine publishes.
class RecordingSink : public AnalysisResultSink {
  public:
    void Publish(const AnalysisResult& result) override { results.push_back(result); }
    std::vector<AnalysisResult> results;
};

// Feeds `samples` block by block (the last partial block is dropped) and returns one outcome
// per block.
std::vector<BlockOutcome> RunBlocks(AnalysisEngine* engine, const std::vector<int16_t>& samples);

// Feeds `seconds` of digital silence, as the microphone delivers before anyone sings.
void SettleOnSilence(AnalysisEngine* engine, double seconds);

}  // namespace melvora

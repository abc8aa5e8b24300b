#pragma once

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

// The true lag (period in samples, not rounded) of a pitch.
inline double TrueLag(int sampleRateHz, double pitchHz) {
    return sampleRateHz / pitchHz;
}

// For the tests that run the command-line tools: a whole file as text ("" when missing), a
// text cut at `separator`, and `samples` written as 16-bit PCM into every channel.
std::string ReadText(const std::string& path);
std::vector<std::string> Split(const std::string& text, char separator);
bool WriteWave(const std::string& path, int sampleRateHz, const std::vector<int16_t>& samples,
               int channels = 1);

}  // namespace melvora

// melvora-sample-gen: writes the sung phrase that ships as data/sample.wav.
//
// A vowel-like voice ("ah": formants at 730, 1090 and 2440 Hz over a source falling 6 dB per
// octave) sings C4 D4 E4 F4 G4 E4, a breath, then C4, with glides between the notes and a
// delayed vibrato, at 22050 Hz, mono, 16-bit. Everything is computed, nothing is random, so
// the file can be rebuilt: melvora-sample-gen data/sample.wav

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "audio/wave_file.h"

namespace {

constexpr int kRateHz = 22050;
constexpr double kPi = 3.14159265358979323846;

struct SungNote {
    double pitchHz;
    double seconds;
    double restAfterSeconds;  // silence after the note (a breath)
};

const SungNote kPhrase[] = {
    {261.63, 0.55, 0.0}, {293.66, 0.55, 0.0},  {329.63, 0.55, 0.0}, {349.23, 0.55, 0.0},
    {392.00, 0.70, 0.0}, {329.63, 0.55, 0.15}, {261.63, 0.90, 0.0},
};

constexpr double kLeadSeconds = 0.3;
constexpr double kTailSeconds = 0.3;
constexpr double kGlideSeconds = 0.05;
constexpr double kFadeSeconds = 0.04;

// Gain of a cascade of three resonances at frequency f (1 at 0 Hz).
double VowelGain(double f) {
    const double formants[3][2] = {{730.0, 90.0}, {1090.0, 110.0}, {2440.0, 170.0}};
    double gain = 1.0;
    for (const auto& formant : formants) {
        const double ratio = f / formant[0];
        const double damping = f * formant[1] / (formant[0] * formant[0]);
        gain /= std::sqrt((1.0 - ratio * ratio) * (1.0 - ratio * ratio) + damping * damping);
    }
    return gain;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: melvora-sample-gen OUT.wav\n");
        return 2;
    }
    std::vector<double> voice(static_cast<size_t>(kLeadSeconds * kRateHz), 0.0);
    double phase = 0.0;  // of the fundamental, in periods
    double previousPitch = kPhrase[0].pitchHz;
    uint32_t noiseState = 12345;
    for (const SungNote& note : kPhrase) {
        const size_t count = static_cast<size_t>(note.seconds * kRateHz);
        for (size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRateHz;
            // Glide from the previous note, then a vibrato that sets in after 0.2 s.
            double pitch = note.pitchHz;
            if (t < kGlideSeconds) {
                const double x = t / kGlideSeconds;
                pitch =
                    previousPitch + (note.pitchHz - previousPitch) * (3 * x * x - 2 * x * x * x);
            }
            const double vibratoDepth = std::clamp((t - 0.2) / 0.2, 0.0, 1.0) * 0.012;
            pitch *= 1.0 + vibratoDepth * std::sin(2.0 * kPi * 5.5 * t);
            phase += pitch / kRateHz;
            phase -= std::floor(phase);

            double sample = 0.0;
            for (int k = 1; k * pitch < 0.45 * kRateHz; ++k) {
                sample += VowelGain(k * pitch) / k * std::sin(2.0 * kPi * k * phase);
            }
            // A breath of noise, 40 dB down.
            noiseState = noiseState * 1664525u + 1013904223u;
            sample += 0.01 * (static_cast<double>(noiseState >> 8) / 16777216.0 - 0.5);

            const double remaining = note.seconds - t;
            double envelope = 1.0;
            if (note.restAfterSeconds > 0.0 || &note == &kPhrase[0] ||
                &note == &kPhrase[sizeof(kPhrase) / sizeof(kPhrase[0]) - 1]) {
                envelope = std::min(1.0, std::min(t, remaining) / kFadeSeconds);
            }
            voice.push_back(sample * envelope);
        }
        previousPitch = note.pitchHz;
        voice.resize(voice.size() + static_cast<size_t>(note.restAfterSeconds * kRateHz), 0.0);
    }
    voice.resize(voice.size() + static_cast<size_t>(kTailSeconds * kRateHz), 0.0);

    double peak = 0.0;
    for (double v : voice) {
        peak = std::max(peak, std::fabs(v));
    }
    std::vector<int16_t> samples(voice.size());
    for (size_t i = 0; i < voice.size(); ++i) {
        samples[i] = static_cast<int16_t>(std::lround(voice[i] / peak * 16000.0));
    }

    std::unique_ptr<melvora::WaveFile> file =
        melvora::WaveFile::CreateForWriting(argv[1], kRateHz, 16, 1, melvora::WaveFile::kFormatPcm);
    if (!file || file->State() != melvora::WaveFileState::Writing ||
        file->WriteMono(samples.data(), static_cast<int32_t>(samples.size())) !=
            static_cast<int32_t>(samples.size())) {
        std::fprintf(stderr, "melvora-sample-gen: cannot write %s\n", argv[1]);
        return 2;
    }
    file->Close();
    if (file->State() != melvora::WaveFileState::Closed) {
        std::fprintf(stderr, "melvora-sample-gen: cannot complete %s\n", argv[1]);
        return 2;
    }
    return 0;
}

#include "synthetic_voice.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "audio/wave_file.h"

namespace melvora {

namespace {

// Rosenberg glottal flow over one period, phase 0..1: opening for 40 % of the period,
// closing for 16 %, closed for the rest.
double GlottalFlow(double phase) {
    const double open = 0.40;
    const double closing = 0.16;
    if (phase < open) {
        return 0.5 * (1.0 - std::cos(M_PI * phase / open));
    }
    if (phase < open + closing) {
        return std::cos(0.5 * M_PI * (phase - open) / closing);
    }
    return 0.0;
}

int16_t ToSample(double value) {
    const double rounded = std::floor(value + 0.5);
    return static_cast<int16_t>(std::clamp(rounded, -32768.0, 32767.0));
}

}  // namespace

std::vector<int16_t> SynthesizeVoice(int sampleRateHz, double seconds, const VoiceTrack& track) {
    const size_t count = static_cast<size_t>(seconds * sampleRateHz + 0.5);
    std::vector<int16_t> samples(count);
    double phase = 0.0;
    double previousFlow = 0.0;
    // The steepest slope of the flow (at closure) per unit of phase, to scale the derivative
    // to a peak of about 1.
    const double steepest = 0.5 * M_PI / 0.16;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sampleRateHz;
        const double f0 = track.pitchHz(t);
        const double step = f0 / sampleRateHz;
        phase += step;
        phase -= std::floor(phase);
        const double flow = GlottalFlow(phase);
        const double derivative = (flow - previousFlow) / step / steepest;
        previousFlow = flow;
        samples[i] = ToSample(derivative * track.peakAmplitude(t));
    }
    return samples;
}

std::vector<int16_t> SteadyVoice(int sampleRateHz, double seconds, double pitchHz,
                                 double peakAmplitude) {
    return SynthesizeVoice(
        sampleRateHz, seconds,
        {[pitchHz](double) { return pitchHz; }, [peakAmplitude](double) { return peakAmplitude; }});
}

std::vector<int16_t> Sine(int sampleRateHz, double seconds, double frequencyHz, double amplitude) {
    const size_t count = static_cast<size_t>(seconds * sampleRateHz + 0.5);
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = ToSample(amplitude * std::sin(2.0 * M_PI * frequencyHz * i / sampleRateHz));
    }
    return samples;
}

std::string ReadText(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

bool WriteWave(const std::string& path, int sampleRateHz, const std::vector<int16_t>& samples,
               int channels) {
    auto file = WaveFile::CreateForWriting(path, static_cast<uint32_t>(sampleRateHz), 16,
                                           static_cast<uint16_t>(channels), WaveFile::kFormatPcm);
    const int32_t count = static_cast<int32_t>(samples.size());
    const bool written = file->WriteMono(samples.data(), count) == count;
    file->Close();
    return written && file->State() == WaveFileState::Closed;
}

std::vector<BlockOutcome> RunBlocks(AnalysisEngine* engine, const std::vector<int16_t>& samples) {
    std::vector<BlockOutcome> outcomes;
    const size_t hop = static_cast<size_t>(engine->HopLength());
    for (size_t start = 0; hop > 0 && start + hop <= samples.size(); start += hop) {
        engine->ProcessBlock(samples.data() + start);
        BlockOutcome outcome;
        outcome.result = engine->Result();
        outcome.rawPitchHz = engine->ChosenRawPitchHz();
        outcome.confidence = engine->ChosenConfidence();
        outcome.band = engine->ChosenBand();
        outcomes.push_back(outcome);
    }
    return outcomes;
}

void SettleOnSilence(AnalysisEngine* engine, double seconds) {
    const size_t count = static_cast<size_t>(seconds * engine->SampleRateHz());
    RunBlocks(engine, std::vector<int16_t>(count, 0));
}

}  // namespace melvora

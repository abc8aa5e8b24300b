// The optimised engine against the plain reference: every lag, voicing and band decision the
// same, pitch and notes equal, the measures equal far inside their printed rounding.

#include "analysis/analysis_engine.h"
#include "analysis/note.h"
#include "audio/wave_file.h"

#include "reference_engine.h"
#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <tuple>

namespace melvora {
namespace {

// data/sample.wav (22050 Hz) brought to `rate` by linear interpolation.
std::vector<int16_t> SampleAt(int rate) {
    std::unique_ptr<WaveFile> file =
        WaveFile::OpenForReading(std::string(MELVORA_SOURCE_DIR) + "/data/sample.wav");
    if (!file || file->State() != WaveFileState::Reading) {
        return {};
    }
    std::vector<int16_t> source(static_cast<size_t>(file->FrameCount()));
    EXPECT_EQ(file->ReadMono(source.data(), static_cast<int32_t>(source.size())),
              static_cast<int32_t>(source.size()));
    const double step = static_cast<double>(file->SampleRateHz()) / rate;
    std::vector<int16_t> out(static_cast<size_t>((source.size() - 1) / step));
    for (size_t i = 0; i < out.size(); ++i) {
        const double position = i * step;
        const size_t j = static_cast<size_t>(position);
        const double f = position - j;
        out[i] = static_cast<int16_t>(std::lround(source[j] * (1.0 - f) + source[j + 1] * f));
    }
    return out;
}

// The test voices: a glide over three octaves with a swelling level, steady voices low and
// high with silence between them, and the shipped sample.
std::vector<int16_t> Voices(int rate) {
    std::vector<int16_t> all(static_cast<size_t>(rate / 2), 0);
    VoiceTrack glide;
    glide.pitchHz = [](double t) { return 90.0 * std::pow(2.0, t); };
    glide.peakAmplitude = [](double t) { return 400.0 + 9000.0 * std::fabs(std::sin(2.0 * t)); };
    for (const std::vector<int16_t>& part :
         {SynthesizeVoice(rate, 3.0, glide), std::vector<int16_t>(rate / 4, 0),
          SteadyVoice(rate, 0.8, 110.0, 12000.0), SteadyVoice(rate, 0.8, 523.0, 6000.0),
          std::vector<int16_t>(rate / 5, 0), SteadyVoice(rate, 0.6, 1500.0, 3000.0),
          Sine(rate, 0.6, 200.0, 20000.0), SampleAt(rate)}) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class EngineEquality : public ::testing::TestWithParam<int> {};

TEST_P(EngineEquality, SameDecisionsAsTheReference) {
    const int rate = GetParam();
    AnalysisEngine engine(nullptr, rate, 0.04f, 0.03f, 1024);
    ReferenceEngine reference(rate, 0.04f, 0.03f);
    ASSERT_EQ(engine.HopLength(), reference.HopLength());
    const std::vector<int16_t> samples = Voices(rate);
    const size_t hop = static_cast<size_t>(engine.HopLength());
    int voiced = 0;
    int block = 0;
    for (size_t start = 0; start + hop <= samples.size(); start += hop, ++block) {
        engine.ProcessBlock(samples.data() + start);
        const ReferenceEngine::Block& want = reference.ProcessBlock(samples.data() + start);
        SCOPED_TRACE(testing::Message() << rate << " Hz, block " << block);
        for (int band = 0; band < AnalysisEngine::kBandCount; ++band) {
            const PitchSearchTrace& got = engine.Tracker(band).LastSearch();
            const PitchReport& report = engine.Tracker(band).LastReport();
            ASSERT_EQ(got.coarseLag, want.bands[band].trace.coarseLag) << "band " << band;
            ASSERT_EQ(got.fineStartLag, want.bands[band].trace.fineStartLag) << "band " << band;
            ASSERT_EQ(got.fineEndLag, want.bands[band].trace.fineEndLag) << "band " << band;
            ASSERT_EQ(got.fineLag, want.bands[band].trace.fineLag) << "band " << band;
            ASSERT_EQ(report.confidence, want.bands[band].report.confidence) << "band " << band;
            ASSERT_EQ(report.pitchHz, want.bands[band].report.pitchHz) << "band " << band;
        }
        ASSERT_EQ(engine.ChosenBand(), want.chosenBand);
        ASSERT_EQ(engine.VoicedRun(), want.voicedRun);
        const AnalysisResult& r = engine.Result();
        ASSERT_EQ(r.pitchHz, want.result.pitchHz);
        ASSERT_EQ(Note::FromFrequency(r.pitchHz), Note::FromFrequency(want.result.pitchHz));
        ASSERT_EQ(r.level, want.result.level);
        ASSERT_EQ(r.jitter, want.result.jitter);
        ASSERT_EQ(r.shimmer, want.result.shimmer);
        // Tessim sums only the bins it needs; printed to four decimals it must not move.
        ASSERT_NEAR(r.tessim, want.result.tessim, 1e-6);
        voiced += r.pitchHz > 0.0f ? 1 : 0;
    }
    // The comparison saw real singing, not only silence.
    EXPECT_GT(voiced, block / 3);
}

// The low-pass path at every rate of its table that the program offers, and the direct path
// (no input filter) at two rates outside it.
INSTANTIATE_TEST_SUITE_P(Rates, EngineEquality,
                         ::testing::Values(8000, 11025, 16000, 22050, 44100, 12000, 24000));

}  // namespace
}  // namespace melvora

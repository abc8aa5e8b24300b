#include "analysis/analysis_engine.h"

#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace melvora {
namespace {

// One of the signals no voice makes, full scale where it is not silence or an offset.
std::vector<int16_t> HostileSignal(int kind, int rate, double seconds = 1.0) {
    std::vector<int16_t> samples(static_cast<size_t>(rate * seconds), 0);  // 0: silence
    std::mt19937 random(99);
    std::uniform_int_distribution<int> noise(-32768, 32767);
    for (size_t i = 0; kind != 0 && i < samples.size(); ++i) {
        samples[i] = kind == 1   ? 20000                                 // DC offset
                     : kind == 2 ? ((i / 50) % 2 == 0 ? 32767 : -32768)  // square
                     : kind == 3 ? static_cast<int16_t>(noise(random))   // white noise
                                 : (i % 2 == 0 ? 32767 : -32768);        // Nyquist
    }
    return samples;
}

// Every field of a block, and the figures behind it, is a finite number.
bool AllFinite(const BlockOutcome& b) {
    return std::isfinite(b.result.level + b.result.pitchHz + b.result.tessim + b.result.jitter +
                         b.result.shimmer + b.confidence + b.rawPitchHz);
}

// Settings the intake cannot work with (H > N, N = 0, H = 0, nonsense) fall back to the
// default frame and skip instead of writing past the frame; H == N is allowed.
TEST(AnalysisEngineSizes, UnusableFrameAndSkipFallBackToTheDefaults) {
    AnalysisEngine engine(nullptr, 44100, 0.04f, 0.03f, 1024);
    EXPECT_EQ(engine.TransformSize(), 2048);
    const float bad[][2] = {{0.03f, 0.04f}, {0.0f, 0.03f},  {0.04f, 0.0f},
                            {NAN, 0.03f},   {0.04f, -1.0f}, {1e30f, 0.03f}};
    for (const auto& setting : bad) {
        SCOPED_TRACE(testing::Message() << setting[0] << " " << setting[1]);
        ASSERT_TRUE(engine.Configure(44100, setting[0], setting[1], 1024));
        EXPECT_EQ(engine.FrameLength(), 1764);
        EXPECT_EQ(engine.HopLength(), 1323);
        const std::vector<int16_t> block(1323, 1000);
        engine.ProcessBlock(block.data());
        EXPECT_TRUE(std::isfinite(engine.Result().level));
    }
    AnalysisEngine equal(nullptr, 16000, 0.03f, 0.03f, 1024);
    EXPECT_EQ(equal.FrameLength(), 480);
    EXPECT_EQ(equal.HopLength(), 480);
    RecordingSink sink;
    AnalysisEngine inert(&sink, 0, 0.04f, 0.03f, 1024);
    EXPECT_EQ(inert.HopLength(), 0);
    const int16_t sample = 0;
    inert.ProcessBlock(&sample);
    EXPECT_TRUE(sink.results.empty());
    // A frame so short that the lowest band has no lag to search: that band never wins and no
    // field becomes infinite or not a number.
    ASSERT_TRUE(engine.Configure(44100, 0.003f, 0.002f, 1024));
    ASSERT_EQ(engine.FrameLength(), 132);
    ASSERT_GT(engine.Tracker(0).MinimumDecimatedLag(), engine.Tracker(0).MaximumDecimatedLag());
    SettleOnSilence(&engine, 0.3);
    int voiced = 0;
    for (const BlockOutcome& block : RunBlocks(&engine, Sine(44100, 0.5, 1000.0, 10000.0))) {
        ASSERT_TRUE(AllFinite(block));
        EXPECT_NE(block.band, 0);
        voiced += block.result.pitchHz > 0.0f ? 1 : 0;
    }
    EXPECT_GT(voiced, 100);
}

// The 220 Hz example through the whole pipeline: once the gate is open every block is handed
// over with the fine-search pitch 220.5 Hz and the scores of a steady pure tone.
TEST(AnalysisEnginePipeline, Tone220HzReads220Point5AndFullScaleBlocksAreCounted) {
    RecordingSink sink;
    AnalysisEngine engine(&sink, 44100, 0.04f, 0.03f, 1024);
    SettleOnSilence(&engine, 0.5);
    sink.results.clear();
    const std::vector<BlockOutcome> blocks = RunBlocks(&engine, Sine(44100, 1.0, 220.0, 10000.0));
    EXPECT_EQ(sink.results.size(), blocks.size());
    for (size_t i = 3; i < blocks.size(); ++i) {
        const AnalysisResult& r = blocks[i].result;
        EXPECT_FLOAT_EQ(r.pitchHz, 220.5f) << i;
        EXPECT_EQ(blocks[i].band, 0);
        EXPECT_NEAR(r.level, (10.0f * std::log10(5e7f) - 20.0f) / 65.30873f, 0.01f);
        EXPECT_FLOAT_EQ(r.jitter, 1.0f);
        EXPECT_NEAR(r.shimmer, 1.0f, 0.01f);
        EXPECT_EQ(r.tessim, 0.0f);  // a pure tone has nothing above 1600 Hz
    }
    // Blocks holding a sample at full scale, either sign, are counted for the clipping
    // warning; a loud voice below full scale is not.
    RunBlocks(&engine, Sine(44100, 0.3, 220.0, 32000.0));
    EXPECT_EQ(engine.ClippedBlocks(), 0u);
    std::vector<int16_t> block(static_cast<size_t>(engine.HopLength()), 0);
    for (int16_t peak : {32767, -32768, -32767}) {
        block[17] = peak;
        engine.ProcessBlock(block.data());
    }
    EXPECT_EQ(engine.ClippedBlocks(), 2u);
}

// The gate after a reset (-200 in every RMS slot) at sensitivity s: with s = 0.5 a loud
// steady voice opens it on the second block; with s = 0 it closes only while a mean is
// negative, so a steady RMS of 50 outweighs the -200 slots after nine blocks (the first
// block's frame is one quarter dither); s = 1 needs a mean RMS of 500.
TEST(AnalysisEngineGate, OpensAsTheSensitivityAsks) {
    AnalysisEngine engine(nullptr, 16000, 0.04f, 0.03f, 1024);
    SettleOnSilence(&engine, 0.3);
    // Fill the frame with voice first so that every block after the reset sees a full frame.
    const std::vector<int16_t> voice = SteadyVoice(16000, 1.0, 200.0, 12000.0);
    RunBlocks(&engine, std::vector<int16_t>(voice.begin(), voice.begin() + 480 * 4));
    engine.Reset();
    std::vector<BlockOutcome> blocks =
        RunBlocks(&engine, std::vector<int16_t>(voice.begin() + 480 * 4, voice.end()));
    ASSERT_GT(engine.Rms(), 1500.0f);
    EXPECT_EQ(blocks[0].result.level + blocks[0].result.pitchHz, 0.0f);
    EXPECT_GT(blocks[1].result.level, 0.0f);
    EXPECT_GT(blocks[1].result.pitchHz, 0.0f);

    engine.SetVoiceActivationSensitivity(0.0f);
    SettleOnSilence(&engine, 0.3);
    engine.Reset();
    // 250 Hz over 640 samples is ten whole periods: an RMS of exactly 50.
    blocks = RunBlocks(&engine, Sine(16000, 0.5, 250.0, 50.0 * std::sqrt(2.0)));
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].result.level > 0.0f, i >= 8) << i;
    }

    ASSERT_TRUE(engine.Configure(22050, 0.04f, 0.03f, 1024));
    engine.SetVoiceActivationSensitivity(1.0f);
    SettleOnSilence(&engine, 0.5);
    // Peak 1200 of this pulse shape is an RMS of about 300: never enough.
    for (const BlockOutcome& block : RunBlocks(&engine, SteadyVoice(22050, 1.0, 150.0, 1200.0))) {
        EXPECT_EQ(block.result.level + block.result.pitchHz, 0.0f);
    }
    blocks = RunBlocks(&engine, SteadyVoice(22050, 1.0, 150.0, 12000.0));
    EXPECT_GT(blocks.back().result.level, 0.0f);
    EXPECT_GT(blocks.back().result.pitchHz, 0.0f);
}

// A stand-in for the mixer's input level control.
class FakeInputLevel : public InputLevelControl {
  public:
    bool ReadInputLevel(int32_t* current, int32_t* minimum, int32_t* maximum) override {
        *current = value;
        *minimum = 0;
        *maximum = 65535;
        return available;
    }
    void ApplyInputLevel(int32_t v) override { applied.push_back(value = v); }
    int32_t value = 40000;
    bool available = true;
    std::vector<int32_t> applied;
};

std::vector<int32_t> GainSteps(FakeInputLevel* control, const std::vector<int16_t>& input) {
    AnalysisEngine engine(nullptr, 16000, 0.04f, 0.03f, 1024);
    engine.SetInputLevelControl(control);
    RunBlocks(&engine, input);
    return control->applied;
}

TEST(AnalysisEngineInputGain, LoudLowersByOnePercentToTwentyPercentQuietRaisesToHalf) {
    FakeInputLevel loud;
    std::vector<int32_t> steps = GainSteps(&loud, HostileSignal(2, 16000, 6.0));
    ASSERT_GE(steps.size(), 3u);
    // First block: only 480 of 640 samples are loud (75 % > 30 %).
    EXPECT_EQ(std::vector<int32_t>(steps.begin(), steps.begin() + 3),
              (std::vector<int32_t>{39600, 39204, 38811}));
    // 20 % of 0..65535 is 13107: the level stops just above it.
    EXPECT_GE(loud.value, 13107);
    EXPECT_LT(static_cast<int>(loud.value * 0.99), 13107);

    FakeInputLevel quiet;
    quiet.value = 30000;
    steps = GainSteps(&quiet, std::vector<int16_t>(16000, 0));
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(std::vector<int32_t>(steps.begin(), steps.begin() + 2),
              (std::vector<int32_t>{30300, 30603}));
    EXPECT_LE(quiet.value, 32767);
    EXPECT_GT(static_cast<int>(quiet.value * 1.01), 32767);

    FakeInputLevel absent;
    absent.available = false;
    EXPECT_TRUE(GainSteps(&absent, HostileSignal(2, 16000, 0.5)).empty());
    EXPECT_EQ(absent.value, 40000);
}

// Hostile input never produces NaN or infinity, every score stays in its range, and every
// filter of the table stays bounded (at 8000 Hz the frame is copied instead of running the
// unstable coefficient set listed for that rate).
class HostileInput : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(HostileInput, NoFieldIsEverNotANumberOrInfinite) {
    const auto [rate, kind] = GetParam();
    AnalysisEngine engine(nullptr, rate, 0.04f, 0.03f, 1024);
    engine.SetVoiceActivationSensitivity(0.0f);  // let everything through the gate
    SettleOnSilence(&engine, 0.3);
    const std::vector<BlockOutcome> blocks = RunBlocks(&engine, HostileSignal(kind, rate));
    for (size_t i = 0; i < blocks.size(); ++i) {
        const AnalysisResult& r = blocks[i].result;
        ASSERT_TRUE(AllFinite(blocks[i]));
        for (float v : {r.level, r.tessim, r.jitter, r.shimmer}) {
            ASSERT_GE(v, 0.0f);
            ASSERT_LE(v, 1.0f);
        }
        ASSERT_GE(r.pitchHz, 0.0f);
        // Silence, or a frame all offset, reads as silence.
        if (kind == 0 || (kind == 1 && i >= 2)) {
            EXPECT_EQ(r.level, 0.0f) << i;
        }
        if (kind == 0) {
            EXPECT_EQ(r.pitchHz + r.tessim + r.jitter + r.shimmer, 0.0f) << i;
        }
    }
    const std::vector<double>& filtered = engine.Tracker(0).FilteredFrame();
    EXPECT_EQ(filtered.empty(), !engine.Tracker(0).UsesFilteredPath());
    for (double v : filtered) {
        ASSERT_LT(std::fabs(v), rate == 8000 ? 32768.5 : 65536.0);
    }
}

INSTANTIATE_TEST_SUITE_P(RatesAndSignals, HostileInput,
                         ::testing::Combine(::testing::Values(8000, 11025, 12000, 16000, 22050,
                                                              32000, 44100, 48000),
                                            ::testing::Values(0, 1, 2, 3, 4)));

}  // namespace
}  // namespace melvora

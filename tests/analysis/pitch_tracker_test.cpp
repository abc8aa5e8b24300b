#include "analysis/pitch_tracker.h"

#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace melvora {
namespace {

// The four search bands of the engine.
constexpr float kBands[4][2] = {
    {40.0f, 285.0f}, {240.0f, 1140.0f}, {960.0f, 2280.0f}, {1920.0f, 4050.0f}};

std::vector<float> FrameAt(const std::vector<int16_t>& samples, size_t start, int n) {
    std::vector<float> frame(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        frame[i] = samples[start + static_cast<size_t>(i)];
    }
    return frame;
}

// One frame of dither-level silence, so the silence detector settles on a quiet floor as it
// does when the microphone runs before anyone sings.
void FeedSilence(PitchTracker* tracker, int n) {
    std::vector<float> quiet(static_cast<size_t>(n), 1e-35f);
    tracker->Analyse(quiet.data());
}

// Lags of the four bands for the default frame at 44100 Hz, and the decimation of the
// listed working rates (12000 Hz is not listed: no filter).
TEST(PitchTrackerLags, BandsWorkingRatesAndUnusableSettings) {
    const int lags[4][4] = {{154, 1102, 30, 220}, {38, 183, 7, 36}, {19, 45, 3, 9}, {10, 22, 2, 4}};
    for (int band = 0; band < 4; ++band) {
        PitchTracker tracker;
        ASSERT_TRUE(tracker.Configure(44100, 1764, 1323, kBands[band][0], kBands[band][1]));
        EXPECT_EQ(std::vector<int>({tracker.MinimumLag(), tracker.MaximumLag(),
                                    tracker.MinimumDecimatedLag(), tracker.MaximumDecimatedLag()}),
                  std::vector<int>(lags[band], lags[band] + 4))
            << band;
    }
    // rate, frame, decimated rate, factor, decimated length
    const int rows[][5] = {{44100, 1764, 8820, 5, 353}, {16000, 640, 8000, 2, 320},
                           {8000, 320, 8000, 1, 320},   {11025, 441, 11025, 1, 441},
                           {22050, 882, 11025, 2, 441}, {32000, 1280, 8000, 4, 320},
                           {48000, 1920, 8000, 6, 320}};
    for (const auto& row : rows) {
        PitchTracker tracker;
        ASSERT_TRUE(tracker.Configure(row[0], row[1], 1, 40.0f, 285.0f));
        EXPECT_TRUE(tracker.UsesFilteredPath()) << row[0];
        EXPECT_EQ(std::vector<int>({tracker.DecimatedRateHz(), tracker.DecimationFactor(),
                                    tracker.DecimatedLength()}),
                  std::vector<int>(row + 2, row + 5))
            << row[0];
    }
    PitchTracker tracker;
    ASSERT_TRUE(tracker.Configure(12000, 480, 360, 40.0f, 285.0f));
    EXPECT_FALSE(tracker.UsesFilteredPath());
    // Unusable settings are refused, and the tracker then reports nothing.
    EXPECT_FALSE(tracker.Configure(0, 640, 480, 40.0f, 285.0f));
    EXPECT_FALSE(tracker.Configure(16000, 0, 480, 40.0f, 285.0f));
    EXPECT_FALSE(tracker.Configure(16000, 640, 480, 285.0f, 40.0f));
    const float frame[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    const PitchReport report = tracker.Analyse(frame);
    EXPECT_EQ(report.pitchHz, 0.0f);
    EXPECT_EQ(report.confidence, 0.0f);
}

// The worked example: a pure 220 Hz tone at 44100 Hz, frame 1764.
TEST(PitchTrackerExample, Tone220HzAt44100) {
    PitchTracker tracker;
    ASSERT_TRUE(tracker.Configure(44100, 1764, 1323, 40.0f, 285.0f));
    FeedSilence(&tracker, 1764);
    const std::vector<int16_t> tone = Sine(44100, 1.0, 220.0, 10000.0);
    for (int frame = 0; frame < 5; ++frame) {
        const std::vector<float> x = FrameAt(tone, static_cast<size_t>(frame) * 1323, 1764);
        const PitchReport report = tracker.Analyse(x.data());
        const PitchSearchTrace& search = tracker.LastSearch();
        EXPECT_EQ(std::vector<int>(
                      {search.coarseLag, search.fineStartLag, search.fineEndLag, search.fineLag}),
                  std::vector<int>({40, 191, 209, 200}));
        EXPECT_NEAR(report.confidence, 0.9f, 0.05f);
        EXPECT_FLOAT_EQ(report.rawPitchHz, 220.5f);
        // The smoothing delays the note by one frame.
        EXPECT_FLOAT_EQ(report.pitchHz, frame == 0 ? 0.0f : 220.5f) << frame;
    }
    // One unvoiced frame after the note still reports the held pitch (median of 220.5,
    // 220.5, 0), the next one nothing.
    std::vector<float> quiet(1764, 1e-35f);
    EXPECT_FLOAT_EQ(tracker.Analyse(quiet.data()).pitchHz, 220.5f);
    EXPECT_EQ(tracker.Analyse(quiet.data()).pitchHz, 0.0f);
}

// Frames with a known confidence on the direct path (12000 Hz, no filter, no fine search): two
// impulses 100 samples apart correlate only at lag 100, with confidence e / (1 + e^2).
std::vector<float> ImpulsePair(double echo) {
    std::vector<float> frame(480, 0.0f);
    frame[10] = 30000.0f;
    frame[110] = static_cast<float>(30000.0 * echo);
    return frame;
}

// 12000 Hz is not listed: searched directly, without the one-frame smoothing delay.
TEST(PitchTrackerVoicing, WeakFrameInsideAVoicedStretchIsHeldAndQuietFramesHaveNoPitch) {
    const std::vector<float> voiced = ImpulsePair(0.9);
    const std::vector<float> weak = ImpulsePair(0.05);  // confidence about 0.05
    const std::vector<float> flat = ImpulsePair(0.0);   // confidence 0
    PitchTracker tracker;
    ASSERT_TRUE(tracker.Configure(12000, 480, 360, 40.0f, 285.0f));
    FeedSilence(&tracker, 480);
    auto expect = [&tracker](const std::vector<float>& frame, float confidence, float pitchHz) {
        const PitchReport report = tracker.Analyse(frame.data());
        EXPECT_NEAR(report.confidence, confidence, 1e-6f);
        EXPECT_FLOAT_EQ(report.pitchHz, pitchHz);
    };
    expect(weak, 0.05f / (1.0f + 0.0025f), 0.0f);  // alone it is unvoiced
    expect(voiced, 0.9f / 1.81f, 120.0f);
    expect(voiced, 0.9f / 1.81f, 120.0f);
    expect(weak, 0.11f, 120.0f);  // held at threshold + 0.01, keeping its pitch
    expect(flat, 0.0f, 0.0f);     // a frame without any peak is not held ...
    // ... but a single dropout between voiced frames counts as voiced in the history.
    expect(voiced, 0.9f / 1.81f, 120.0f);
    expect(weak, 0.11f, 120.0f);
    // A quiet 200 Hz voice sets the floor; the same voice 3 dB louder stays below e^3 above it,
    // so it has no pitch however sure the search is.
    PitchTracker fresh;
    ASSERT_TRUE(fresh.Configure(16000, 640, 480, 40.0f, 285.0f));
    const std::vector<float> a = FrameAt(SteadyVoice(16000, 0.2, 200.0, 2000.0), 0, 640);
    const std::vector<float> b = FrameAt(SteadyVoice(16000, 0.2, 200.0, 2000.0 * 1.41), 0, 640);
    fresh.Analyse(a.data());
    for (int i = 0; i < 4; ++i) {
        const PitchReport report = fresh.Analyse(b.data());
        EXPECT_GT(report.confidence, 0.5f);
        EXPECT_EQ(report.rawPitchHz, 0.0f);
    }
}

}  // namespace
}  // namespace melvora

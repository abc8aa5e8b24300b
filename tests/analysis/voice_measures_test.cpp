#include "analysis/voice_measures.h"

#include "analysis/window_function.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace melvora {
namespace {

// A sine, plus a second one if asked, in sample units.
std::vector<float> SineFrame(int n, int rate, double hz, double amplitude, double otherHz = 0.0,
                             double otherAmplitude = 0.0) {
    std::vector<float> frame(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        frame[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * i / rate) +
                                      otherAmplitude * std::sin(2.0 * M_PI * otherHz * i / rate));
    }
    return frame;
}

TEST(LevelMeasure, RmsOf1000GivesPoint6125FullScaleOneAndQuietZero) {
    EXPECT_NEAR(VoiceMeasures::LevelCeilingDb(), 85.30873f, 1e-4f);
    // 450 Hz over 0.04 s is 18 whole periods, so the RMS is exact.
    const std::vector<float> frame = SineFrame(1764, 44100, 450.0, 1000.0 * std::sqrt(2.0));
    const LevelMeasure level = VoiceMeasures::Level(frame.data(), 1764);
    EXPECT_NEAR(level.rms, 1000.0f, 0.5f);
    EXPECT_NEAR(level.level, 0.6125f, 1e-4f);
    EXPECT_NEAR(level.peakToPeak, 2828.4f, 3.0f);  // samples miss the crest slightly
    std::vector<float> square(1764);
    for (int i = 0; i < 1764; ++i) {
        square[i] = (i / 21) % 2 == 0 ? 32767.0f : -32767.0f;
    }
    EXPECT_FLOAT_EQ(VoiceMeasures::Level(square.data(), 1764).level, 1.0f);
    // Quiet frames and offsets read as silence.
    std::vector<float> quiet = SineFrame(640, 16000, 500.0, 10.0 * std::sqrt(2.0) * 0.99);
    EXPECT_EQ(VoiceMeasures::Level(quiet.data(), 640).level, 0.0f);
    std::vector<float> offset(640, 12000.0f);
    const LevelMeasure dc = VoiceMeasures::Level(offset.data(), 640);
    EXPECT_EQ(dc.level + dc.rms + dc.peakToPeak, 0.0f);
}

// Tessim of a fundamental plus one more sine (amplitudes in sample units), at frame n and
// transform size m with the Hamming window.
TessimMeasure TessimOf(int n, int m, int rate, double pitchHz, double amplitude, double otherHz,
                       double otherAmplitude) {
    std::vector<float> window(static_cast<size_t>(n));
    MakeWindow(window.data(), n, kWindowHamming);
    FftPlan plan;
    plan.Configure(m / 2);
    std::vector<float> windowed(static_cast<size_t>(m));
    std::vector<double> power(static_cast<size_t>(m / 2 + 1));
    const std::vector<float> frame =
        SineFrame(n, rate, pitchHz, amplitude, otherHz, otherAmplitude);
    return VoiceMeasures::Tessim(frame.data(), window.data(), n, static_cast<float>(pitchHz), rate,
                                 &plan, windowed.data(), power.data());
}

// At 200 Hz (44100 Hz, M = 2048) the low band is bins 0..73 and the high band 74..203:
// harmonic 7 counts low, harmonic 8 high.
TEST(TessimMeasure, HarmonicsAboveAndBelow1600HzAtTheirDecibelDistance) {
    const TessimMeasure t =
        TessimOf(1764, 2048, 44100, 200.0, 1e4, 2000.0, 1e4 * std::pow(10, -1.25));
    EXPECT_NEAR(t.tessimDb, -25.0f, 0.2f);
    EXPECT_NEAR(t.tessim, 0.5f, 0.01f);
    EXPECT_EQ(TessimOf(1764, 2048, 44100, 200.0, 3000.0, 1400.0, 8000.0).tessim, 0.0f);
    EXPECT_FLOAT_EQ(TessimOf(1764, 2048, 44100, 200.0, 3000.0, 1600.0, 8000.0).tessim, 1.0f);
    // From 1600 Hz there is no low band.
    EXPECT_FLOAT_EQ(TessimOf(1764, 2048, 44100, 1700.0, 1e4, 1700.0, 0.0).tessim, 1.0f);
    EXPECT_FLOAT_EQ(TessimOf(1764, 2048, 44100, 1600.0, 1e4, 1700.0, 1e4).tessim, 1.0f);
    // Below 9 kHz only squared bins are summed. At 8000 Hz and 100 Hz the last harmonic below 4500
    // Hz (45) lies at bin 576 of 1024, past the Nyquist bin 512. A tone at 3800 Hz, 30 dB under the
    // fundamental, mirrors to 4200 Hz (bin 538): counted twice or unsquared it would move the
    // score.
    const TessimMeasure u = TessimOf(320, 1024, 8000, 100.0, 1e4, 3800.0, 1e4 * std::pow(10, -1.5));
    EXPECT_NEAR(u.tessimDb, -30.0f, 0.5f);
    EXPECT_NEAR(u.tessim, 1.0f / 3.0f, 0.02f);
}

// Jitter is one less 2.5 times the mean pitch change over the run's mean pitch (the run is
// walked back from its slot, wrapping from slot 0 to slot 9), shimmer one less 1.25 times the
// mean peak-to-peak change over its mean; steady scores one, short or unsure runs zero.
TEST(JitterAndShimmer, MeanChangeOverMeanAndShortOrUnsureRunsZero) {
    float alternating[kHistorySlots];
    for (int i = 0; i < kHistorySlots; ++i) {
        alternating[i] = i % 2 == 0 ? 200.0f : 204.0f;
    }
    int run = 10;
    EXPECT_NEAR(VoiceMeasures::Jitter(alternating, 9, 0.9f, alternating[9], &run),
                1.0f - (4.0f / 202.0f) * 2.5f, 1e-5f);
    EXPECT_EQ(run, 10);
    // Run of 3 ending in slot 1: slots 9, 0, 1 take part (changes 10 and 10, mean 103.33).
    const float wrapped[kHistorySlots] = {110.0f, 100.0f, 0.0f, 0.0f, 0.0f,
                                          0.0f,   0.0f,   0.0f, 0.0f, 100.0f};
    run = 3;
    EXPECT_NEAR(VoiceMeasures::Jitter(wrapped, 1, 0.9f, 100.0f, &run),
                1.0f - (10.0f / (310.0f / 3.0f)) * 2.5f, 1e-5f);
    float steady[kHistorySlots];
    float wobbly[kHistorySlots];
    float wild[kHistorySlots];
    for (int i = 0; i < kHistorySlots; ++i) {
        steady[i] = 8000.0f;
        wobbly[i] = i % 2 == 0 ? 8000.0f : 7200.0f;
        wild[i] = i % 2 == 0 ? 100.0f : 10000.0f;
    }
    run = 2;
    EXPECT_FLOAT_EQ(VoiceMeasures::Jitter(steady, 4, 0.9f, 8000.0f, &run), 1.0f);
    EXPECT_FLOAT_EQ(VoiceMeasures::Shimmer(steady, 7, 0.8f, 10), 1.0f);
    // Changes of 800 around a mean of 7600.
    EXPECT_NEAR(VoiceMeasures::Shimmer(wobbly, 7, 0.8f, 10), 1.0f - (800.0f / 7600.0f) * 1.25f,
                1e-5f);
    EXPECT_EQ(VoiceMeasures::Shimmer(wild, 0, 0.9f, 10), 0.0f);  // clamped
    run = 10;
    EXPECT_EQ(VoiceMeasures::Jitter(wild, 0, 0.9f, wild[0], &run), 0.0f);
    EXPECT_EQ(VoiceMeasures::Shimmer(steady, 7, 0.8f, 1), 0.0f);
    EXPECT_EQ(VoiceMeasures::Shimmer(steady, 7, 0.15f, 10), 0.0f);
    run = 1;
    EXPECT_EQ(VoiceMeasures::Jitter(steady, 4, 0.9f, 8000.0f, &run), 0.0f);
    run = 5;
    EXPECT_EQ(VoiceMeasures::Jitter(steady, 4, 0.2f, 8000.0f, &run), 0.0f);
    EXPECT_EQ(run, 5);
    // A confident frame without a pitch ends the run, which zeroes shimmer too.
    EXPECT_EQ(VoiceMeasures::Jitter(steady, 3, 0.9f, 0.0f, &run), 0.0f);
    EXPECT_EQ(run, 0);
    EXPECT_EQ(VoiceMeasures::Shimmer(steady, 3, 0.9f, run), 0.0f);
}

}  // namespace
}  // namespace melvora

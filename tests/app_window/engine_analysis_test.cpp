#include <gtest/gtest.h>

#include <vector>

#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"
#include "analysis/synthetic_voice.h"
#include "app/app_options.h"
#include "app/engine_analysis.h"

namespace melvora {
namespace {

class EngineAnalysisTest : public ::testing::Test {
  protected:
    void TearDown() override { Options() = AppOptions(); }

    // Half a second of digital silence, as the microphone delivers before anyone sings,
    // then the voice.
    void Sing(const std::vector<int16_t>& voice, int hop) {
        Feed(std::vector<int16_t>(22050, 0), hop);
        Feed(voice, hop);
    }

    // Feeds `samples` block by block, as the transport's worker does.
    void Feed(const std::vector<int16_t>& samples, int hop) {
        for (size_t at = 0; at + static_cast<size_t>(hop) <= samples.size(); at += hop) {
            analysis.ProcessBlock(samples.data() + at, hop);
        }
    }

    ResultHolder holder;
    EngineAnalysis analysis{holder};
};

TEST_F(EngineAnalysisTest, ConfigureCreatesTheEngineAndReturnsTheHop) {
    EXPECT_EQ(analysis.Engine(), nullptr);
    EXPECT_EQ(analysis.Configure(44100, 0.04f, 0.03f, 1024), 1323);
    ASSERT_NE(analysis.Engine(), nullptr);
    const AnalysisEngine* first = analysis.Engine();
    EXPECT_EQ(analysis.Configure(16000, 0.04f, 0.03f, 1024), 480);
    EXPECT_EQ(analysis.Engine(), first);
    EXPECT_EQ(analysis.Engine()->SampleRateHz(), 16000);
}

TEST_F(EngineAnalysisTest, SungVowelReachesTheHolderWithItsPitchAndNote) {
    const int hop = analysis.Configure(44100, 0.04f, 0.03f, 1024);
    Sing(SteadyVoice(44100, 1.5, 220.0, 12000.0), hop);
    const ResultRecord newest = holder.ReadNewest();
    EXPECT_NEAR(newest.pitchHz, 220.0f, 220.0f * 0.02f);
    EXPECT_EQ(newest.note.octave, 3);
    EXPECT_EQ(newest.note.semitone, 9);  // A3
    EXPECT_GT(newest.level, 0.0f);
}

TEST_F(EngineAnalysisTest, BlocksOfTheWrongLengthAreIgnored) {
    const int hop = analysis.Configure(44100, 0.04f, 0.03f, 1024);
    std::vector<int16_t> block(static_cast<size_t>(hop) + 1, 1000);
    const int64_t before = holder.BlockCounter();
    analysis.ProcessBlock(block.data(), hop + 1);
    analysis.ProcessBlock(block.data(), hop - 1);
    EXPECT_EQ(holder.BlockCounter(), before);
    analysis.ProcessBlock(block.data(), hop);
    EXPECT_EQ(holder.BlockCounter(), before + 1);
}

TEST_F(EngineAnalysisTest, BlocksBeforeTheFirstConfigureAreIgnored) {
    std::vector<int16_t> block(1323, 1000);
    const int64_t before = holder.BlockCounter();
    analysis.ProcessBlock(block.data(), 1323);
    EXPECT_EQ(holder.BlockCounter(), before);
}

TEST_F(EngineAnalysisTest, ResetResultsEmptiesTheHistory) {
    const int hop = analysis.Configure(44100, 0.04f, 0.03f, 1024);
    Sing(SteadyVoice(44100, 1.0, 330.0, 12000.0), hop);
    ASSERT_GT(holder.ReadNewest().pitchHz, 0.0f);
    analysis.ResetResults();
    EXPECT_EQ(holder.ReadNewest().pitchHz, 0.0f);
    EXPECT_EQ(holder.ReadAll().size(), 1u);
}

TEST_F(EngineAnalysisTest, SettingsComeFromTheOptions) {
    Options().averagingWindow = 4;
    Options().resultHistoryLength = 10;
    Options().voiceActivationSensitivity = 0.25f;
    analysis.Configure(44100, 0.04f, 0.03f, 1024);
    EXPECT_EQ(holder.AveragingWindow(), 4);
    EXPECT_EQ(holder.HistoryLength(), 10u);
    EXPECT_FLOAT_EQ(analysis.Engine()->VoiceActivationSensitivity(), 0.25f);
}

}  // namespace
}  // namespace melvora

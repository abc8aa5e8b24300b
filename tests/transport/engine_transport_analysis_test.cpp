#include "transport/engine_transport_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"
#include "transport/deck_operations.h"
#include "audio/wave_file.h"
#include "platform/wave_port_simulated.h"
#include "transport_fixture.h"

namespace melvora {
namespace {

TEST(EngineTransportAnalysis, BlocksReachTheHolderAndAReconfigureKeepsTheEngine) {
    ResultHolder holder;
    EngineTransportAnalysis analysis(&holder);
    EXPECT_EQ(analysis.Engine(), nullptr);
    const int hop = analysis.Configure(44100, 0.04f, 0.03f, 1024);
    EXPECT_EQ(hop, 1323);
    AnalysisEngine* engine = analysis.Engine();
    ASSERT_NE(engine, nullptr);
    std::vector<int16_t> block(static_cast<size_t>(hop));
    for (int i = 0; i < hop; ++i) {
        block[static_cast<size_t>(i)] =
            static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * 220.0 * i / 44100.0));
    }
    for (int i = 0; i < 5; ++i) {
        analysis.ProcessBlock(block.data(), hop);
    }
    EXPECT_EQ(holder.BlockCounter(), 6);
    EXPECT_GT(holder.ReadNewest().level, 0.0f);
    analysis.ProcessBlock(block.data(), hop - 1);  // a block of the wrong length is skipped
    EXPECT_EQ(holder.BlockCounter(), 6);
    analysis.ResetResults();
    EXPECT_EQ(holder.ReadAll().size(), 1u);
    EXPECT_EQ(holder.ReadNewest().level, 0.0f);
    EXPECT_EQ(analysis.Configure(16000, 0.04f, 0.03f, 1024), 480);
    EXPECT_EQ(analysis.Engine(), engine);  // configured again, not replaced
    EXPECT_EQ(engine->SampleRateHz(), 16000);
}

// The real engine on the worker, the views reading the history on the window thread.
struct EngineOnTheWorker : testing_support::WorkerRig {};

TEST_F(EngineOnTheWorker, AToneReachesTheHistoryWhileTheWindowReadsIt) {
    SimulatedSoundCard& card = cc.card;
    int64_t index = 0;
    card.SetCaptureSource([&index](int16_t* samples, size_t count) {
        for (size_t i = 0; i < count; ++i, ++index) {
            const double t = static_cast<double>(index) / 44100.0;
            samples[i] = static_cast<int16_t>(9000.0 * std::sin(2.0 * M_PI * 220.0 * t) +
                                              3000.0 * std::sin(2.0 * M_PI * 440.0 * t));
        }
    });
    testing_support::RecorderView view;
    ResultHolder holder;
    DeckOperations deck(view, owner, std::make_unique<EngineTransportAnalysis>(&holder),
                        card.MakeCapturePort(), card.MakePlaybackPort());
    deck.StartWorker();
    deck.RecordToggle();
    // The level of the tone shows in the history the window reads (under the holder's lock,
    // while the worker publishes).
    ASSERT_TRUE(testing_support::WaitUntil([&] { return holder.ReadNewest().level > 0.01f; }));
    deck.RecordToggle();
    EXPECT_GE(holder.ReadAll().size(), 1u);
    EXPECT_GT(deck.Transport().CurrentFile()->FrameCount(), 0);
}

}  // namespace
}  // namespace melvora

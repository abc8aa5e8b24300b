#include "transport/engine_transport_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"

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

}  // namespace
}  // namespace melvora

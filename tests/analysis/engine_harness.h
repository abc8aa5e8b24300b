#pragma once

#include "analysis/analysis_engine.h"
#include "analysis/analysis_result_sink.h"

#include <cstdint>
#include <vector>

namespace melvora {

// What the engine handed over for one block, with the figures behind it.
struct BlockOutcome {
    AnalysisResult result;
    float rawPitchHz = 0.0f;
    float confidence = 0.0f;
    int band = 0;
};

// Keeps every result the engine publishes.
class RecordingSink : public AnalysisResultSink {
  public:
    void Publish(const AnalysisResult& result) override { results.push_back(result); }
    std::vector<AnalysisResult> results;
};

// Feeds `samples` block by block (the last partial block is dropped) and returns one outcome
// per block.
std::vector<BlockOutcome> RunBlocks(AnalysisEngine* engine, const std::vector<int16_t>& samples);

// Feeds `seconds` of digital silence, as the microphone delivers before anyone sings.
void SettleOnSilence(AnalysisEngine* engine, double seconds);

}  // namespace melvora

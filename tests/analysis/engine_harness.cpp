#include "engine_harness.h"

#include <cstddef>

namespace melvora {

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

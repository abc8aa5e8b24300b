#include "app/engine_analysis.h"

#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"
#include "app/app_options.h"

namespace melvora {

EngineAnalysis::EngineAnalysis(ResultHolder& holder) : holder_(holder) {}

EngineAnalysis::~EngineAnalysis() = default;

int EngineAnalysis::Configure(int sampleRateHz, float frameLengthSeconds, float skipRateSeconds,
                              int minimumTransformSize) {
    if (!engine_) {
        engine_ = std::make_unique<AnalysisEngine>(&holder_, sampleRateHz, frameLengthSeconds,
                                                   skipRateSeconds, minimumTransformSize);
    } else {
        engine_->Configure(sampleRateHz, frameLengthSeconds, skipRateSeconds, minimumTransformSize);
    }
    const AppOptions& options = Options();
    engine_->SetVoiceActivationSensitivity(options.voiceActivationSensitivity);
    holder_.SetAveragingWindow(options.averagingWindow);
    holder_.SetHistoryLength(static_cast<uint32_t>(options.resultHistoryLength));
    return engine_->HopLength();
}

void EngineAnalysis::ProcessBlock(const int16_t* block, int blockLength) {
    if (engine_ && blockLength == engine_->HopLength() && blockLength > 0) {
        engine_->ProcessBlock(block);
    }
}

void EngineAnalysis::ResetResults() {
    holder_.Reset();
}

}  // namespace melvora

#include "transport/engine_transport_analysis.h"

#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"

namespace melvora {

EngineTransportAnalysis::EngineTransportAnalysis(ResultHolder* holder) : holder_(holder) {}

EngineTransportAnalysis::~EngineTransportAnalysis() = default;

int EngineTransportAnalysis::Configure(int sampleRateHz, float frameLengthSeconds,
                                       float skipRateSeconds, int minimumTransformSize) {
    if (!engine_) {
        engine_ = std::make_unique<AnalysisEngine>(holder_, sampleRateHz, frameLengthSeconds,
                                                   skipRateSeconds, minimumTransformSize);
        engine_->SetVoiceActivationSensitivity(sensitivity_.load());
    } else {
        engine_->Configure(sampleRateHz, frameLengthSeconds, skipRateSeconds, minimumTransformSize);
    }
    return engine_->HopLength();
}

void EngineTransportAnalysis::ProcessBlock(const int16_t* block, int blockLength) {
    // The engine reads exactly one hop; a block of another length is not its block.
    if (engine_ && blockLength == engine_->HopLength()) {
        engine_->ProcessBlock(block);
    }
}

void EngineTransportAnalysis::ResetResults() {
    if (holder_ != nullptr) {
        holder_->Reset();
    }
}

void EngineTransportAnalysis::SetVoiceActivationSensitivity(float sensitivity) {
    sensitivity_.store(sensitivity);
    // engine_ changes only on the window thread (Configure), the thread that calls this.
    if (engine_) {
        engine_->SetVoiceActivationSensitivity(sensitivity);
    }
}

}  // namespace melvora

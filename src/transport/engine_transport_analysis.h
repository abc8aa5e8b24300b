#pragma once

#include <atomic>
#include <memory>

#include "transport/transport_analysis.h"

namespace melvora {

class AnalysisEngine;
class ResultHolder;

// The analysis engine behind the transport: the first Configure creates the engine, later
// ones configure it again; results go to the result holder, which Reset clears.
class EngineTransportAnalysis : public TransportAnalysis {
  public:
    // `holder` (not owned, may be null) must live as long as the worker may run: a worker that
    // was abandoned at shut-down can still publish one result.
    explicit EngineTransportAnalysis(ResultHolder* holder);
    ~EngineTransportAnalysis() override;

    int Configure(int sampleRateHz, float frameLengthSeconds, float skipRateSeconds,
                  int minimumTransformSize) override;
    void ProcessBlock(const int16_t* block, int blockLength) override;
    void ResetResults() override;
    void SetVoiceActivationSensitivity(float sensitivity) override;

    // The engine, once configured (null before): for the sensitivity and the input level.
    AnalysisEngine* Engine() { return engine_.get(); }

  private:
    ResultHolder* holder_;
    std::unique_ptr<AnalysisEngine> engine_;
    // Kept for an engine that is created later; the engine's own value is atomic.
    std::atomic<float> sensitivity_{0.5f};
};

}  // namespace melvora

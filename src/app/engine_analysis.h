#pragma once

#include <memory>

#include "app/transport_analysis.h"

namespace melvora {

class AnalysisEngine;
class ResultHolder;

// The analysis engine as the transport drives it, publishing into the main controls window's
// result holder. The engine is created by the first Configure and configured again by later
// ones; the voice activation sensitivity and the holder's averaging settings are taken from
// the options at every Configure.
class EngineAnalysis : public TransportAnalysis {
  public:
    explicit EngineAnalysis(ResultHolder& holder);
    ~EngineAnalysis() override;

    int Configure(int sampleRateHz, float frameLengthSeconds, float skipRateSeconds,
                  int minimumTransformSize) override;
    // Blocks of any other length than the engine's hop are ignored.
    void ProcessBlock(const int16_t* block, int blockLength) override;
    void ResetResults() override;

    // Null until the first Configure.
    AnalysisEngine* Engine() { return engine_.get(); }

  private:
    ResultHolder& holder_;
    std::unique_ptr<AnalysisEngine> engine_;
};

}  // namespace melvora

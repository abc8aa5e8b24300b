#pragma once

#include "analysis/analysis_result.h"

namespace melvora {

// Receives the engine's result after every block (the result holder of the main controls
// window; tests and tools may plug in their own). Called on the transport's worker thread;
// the result is only valid during the call.
class AnalysisResultSink {
  public:
    virtual ~AnalysisResultSink() = default;
    virtual void Publish(const AnalysisResult& result) = 0;
};

}  // namespace melvora

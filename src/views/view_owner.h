#pragma once

#include <cstdint>
#include <vector>

#include "analysis/result_record.h"

namespace melvora {

// What the views read from the main controls window: copies of the published averages
// (taken under the result lock, so a view draws from its copy and the worker never waits
// for a frame), whether the transport is recording or replaying (the hand-off then
// repaints the energy bar) and the engine's count of clipped blocks.
class ViewOwner {
  public:
    virtual ~ViewOwner() = default;
    virtual ResultRecord NewestResult() const = 0;
    // Newest first.
    virtual std::vector<ResultRecord> AllResults() const = 0;
    virtual bool TransportRecordingOrReplaying() const = 0;
    virtual uint32_t ClippedBlocks() const = 0;
};

}  // namespace melvora

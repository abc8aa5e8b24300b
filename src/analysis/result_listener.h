#pragma once

#include "analysis/result_record.h"

namespace melvora {

// A window that follows the published averages: the analysis view, the staff, the keyboard's
// play-along, the energy bar, the exercise runner. Each listener checks its own conditions
// (shown, has a window handle, play-along on, exercise running) before acting.
class ResultListener {
  public:
    virtual ~ResultListener() = default;

    // A new average was published. Worker thread, outside the history lock; `record` is a
    // copy that stays valid only during the call. Invalidations only queue a repaint.
    virtual void OnResultPublished(const ResultRecord& record) = 0;

    // The history was reset to one zero record (recording or replay stopped). Window thread.
    virtual void OnResultsReset() {}
};

}  // namespace melvora

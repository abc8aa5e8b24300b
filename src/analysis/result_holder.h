#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "analysis/analysis_result_sink.h"
#include "analysis/result_listener.h"
#include "analysis/result_record.h"

namespace melvora {

// Receives every AnalysisResult from the engine, publishes the mean of every
// "Averaging Window" results as a ResultRecord into a short history (newest first) and tells
// the listeners. The history is the system's one lock: Publish holds it while inserting,
// readers while copying, and no listener runs under it.
//
// Threads: Publish runs on the worker thread; Reset and the readers on the window thread.
// The averaging window and history length may be set from any thread. Listeners are added
// and removed only while no Publish can run (before the worker starts or while it is parked).
class ResultHolder : public AnalysisResultSink {
  public:
    // Records kept at most, whatever the history length option says (the views use 1, 5 or
    // 10), so that a damaged option cannot grow the history without bound.
    static constexpr uint32_t kHistoryCapacity = 64;

    // The history starts with one zero record; the block counter at 1.
    ResultHolder();

    // Adds the result to the running sums; every averagingWindow-th call publishes their mean.
    void Publish(const AnalysisResult& result) override;

    // Empties the history down to one zero record and tells the listeners. Leaves the running
    // sums and the block counter alone.
    void Reset();

    // Copies of the newest record and of the whole history, newest first, taken under the
    // lock. ReadNewest gives a zero record (note A4) when the history is empty (history
    // length 0).
    ResultRecord ReadNewest() const;
    std::vector<ResultRecord> ReadAll() const;

    // Results per published average [1]. Values below 1 are taken as 1.
    void SetAveragingWindow(int32_t results) { averagingWindow_.store(results); }
    int32_t AveragingWindow() const;
    // Most records kept, compared as unsigned [5]; takes effect at the next publication.
    void SetHistoryLength(uint32_t records) { historyLength_.store(records); }
    uint32_t HistoryLength() const { return historyLength_.load(); }

    void AddListener(ResultListener* listener);
    void RemoveListener(ResultListener* listener);

    // Results received so far, plus 1.
    int64_t BlockCounter() const { return blockCounter_; }

  private:
    static ResultRecord ZeroRecord() { return ResultRecord(); }

    ResultRecord accumulator_;
    int64_t blockCounter_ = 1;  // worker thread only
    std::atomic<int32_t> averagingWindow_{1};
    std::atomic<uint32_t> historyLength_{5};

    mutable std::mutex lock_;
    ResultRecord history_[kHistoryCapacity];  // newest first, guarded by lock_
    uint32_t historyCount_ = 0;               // guarded by lock_

    std::vector<ResultListener*> listeners_;
};

}  // namespace melvora

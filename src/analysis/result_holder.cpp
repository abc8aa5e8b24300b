#include "analysis/result_holder.h"

#include <algorithm>

namespace melvora {

ResultHolder::ResultHolder() {
    history_[0] = ZeroRecord();
    historyCount_ = 1;
}

int32_t ResultHolder::AveragingWindow() const {
    const int32_t window = averagingWindow_.load();
    return window < 1 ? 1 : window;
}

void ResultHolder::Publish(const AnalysisResult& result) {
    accumulator_.pitchHz += result.pitchHz;
    accumulator_.tessim += result.tessim;
    accumulator_.level += result.level;
    accumulator_.jitter += result.jitter;
    accumulator_.shimmer += result.shimmer;
    const int32_t window = AveragingWindow();
    if (blockCounter_ % window != 0) {
        ++blockCounter_;
        return;
    }
    const float scale = 1.0f / static_cast<float>(window);
    accumulator_.pitchHz *= scale;
    accumulator_.tessim *= scale;
    accumulator_.level *= scale;
    accumulator_.jitter *= scale;
    accumulator_.shimmer *= scale;
    accumulator_.note = Note::FromFrequency(accumulator_.pitchHz);
    const ResultRecord published = accumulator_;

    {
        std::lock_guard<std::mutex> guard(lock_);
        const uint32_t keep = std::min(historyLength_.load(), kHistoryCapacity);
        // Insert at the front; the oldest records fall off the end.
        const uint32_t count = std::min(historyCount_ + 1, kHistoryCapacity);
        for (uint32_t i = count - 1; i > 0; --i) {
            history_[i] = history_[i - 1];
        }
        history_[0] = published;
        historyCount_ = std::min(count, keep);
    }

    for (ResultListener* listener : listeners_) {
        listener->OnResultPublished(published);
    }

    accumulator_ = ZeroRecord();
    ++blockCounter_;
}

void ResultHolder::Reset() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        history_[0] = ZeroRecord();
        historyCount_ = 1;
    }
    for (ResultListener* listener : listeners_) {
        listener->OnResultsReset();
    }
}

ResultRecord ResultHolder::ReadNewest() const {
    std::lock_guard<std::mutex> guard(lock_);
    return historyCount_ > 0 ? history_[0] : ZeroRecord();
}

std::vector<ResultRecord> ResultHolder::ReadAll() const {
    std::lock_guard<std::mutex> guard(lock_);
    return std::vector<ResultRecord>(history_, history_ + historyCount_);
}

void ResultHolder::AddListener(ResultListener* listener) {
    if (listener != nullptr &&
        std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void ResultHolder::RemoveListener(ResultListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

}  // namespace melvora

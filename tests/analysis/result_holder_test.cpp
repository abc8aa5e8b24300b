#include "analysis/result_holder.h"

#include <gtest/gtest.h>

#include <vector>

namespace melvora {
namespace {

AnalysisResult Result(float pitchHz, float level = 0.5f) {
    return {level, pitchHz, 0.25f, 0.75f, 1.0f};
}

// Records what it is told; optionally reads the history while being notified, which must not
// deadlock since listeners run outside the history lock.
class CountingListener : public ResultListener {
  public:
    explicit CountingListener(const ResultHolder* reader = nullptr) : reader_(reader) {}
    void OnResultPublished(const ResultRecord& record) override {
        published.push_back(record);
        seen = reader_ != nullptr ? reader_->ReadNewest().pitchHz : -1.0f;
    }
    void OnResultsReset() override { ++resets; }
    std::vector<ResultRecord> published;
    int resets = 0;
    float seen = -1.0f;

  private:
    const ResultHolder* reader_;
};

bool IsZeroRecord(const ResultRecord& r) {
    return r.pitchHz == 0.0f && r.tessim == 0.0f && r.level == 0.0f && r.jitter == 0.0f &&
           r.shimmer == 0.0f && r.note == Note{4, 9};
}

std::vector<float> Pitches(const ResultHolder& holder) {
    std::vector<float> pitches;
    for (const ResultRecord& r : holder.ReadAll()) {
        pitches.push_back(r.pitchHz);
    }
    return pitches;
}

// The history keeps the last records newest first behind one zero record; a new length takes
// effect at the next publication and stays within 0 and the capacity.
TEST(ResultHolder, KeepsTheLastRecordsNewestFirst) {
    ResultHolder holder;
    ASSERT_EQ(holder.ReadAll().size(), 1u);
    EXPECT_TRUE(IsZeroRecord(holder.ReadAll()[0]));
    EXPECT_EQ(holder.BlockCounter(), 1);
    holder.SetHistoryLength(5);
    holder.Publish(Result(440.0f, 0.6f));
    const ResultRecord r = holder.ReadNewest();
    EXPECT_EQ(std::vector<float>({r.pitchHz, r.tessim, r.level, r.jitter, r.shimmer}),
              std::vector<float>({440.0f, 0.25f, 0.6f, 0.75f, 1.0f}));
    EXPECT_EQ(r.note, (Note{4, 9}));
    holder.Publish(Result(261.63f));
    EXPECT_EQ(holder.ReadNewest().note, (Note{4, 0}));
    for (int i = 3; i <= 7; ++i) {
        holder.Publish(Result(100.0f * i));
    }
    EXPECT_EQ(Pitches(holder), (std::vector<float>{700.0f, 600.0f, 500.0f, 400.0f, 300.0f}));
    EXPECT_EQ(holder.BlockCounter(), 8);
    holder.Publish(Result(0.0f));  // unvoiced: note A4
    EXPECT_EQ(holder.ReadNewest().note, (Note{4, 9}));
    holder.SetHistoryLength(1);
    EXPECT_EQ(holder.ReadAll().size(), 5u);
    holder.Publish(Result(500.0f));
    EXPECT_EQ(Pitches(holder), std::vector<float>{500.0f});
    holder.SetHistoryLength(0);
    holder.Publish(Result(220.0f));
    EXPECT_TRUE(holder.ReadAll().empty());
    EXPECT_TRUE(IsZeroRecord(holder.ReadNewest()));
    holder.SetHistoryLength(0xFFFFFFFFu);
    for (int i = 0; i < 200; ++i) {
        holder.Publish(Result(static_cast<float>(i)));
    }
    const std::vector<float> all = Pitches(holder);
    ASSERT_EQ(all.size(), ResultHolder::kHistoryCapacity);
    EXPECT_FLOAT_EQ(all[0], 199.0f);
    EXPECT_FLOAT_EQ(all.back(), 199.0f - (ResultHolder::kHistoryCapacity - 1));
}

// Window three publishes the mean of each three; a window below one is one; a changed window
// divides the sum gathered so far, and a reset keeps that running sum too. Listeners are
// called once (a second add is ignored) until removed, and may read the history.
TEST(ResultHolder, AveragingWindowPublishesTheMeanOfItsBlocksToTheListeners) {
    ResultHolder holder;
    holder.SetAveragingWindow(3);
    CountingListener listener;
    CountingListener reader(&holder);
    holder.AddListener(&listener);
    holder.AddListener(&reader);
    holder.AddListener(&reader);
    holder.Publish(Result(100.0f));
    holder.Publish(Result(200.0f));
    EXPECT_TRUE(listener.published.empty());
    EXPECT_TRUE(IsZeroRecord(holder.ReadNewest()));
    holder.Publish(Result(330.0f));
    ASSERT_EQ(listener.published.size(), 1u);
    EXPECT_FLOAT_EQ(listener.published[0].pitchHz, 210.0f);
    EXPECT_EQ(reader.published.size(), 1u);
    EXPECT_FLOAT_EQ(reader.seen, 210.0f);
    holder.RemoveListener(&reader);
    holder.Publish(Result(400.0f, 0.0f));
    holder.Publish(Result(500.0f, 0.3f));
    holder.Publish(Result(600.0f, 0.6f));  // counter 6
    ASSERT_EQ(listener.published.size(), 2u);
    EXPECT_EQ(reader.published.size(), 1u);
    EXPECT_FLOAT_EQ(listener.published[1].level, 0.3f);
    EXPECT_FLOAT_EQ(listener.published[1].jitter, 0.75f);
    EXPECT_EQ(Pitches(holder), (std::vector<float>{500.0f, 210.0f, 0.0f}));
    holder.SetAveragingWindow(4);
    holder.Publish(Result(100.0f));  // counter 7
    holder.SetAveragingWindow(3);
    holder.Publish(Result(200.0f));  // counter 8: accumulates only
    holder.Publish(Result(300.0f));  // counter 9: 9 % 3 == 0 publishes 600 / 3
    EXPECT_FLOAT_EQ(holder.ReadNewest().pitchHz, 200.0f);
    holder.SetAveragingWindow(2);
    holder.Publish(Result(100.0f));  // counter 10: publishes 100 / 2
    EXPECT_FLOAT_EQ(holder.ReadNewest().pitchHz, 50.0f);
    holder.Publish(Result(300.0f));  // counter 11: accumulates only
    holder.Reset();
    EXPECT_EQ(listener.resets, 1);
    ASSERT_EQ(holder.ReadAll().size(), 1u);
    EXPECT_TRUE(IsZeroRecord(holder.ReadAll()[0]));
    EXPECT_EQ(holder.BlockCounter(), 12);
    holder.Publish(Result(100.0f));  // counter 12: (300 + 100) / 2
    EXPECT_FLOAT_EQ(holder.ReadNewest().pitchHz, 200.0f);
    for (int32_t window : {0, -1, -2147483647 - 1}) {
        holder.SetAveragingWindow(window);
        EXPECT_EQ(holder.AveragingWindow(), 1);
        holder.Publish(Result(150.0f - window % 7));
        EXPECT_EQ(holder.ReadNewest().pitchHz, 150.0f - window % 7) << window;
    }
}

}  // namespace
}  // namespace melvora

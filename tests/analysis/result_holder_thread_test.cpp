#include "analysis/result_holder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace melvora {
namespace {

// The worker publishes while the window thread copies, resets and changes the settings, as
// in the program. Every copy must be a consistent history: newest first, consecutive
// publications, never longer than the longest length in use.
TEST(ResultHolderThreads, ReadersAlwaysCopyAConsistentHistory) {
    ResultHolder holder;
    holder.SetHistoryLength(10);
    std::atomic<bool> done{false};
    std::atomic<int> published{0};

    class Counter : public ResultListener {
      public:
        explicit Counter(std::atomic<int>* count) : count_(count) {}
        void OnResultPublished(const ResultRecord&) override { count_->fetch_add(1); }

      private:
        std::atomic<int>* count_;
    };
    Counter counter(&published);
    holder.AddListener(&counter);

    const int kResults = 20000;
    std::thread worker([&] {
        for (int i = 1; i <= kResults; ++i) {
            AnalysisResult r;
            r.pitchHz = static_cast<float>(i);
            r.level = 0.5f;
            holder.Publish(r);
        }
        done.store(true);
    });

    int copies = 0;
    int resets = 0;
    while (!done.load()) {
        const std::vector<ResultRecord> all = holder.ReadAll();
        ASSERT_FALSE(all.empty());
        ASSERT_LE(all.size(), 10u);
        for (size_t i = 1; i < all.size(); ++i) {
            if (all[i].pitchHz == 0.0f) {
                // The zero record of a reset is always the oldest.
                ASSERT_EQ(i, all.size() - 1);
                break;
            }
            ASSERT_EQ(all[i - 1].pitchHz, all[i].pitchHz + 1.0f);
        }
        const ResultRecord newest = holder.ReadNewest();
        ASSERT_GE(newest.pitchHz, 0.0f);
        if (++copies % 50 == 0) {
            holder.Reset();
            ++resets;
        }
        holder.SetHistoryLength(copies % 2 == 0 ? 10 : 5);
    }
    worker.join();
    EXPECT_EQ(published.load(), kResults);
    EXPECT_FLOAT_EQ(holder.ReadNewest().pitchHz, static_cast<float>(kResults));
    EXPECT_EQ(holder.BlockCounter(), kResults + 1);
    RecordProperty("copies", copies);
    RecordProperty("resets", resets);
}

}  // namespace
}  // namespace melvora

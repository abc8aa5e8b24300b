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
    struct Counter : ResultListener {
        void OnResultPublished(const ResultRecord&) override { published.fetch_add(1); }
        std::atomic<int> published{0};
    } counter;
    holder.AddListener(&counter);

    const int kResults = 20000;
    std::thread worker([&] {
        for (int i = 1; i <= kResults; ++i) {
            holder.Publish({0.5f, static_cast<float>(i)});  // level, pitch
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
    EXPECT_EQ(counter.published.load(), kResults);
    EXPECT_EQ(holder.BlockCounter(), kResults + 1);
    // The last reset may have come after the last publication; the next one is newest again.
    holder.Publish({0.0f, 12345.0f});
    EXPECT_FLOAT_EQ(holder.ReadNewest().pitchHz, 12345.0f);
    RecordProperty("copies", copies);
    RecordProperty("resets", resets);
}

}  // namespace
}  // namespace melvora

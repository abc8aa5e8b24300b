// The per-block path allocates nothing: every buffer is made when the engine is configured.

#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"

#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// The sanitizers bring their own operator new; the count is taken in plain builds only.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MELVORA_COUNT_ALLOCATIONS 0
#else
#define MELVORA_COUNT_ALLOCATIONS 1
#endif

namespace {

// Allocations made while counting is on (the tests count on one thread only).
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

}  // namespace

#if MELVORA_COUNT_ALLOCATIONS
void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
#endif

namespace melvora {
namespace {

class QuietListener : public ResultListener {
  public:
    void OnResultPublished(const ResultRecord& record) override { last = record; }
    ResultRecord last;
};

class ProcessBlockAllocations : public ::testing::TestWithParam<int> {};

TEST_P(ProcessBlockAllocations, NonePerBlock) {
    if (!MELVORA_COUNT_ALLOCATIONS) {
        GTEST_SKIP() << "allocations are counted in builds without sanitizers";
    }
    const int rate = GetParam();
    ResultHolder holder;
    holder.SetAveragingWindow(2);
    QuietListener listener;
    holder.AddListener(&listener);
    AnalysisEngine engine(&holder, rate, 0.04f, 0.03f, 1024);
    SettleOnSilence(&engine, 0.3);
    const std::vector<int16_t> voice = SteadyVoice(rate, 1.0, 330.0, 12000.0);
    const size_t hop = static_cast<size_t>(engine.HopLength());
    allocations.store(0);
    counting.store(true);
    std::vector<int>* probe = new std::vector<int>(10);
    const long probed = allocations.exchange(0);  // the counter itself must see this one
    size_t blocks = 0;
    for (size_t start = 0; start + hop <= voice.size(); start += hop) {
        engine.ProcessBlock(voice.data() + start);
        ++blocks;
    }
    counting.store(false);
    delete probe;
    EXPECT_GE(probed, 1);
    EXPECT_GT(blocks, 20u);
    EXPECT_GT(listener.last.pitchHz, 0.0f);  // the blocks were really analysed
    EXPECT_EQ(allocations.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rates, ProcessBlockAllocations,
                         ::testing::Values(8000, 12000, 16000, 22050, 44100, 48000));

}  // namespace
}  // namespace melvora

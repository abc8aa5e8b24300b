// The per-block path allocates nothing: every buffer is made when the engine is configured.

#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"

#include "engine_harness.h"
#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

// Allocations made by the counting thread while counting is on.
thread_local bool counting = false;
thread_local long allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
    if (counting) {
        ++allocations;
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

namespace melvora {
namespace {

class QuietListener : public ResultListener {
  public:
    void OnResultPublished(const ResultRecord& record) override { last = record; }
    ResultRecord last;
};

class ProcessBlockAllocations : public ::testing::TestWithParam<int> {};

TEST_P(ProcessBlockAllocations, NonePerBlock) {
    const int rate = GetParam();
    ResultHolder holder;
    holder.SetAveragingWindow(2);
    QuietListener listener;
    holder.AddListener(&listener);
    AnalysisEngine engine(&holder, rate, 0.04f, 0.03f, 1024);
    SettleOnSilence(&engine, 0.3);
    const std::vector<int16_t> voice = SteadyVoice(rate, 1.0, 330.0, 12000.0);
    const size_t hop = static_cast<size_t>(engine.HopLength());
    counting = true;
    allocations = 0;
    size_t blocks = 0;
    for (size_t start = 0; start + hop <= voice.size(); start += hop) {
        engine.ProcessBlock(voice.data() + start);
        ++blocks;
    }
    counting = false;
    EXPECT_GT(blocks, 20u);
    EXPECT_GT(listener.last.pitchHz, 0.0f);  // the blocks were really analysed
    EXPECT_EQ(allocations, 0);
}

INSTANTIATE_TEST_SUITE_P(Rates, ProcessBlockAllocations,
                         ::testing::Values(8000, 12000, 16000, 22050, 44100, 48000));

// The counter itself works.
TEST(ProcessBlockAllocations, CounterSeesAnAllocation) {
    counting = true;
    allocations = 0;
    std::vector<int>* made = new std::vector<int>(10);
    counting = false;
    delete made;
    EXPECT_GE(allocations, 1);
}

}  // namespace
}  // namespace melvora

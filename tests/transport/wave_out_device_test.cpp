#include "audio/wave_out_device.h"

#include <gtest/gtest.h>

#include <vector>

#include "sound_card_fixture.h"

namespace melvora {
namespace {

using testing_support::CounterCard;
using testing_support::CounterSample;
using testing_support::FirstCounterBreak;

constexpr int kBlock = 1323;  // 30 ms at 44100 Hz

struct OutFixture : ::testing::Test {
    CounterCard cc;
    WaveOutDevice device{cc.card.MakePlaybackPort()};
    int64_t written = 0;

    void OpenDefault() {
        device.SetFormat(44100, 16, 1, 1);
        ASSERT_EQ(device.Open(128, 5), 1);
    }
    int WriteNext(int length = kBlock) {
        std::vector<int16_t> block(static_cast<size_t>(length));
        for (auto& s : block) {
            s = CounterSample(written++);
        }
        return device.WriteBlock(block.data(), length);
    }
    void WriteBlocks(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(WriteNext(), 1);
        }
    }
    // Everything written played once, in order.
    void ExpectAllPlayedInOrder() {
        const std::vector<int16_t> played = cc.Played();
        ASSERT_EQ(played.size(), static_cast<size_t>(written));
        EXPECT_EQ(FirstCounterBreak(played, 0), played.size());
    }
};

// The first quarter second is gathered, then sent; after that anything of 5 ms or more goes
// as its own buffer and smaller writes gather.
TEST_F(OutFixture, GatheringFollowsTheQuarterSecondAndFiveMsThresholds) {
    OpenDefault();
    struct Step {
        int length;
        int gatheringBytes;
        int queueLength;
    };
    const Step steps[] = {
        {kBlock, 2646, 0},
        {kBlock, 5292, 0},
        {kBlock, 7938, 0},
        {kBlock, 10584, 0},
        {kBlock, 13230, 0},
        {kBlock, 15876, 0},
        {kBlock, 18522, 0},
        {kBlock, 21168, 0},  // < 22050 bytes of 250 ms
        {kBlock, 0, 1},      // 23814 bytes: sent
        {kBlock, 0, 2},      // above the 441 bytes of 5 ms
        // Now at the queue limit, so a write may wait for the card: queue not checked.
        {100, 200, -1},  // below: gathers
        {150, 0, -1},    // 500 bytes: sent
    };
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(WriteNext(steps[i].length), 1);
        EXPECT_EQ(device.GatheringBytes(), steps[i].gatheringBytes);
        if (steps[i].queueLength >= 0) {
            // The device counts the buffer it gathers into; the card holds only those sent.
            EXPECT_EQ(cc.card.QueuedPlaybackBufferCount(), steps[i].queueLength);
            EXPECT_EQ(device.QueueLength(), steps[i].queueLength + (steps[i].gatheringBytes > 0));
        }
        if (i == 7) {
            cc.card.AdvanceMicroseconds(100000);
            EXPECT_EQ(cc.card.PlayedFrameCount(), 0);  // nothing plays while gathering
        }
    }
}

TEST_F(OutFixture, TheQueueIsHeldNearItsLimitAndEverySamplePlaysOnceInOrder) {
    OpenDefault();
    int maxQueuedMs = 0;
    for (int i = 0; i < 200; ++i) {  // 6 s of sound
        ASSERT_EQ(WriteNext(), 1);
        maxQueuedMs = std::max(maxQueuedMs, device.QueuedMs());
    }
    // A write is refused only above 300 ms, so one more block can sit on top of the limit.
    EXPECT_GT(maxQueuedMs, 300);
    EXPECT_LE(maxQueuedMs, 300 + 30);
    // The writer was held to the card's pace: 6 s of sound took at least 5.7 s of card time.
    EXPECT_GE(cc.card.NowMicroseconds(), 6000000 - 330000);
    ASSERT_EQ(device.Stop(), 0);
    EXPECT_EQ(device.State(), -1);
    EXPECT_EQ(device.Stop(), -1);  // not started any more
    ExpectAllPlayedInOrder();
}

struct LimitCase {
    int requestedMs;
    int limitMs;
};

class WaveOutLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(WaveOutLimitTest, TheQueueLimitIsAtLeast300Ms) {
    CounterCard cc;
    WaveOutDevice device(cc.card.MakePlaybackPort());
    device.SetFormat(16000, 16, 1, 1);
    ASSERT_EQ(device.Open(GetParam().requestedMs, 5), 1);
    EXPECT_EQ(device.MaxQueuedMs(), GetParam().limitMs);
    EXPECT_EQ(device.Open(2000, 10), 1);  // open twice changes nothing
    EXPECT_EQ(device.MaxQueuedMs(), GetParam().limitMs);
}

INSTANTIATE_TEST_SUITE_P(Grid, WaveOutLimitTest,
                         ::testing::Values(LimitCase{128, 300}, LimitCase{0, 300},
                                           LimitCase{300, 300}, LimitCase{301, 301},
                                           LimitCase{1000, 1000}));

// Drain sends a gathering buffer of any size and waits until it has played.
TEST_F(OutFixture, DrainPlaysWhatIsStillGathering) {
    OpenDefault();
    for (int length : {kBlock, kBlock, kBlock, 1}) {
        ASSERT_EQ(WriteNext(length), 1);
    }
    cc.card.AdvanceMicroseconds(1000000);
    EXPECT_EQ(cc.card.PlayedFrameCount(), 0);
    EXPECT_EQ(device.Drain(), 0);
    EXPECT_EQ(device.QueueLength(), 0);
    ExpectAllPlayedInOrder();
}

TEST_F(OutFixture, PlaybackResumesAfterTheQueueRanDry) {
    OpenDefault();
    WriteBlocks(10);
    cc.card.AdvanceMicroseconds(2000000);  // everything plays; the queue runs dry
    EXPECT_EQ(cc.card.PlayedFrameCount(), 10 * kBlock);
    EXPECT_EQ(device.QueuedMs(), 0);
    EXPECT_EQ(device.QueueLength(), 0);
    ASSERT_EQ(WriteNext(), 1);  // gathers again: the queue holds only this buffer
    EXPECT_EQ(device.GatheringBytes(), 2646);
    ASSERT_EQ(device.Stop(), 0);
    ExpectAllPlayedInOrder();
}

TEST_F(OutFixture, CloseDiscardsQueuedSoundAtOnce) {
    OpenDefault();
    WriteBlocks(12);
    const int64_t playedBefore = cc.card.PlayedFrameCount();
    EXPECT_LT(playedBefore, 12 * kBlock);
    EXPECT_EQ(device.Close(), 0);
    EXPECT_EQ(device.State(), -1);
    EXPECT_EQ(device.QueueLength(), 0);
    EXPECT_EQ(cc.card.QueuedPlaybackBufferCount(), 0);
    cc.card.AdvanceMicroseconds(1000000);
    EXPECT_EQ(cc.card.PlayedFrameCount(), playedBefore);
}

TEST_F(OutFixture, WithoutAnOpenDeviceEveryCallFails) {
    EXPECT_EQ(WriteNext(), -1);  // no format yet
    EXPECT_EQ(device.Stop(), -1);
    EXPECT_EQ(device.Close(), -1);
    EXPECT_EQ(device.Drain(), -1);
}

TEST_F(OutFixture, EightBitPlaybackKeepsTheHighByteAndIgnoresFormatChangesWhileOpen) {
    device.SetFormat(8000, 8, 1, 1);
    ASSERT_EQ(device.Open(128, 5), 1);
    device.SetFormat(44100, 16, 2, 1);
    EXPECT_EQ(device.SampleRateHz(), 8000);
    EXPECT_EQ(device.Channels(), 1);
    const std::vector<int16_t> block = {0x7F00, -0x8000, 0x0100, 0};
    ASSERT_EQ(device.WriteBlock(block.data(), 4), 1);
    ASSERT_EQ(device.Stop(), 0);
    EXPECT_EQ(cc.Played(), block);
}

}  // namespace
}  // namespace melvora

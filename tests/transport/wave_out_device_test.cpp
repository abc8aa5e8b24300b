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

std::vector<int16_t> CounterBlock(int64_t first, int length) {
    std::vector<int16_t> block(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        block[static_cast<size_t>(i)] = CounterSample(first + i);
    }
    return block;
}

struct OutFixture : ::testing::Test {
    CounterCard cc;
    WaveOutDevice device{cc.card.MakePlaybackPort()};
    int64_t written = 0;

    void OpenDefault() {
        device.SetFormat(44100, 16, 1, 1);
        ASSERT_EQ(device.Open(128, 5), 1);
    }
    int WriteNext(int length = kBlock) {
        const std::vector<int16_t> block = CounterBlock(written, length);
        written += length;
        return device.WriteBlock(block.data(), length);
    }
};

TEST_F(OutFixture, TheFirstQuarterSecondIsGatheredThenSent) {
    OpenDefault();
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(WriteNext(), 1);
    }
    EXPECT_EQ(device.GatheringBytes(), 8 * 2646);  // 21168 < 22050 bytes of 250 ms
    EXPECT_EQ(cc.card.QueuedPlaybackBufferCount(), 0);
    cc.card.AdvanceMicroseconds(100000);
    EXPECT_EQ(cc.card.PlayedFrameCount(), 0);

    ASSERT_EQ(WriteNext(), 1);  // the ninth reaches 23814 bytes: sent
    EXPECT_EQ(device.GatheringBytes(), 0);
    EXPECT_EQ(device.QueueLength(), 1);
    EXPECT_EQ(cc.card.QueuedPlaybackBufferCount(), 1);

    ASSERT_EQ(WriteNext(), 1);  // above the 441 bytes of 5 ms: sent as its own buffer
    EXPECT_EQ(device.GatheringBytes(), 0);
    EXPECT_EQ(device.QueueLength(), 2);
    EXPECT_EQ(cc.card.QueuedPlaybackBufferCount(), 2);
}

TEST_F(OutFixture, SmallWritesGatherUpToOneBufferWhileSoundPlays) {
    OpenDefault();
    for (int i = 0; i < 9; ++i) {
        ASSERT_EQ(WriteNext(), 1);
    }
    ASSERT_EQ(WriteNext(100), 1);  // 200 bytes < 441 bytes of 5 ms
    EXPECT_EQ(device.GatheringBytes(), 200);
    ASSERT_EQ(WriteNext(150), 1);  // 500 bytes: sent
    EXPECT_EQ(device.GatheringBytes(), 0);
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
    const std::vector<int16_t> played = cc.Played();
    ASSERT_EQ(played.size(), static_cast<size_t>(written));
    EXPECT_EQ(FirstCounterBreak(played, 0), played.size());
}

TEST_F(OutFixture, AReplayShorterThanAQuarterSecondIsHeardOnlyWhenDrained) {
    OpenDefault();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(WriteNext(), 1);
    }
    cc.card.AdvanceMicroseconds(1000000);
    EXPECT_EQ(cc.card.PlayedFrameCount(), 0);
    EXPECT_EQ(device.Drain(), 0);
    EXPECT_EQ(device.QueueLength(), 0);
    const std::vector<int16_t> played = cc.Played();
    ASSERT_EQ(played.size(), static_cast<size_t>(3 * kBlock));
    EXPECT_EQ(FirstCounterBreak(played, 0), played.size());
}

TEST_F(OutFixture, DrainSendsAGatheringBufferOfAnySize) {
    OpenDefault();
    ASSERT_EQ(WriteNext(1), 1);
    EXPECT_EQ(device.GatheringBytes(), 2);
    EXPECT_EQ(device.Drain(), 0);
    EXPECT_EQ(cc.Played().size(), 1u);
}

TEST_F(OutFixture, StopDrainsThenCloses) {
    OpenDefault();
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(WriteNext(), 1);
    }
    EXPECT_EQ(device.Stop(), 0);
    EXPECT_EQ(device.State(), -1);
    EXPECT_EQ(cc.Played().size(), static_cast<size_t>(12 * kBlock));
    EXPECT_EQ(device.Stop(), -1);  // not started any more
}

TEST_F(OutFixture, CloseDiscardsQueuedSoundAtOnce) {
    OpenDefault();
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(WriteNext(), 1);
    }
    const int64_t playedBefore = cc.card.PlayedFrameCount();
    EXPECT_EQ(device.Close(), 0);
    EXPECT_EQ(device.State(), -1);
    EXPECT_EQ(device.QueueLength(), 0);
    EXPECT_EQ(cc.card.QueuedPlaybackBufferCount(), 0);
    cc.card.AdvanceMicroseconds(1000000);
    EXPECT_EQ(cc.card.PlayedFrameCount(), playedBefore);
    EXPECT_LT(playedBefore, 12 * kBlock);
}

TEST_F(OutFixture, StopAndCloseOnANeverStartedDeviceFailWithoutDeviceCalls) {
    EXPECT_EQ(device.Stop(), -1);
    EXPECT_EQ(device.Close(), -1);
    EXPECT_EQ(device.Drain(), -1);
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
}

INSTANTIATE_TEST_SUITE_P(Grid, WaveOutLimitTest,
                         ::testing::Values(LimitCase{128, 300}, LimitCase{0, 300},
                                           LimitCase{300, 300}, LimitCase{301, 301},
                                           LimitCase{1000, 1000}));

TEST_F(OutFixture, OpenTwiceReturnsOne) {
    OpenDefault();
    EXPECT_EQ(device.Open(1000, 10), 1);
    EXPECT_EQ(device.MaxQueuedMs(), 300);
}

TEST_F(OutFixture, SetFormatWhileStartedIsIgnored) {
    OpenDefault();
    device.SetFormat(8000, 8, 2, 1);
    EXPECT_EQ(device.SampleRateHz(), 44100);
    EXPECT_EQ(device.Channels(), 1);
}

TEST_F(OutFixture, ADeviceThatDidNotOpenRefusesWritesAtTheAudioPace) {
    cc.card.SetOpenFails(false, true);
    device.SetFormat(44100, 16, 1, 1);
    EXPECT_EQ(device.Open(128, 5), -1);
    EXPECT_EQ(device.State(), -1);
    EXPECT_EQ(WriteNext(), -1);
    EXPECT_EQ(cc.card.NowMicroseconds(), 30000);
}

TEST_F(OutFixture, WriteWithoutFormatFails) {
    EXPECT_EQ(WriteNext(), -1);
}

TEST_F(OutFixture, EightBitPlaybackKeepsTheHighByte) {
    device.SetFormat(8000, 8, 1, 1);
    ASSERT_EQ(device.Open(128, 5), 1);
    const std::vector<int16_t> block = {0x7F00, -0x8000, 0x0100, 0};
    ASSERT_EQ(device.WriteBlock(block.data(), 4), 1);
    ASSERT_EQ(device.Stop(), 0);
    EXPECT_EQ(cc.Played(), block);
}

TEST_F(OutFixture, PlaybackResumesAfterTheQueueRanDry) {
    OpenDefault();
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(WriteNext(), 1);
    }
    cc.card.AdvanceMicroseconds(2000000);  // everything plays; the queue runs dry
    EXPECT_EQ(cc.card.PlayedFrameCount(), 10 * kBlock);
    EXPECT_EQ(device.QueuedMs(), 0);
    EXPECT_EQ(device.QueueLength(), 0);
    ASSERT_EQ(WriteNext(), 1);  // gathers again: the queue holds only this buffer
    EXPECT_EQ(device.GatheringBytes(), 2646);
    ASSERT_EQ(device.Stop(), 0);
    const std::vector<int16_t> played = cc.Played();
    EXPECT_EQ(played.size(), static_cast<size_t>(11 * kBlock));
    EXPECT_EQ(FirstCounterBreak(played, 0), played.size());
}

}  // namespace
}  // namespace melvora

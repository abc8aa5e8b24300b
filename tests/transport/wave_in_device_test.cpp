#include "audio/wave_in_device.h"

#include <gtest/gtest.h>

#include <vector>

#include "sound_card_fixture.h"

namespace melvora {
namespace {

using testing_support::CounterCard;
using testing_support::FirstCounterBreak;

struct GeometryCase {
    int sampleRateHz;
    int totalMs;
    int msPerBuffer;
    int bufferCount;
    int bytesPerBuffer;
};

class WaveInGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(WaveInGeometryTest, BufferCountAndSizeFollowTheArguments) {
    const GeometryCase& c = GetParam();
    CounterCard cc;
    WaveInDevice device(cc.card.MakeCapturePort());
    if (c.sampleRateHz != 0) {
        device.SetFormat(c.sampleRateHz, 16, 1, 1);
    }
    ASSERT_EQ(device.Open(c.totalMs, c.msPerBuffer), 1);
    EXPECT_EQ(device.BufferCount(), c.bufferCount);
    EXPECT_EQ(device.BytesPerBuffer(), c.bytesPerBuffer);
    EXPECT_EQ(device.TotalBytes(), c.bufferCount * c.bytesPerBuffer);
    EXPECT_EQ(cc.card.QueuedCaptureBufferCount(), c.bufferCount);
}

// Rate 0: no SetFormat at all, which records at 16000 Hz.
INSTANTIATE_TEST_SUITE_P(
    Grid, WaveInGeometryTest,
    ::testing::Values(GeometryCase{44100, 128, 3, 42, 264}, GeometryCase{16000, 128, 3, 42, 96},
                      GeometryCase{0, 128, 3, 42, 96}, GeometryCase{16000, 10, 3, 42, 96},
                      GeometryCase{16000, 128, 64, 5, 2048},
                      GeometryCase{22050, 1000, 10, 100, 440}, GeometryCase{8000, 128, 3, 42, 48}));

// Blocks that do not divide into buffers leave parts of buffers at the front; the next read
// must start exactly there.
class WaveInBlockTest : public ::testing::TestWithParam<int> {};

TEST_P(WaveInBlockTest, ConsecutiveBlocksDeliverEverySampleOnceInOrder) {
    const int blockLength = GetParam();
    CounterCard cc;
    WaveInDevice device(cc.card.MakeCapturePort());
    device.SetFormat(44100, 16, 1, 1);
    ASSERT_EQ(device.Open(128, 3), 1);
    std::vector<int16_t> all;
    std::vector<int16_t> block(static_cast<size_t>(blockLength));
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(device.ReadBlock(block.data(), blockLength), 1);
        all.insert(all.end(), block.begin(), block.end());
    }
    EXPECT_EQ(FirstCounterBreak(all, 0), all.size());
    EXPECT_EQ(cc.card.DroppedCaptureFrameCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BlockLengths, WaveInBlockTest,
                         ::testing::Values(1323, 132, 131, 133, 1, 480, 5000));

struct InFixture : ::testing::Test {
    CounterCard cc;
    WaveInDevice device{cc.card.MakeCapturePort()};
    std::vector<int16_t> block = std::vector<int16_t>(1323);

    void OpenDefault() {
        device.SetFormat(44100, 16, 1, 1);
        ASSERT_EQ(device.Open(128, 3), 1);
    }
};

TEST_F(InFixture, ReadWaitsForTheCardAtAFifthOfTheBlock) {
    OpenDefault();
    ASSERT_EQ(device.ReadBlock(block.data(), 1323), 1);
    // 30 ms of sound cannot be had sooner than 30 ms, and the 6 ms polls overshoot by less
    // than one poll.
    const int64_t now = cc.card.NowMicroseconds();
    EXPECT_GE(now, 30000);
    EXPECT_LT(now, 36000 + 3000);
    EXPECT_EQ(now % 6000, 0);
}

TEST_F(InFixture, AfterAPauseTheOldestBufferedSoundComesFirst) {
    OpenDefault();
    cc.card.AdvanceMicroseconds(500000);  // nobody reads for half a second
    const int buffered = 42 * 132;
    EXPECT_EQ(cc.card.DroppedCaptureFrameCount(), 22050 - buffered);
    std::vector<int16_t> all;
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(device.ReadBlock(block.data(), 1323), 1);
        all.insert(all.end(), block.begin(), block.end());
    }
    // The ring held the first 126 ms; what follows is sound recorded after buffers came back.
    EXPECT_EQ(FirstCounterBreak(all, 0), static_cast<size_t>(buffered));
    EXPECT_EQ(FirstCounterBreak(std::vector<int16_t>(all.begin() + buffered, all.end()), 22050),
              all.size() - buffered);
}

TEST_F(InFixture, FormatAndOpenStateRules) {
    EXPECT_EQ(device.ReadBlock(block.data(), 100), -1);  // no format yet
    EXPECT_EQ(device.Close(), -1);                       // never opened
    device.SetFormat(22050, 16, 2, 6);                   // G.711 with 16 bits becomes PCM
    EXPECT_EQ(device.FormatTag(), 1);
    EXPECT_EQ(device.BytesPerSecond(), 88200);
    device.SetFormat(22050, 8, 1, 7);
    EXPECT_EQ(device.FormatTag(), 7);

    OpenDefault();
    device.SetFormat(8000, 8, 2, 1);  // ignored while open
    EXPECT_EQ(device.SampleRateHz(), 44100);
    EXPECT_EQ(device.BitsPerSample(), 16);
    EXPECT_EQ(device.Channels(), 1);
    EXPECT_EQ(device.Open(1000, 10), 1);  // open twice: no second set of buffers
    EXPECT_EQ(device.BufferCount(), 42);
    EXPECT_EQ(cc.card.QueuedCaptureBufferCount(), 42);

    EXPECT_EQ(device.Close(), 0);
    EXPECT_EQ(device.State(), -1);
    EXPECT_EQ(cc.card.QueuedCaptureBufferCount(), 0);
    device.SetFormat(16000, 16, 1, 1);
    ASSERT_EQ(device.Open(128, 3), 1);  // reopens with the new format
    EXPECT_EQ(device.BytesPerBuffer(), 96);
}

TEST_F(InFixture, EightBitCaptureIsWidenedTo16Bits) {
    cc.card.SetCaptureSource([](int16_t* samples, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            samples[i] = static_cast<int16_t>(i % 2 == 0 ? 0x7F00 : -0x8000);
        }
    });
    device.SetFormat(8000, 8, 1, 1);
    ASSERT_EQ(device.Open(128, 3), 1);
    ASSERT_EQ(device.ReadBlock(block.data(), 24), 1);
    EXPECT_EQ(block[0], 0x7F00);
    EXPECT_EQ(block[1], -0x8000);
}

}  // namespace
}  // namespace melvora

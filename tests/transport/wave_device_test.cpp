// The capture and playback devices on the simulated card, through ports that can be made to
// fail part way (the devices then report -1 and keep what they hold).

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "audio/wave_in_device.h"
#include "audio/wave_out_device.h"
#include "transport_fixture.h"

namespace melvora {
namespace {

using testing_support::CounterCard;
using testing_support::CounterSample;
using testing_support::FirstCounterBreak;

constexpr int kBlock = 1323;  // 30 ms at 44100 Hz

// Flags shared with the test after the port has gone into the device.
struct Faults {
    bool failAddBuffer = false;
    bool failWrite = false;
};

template <class Port>
class Forwarding : public Port {
  public:
    Forwarding(std::unique_ptr<Port> inner, const Faults* faults)
        : inner_(std::move(inner)), f_(faults) {}
    bool Open(const WaveFormat& format) override { return inner_->Open(format); }
    bool IsOpen() const override { return inner_->IsOpen(); }
    bool Prepare(WaveHeader& h) override { return inner_->Prepare(h); }
    bool Reset() override { return inner_->Reset(); }
    bool Unprepare(WaveHeader& h) override { return inner_->Unprepare(h); }
    bool Close() override { return inner_->Close(); }
    bool IsDone(WaveHeader& h) override { return inner_->IsDone(h); }
    void Sleep(int ms) override { inner_->Sleep(ms); }

  protected:
    std::unique_ptr<Port> inner_;
    const Faults* f_;
};

struct FaultyInPort : Forwarding<WaveInPort> {
    using Forwarding::Forwarding;
    bool AddBuffer(WaveHeader& h) override { return !f_->failAddBuffer && inner_->AddBuffer(h); }
    bool Start() override { return inner_->Start(); }
};

struct FaultyOutPort : Forwarding<WaveOutPort> {
    using Forwarding::Forwarding;
    bool Write(WaveHeader& h) override { return !f_->failWrite && inner_->Write(h); }
};

struct Devices : ::testing::Test {
    CounterCard cc;
    Faults faults;
    WaveInDevice in{std::make_unique<FaultyInPort>(cc.card.MakeCapturePort(), &faults)};
    WaveOutDevice out{std::make_unique<FaultyOutPort>(cc.card.MakePlaybackPort(), &faults)};
    std::vector<int16_t> block = std::vector<int16_t>(kBlock);
    int64_t written = 0;

    void OpenIn() {
        in.SetFormat(44100, 16, 1, 1);
        ASSERT_EQ(in.Open(128, 3), 1);
    }
    void OpenOut() {
        out.SetFormat(44100, 16, 1, 1);
        ASSERT_EQ(out.Open(128, 5), 1);
    }
    int WriteNext(int length = kBlock) {
        std::vector<int16_t> samples(static_cast<size_t>(length));
        for (auto& s : samples) {
            s = CounterSample(written++);
        }
        return out.WriteBlock(samples.data(), length);
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

// ---- Capture ----

TEST_F(Devices, CaptureBufferCountAndSizeFollowTheArguments) {
    const struct {
        int sampleRateHz, totalMs, msPerBuffer, bufferCount, bytesPerBuffer;
    } cases[] = {
        {0, 128, 3, 42, 96},  // first, on the fresh device: no SetFormat records at 16000 Hz
        {44100, 128, 3, 42, 264},  {16000, 128, 3, 42, 96},     {16000, 10, 3, 42, 96},
        {16000, 128, 64, 5, 2048}, {22050, 1000, 10, 100, 440}, {8000, 128, 3, 42, 48},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sampleRateHz);
        if (c.sampleRateHz != 0) {
            in.SetFormat(c.sampleRateHz, 16, 1, 1);
        }
        ASSERT_EQ(in.Open(c.totalMs, c.msPerBuffer), 1);
        EXPECT_EQ(in.BufferCount(), c.bufferCount);
        EXPECT_EQ(in.BytesPerBuffer(), c.bytesPerBuffer);
        EXPECT_EQ(in.TotalBytes(), c.bufferCount * c.bytesPerBuffer);
        EXPECT_EQ(cc.card.QueuedCaptureBufferCount(), c.bufferCount);
        ASSERT_EQ(in.Close(), 0);
    }
}

// Blocks that do not divide into buffers leave parts of buffers at the front; the next read
// must start exactly there.
TEST(WaveInDevice, ConsecutiveBlocksDeliverEverySampleOnceInOrder) {
    for (int blockLength : {1323, 132, 131, 133, 1, 480, 5000}) {
        SCOPED_TRACE(blockLength);
        CounterCard cc;
        WaveInDevice device(cc.card.MakeCapturePort());
        device.SetFormat(44100, 16, 1, 1);
        ASSERT_EQ(device.Open(128, 3), 1);
        std::vector<int16_t> all, block(static_cast<size_t>(blockLength));
        for (int i = 0; i < 40; ++i) {
            ASSERT_EQ(device.ReadBlock(block.data(), blockLength), 1);
            all.insert(all.end(), block.begin(), block.end());
        }
        EXPECT_EQ(FirstCounterBreak(all, 0), all.size());
        EXPECT_EQ(cc.card.DroppedCaptureFrameCount(), 0);
    }
}

TEST_F(Devices, AfterAPauseTheOldestBufferedSoundComesFirst) {
    OpenIn();
    cc.card.AdvanceMicroseconds(500000);  // nobody reads for half a second
    const int buffered = 42 * 132;
    EXPECT_EQ(cc.card.DroppedCaptureFrameCount(), 22050 - buffered);
    std::vector<int16_t> all;
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(in.ReadBlock(block.data(), kBlock), 1);
        all.insert(all.end(), block.begin(), block.end());
    }
    // The ring held the first 126 ms; what follows is sound recorded after buffers came back.
    EXPECT_EQ(FirstCounterBreak(all, 0), static_cast<size_t>(buffered));
    EXPECT_EQ(FirstCounterBreak(std::vector<int16_t>(all.begin() + buffered, all.end()), 22050),
              all.size() - buffered);
}

TEST_F(Devices, CaptureFormatAndOpenStateRules) {
    EXPECT_EQ(in.ReadBlock(block.data(), 100), -1);  // no format yet
    EXPECT_EQ(in.Close(), -1);                       // never opened
    in.SetFormat(22050, 16, 2, 6);                   // G.711 with 16 bits becomes PCM
    EXPECT_EQ(in.FormatTag(), 1);
    EXPECT_EQ(in.BytesPerSecond(), 88200);
    in.SetFormat(22050, 8, 1, 7);
    EXPECT_EQ(in.FormatTag(), 7);
    faults.failAddBuffer = true;
    in.SetFormat(44100, 16, 1, 1);
    EXPECT_EQ(in.Open(128, 3), -1);
    EXPECT_EQ(in.State(), -1);
    EXPECT_EQ(cc.card.QueuedCaptureBufferCount(), 0);
    faults.failAddBuffer = false;

    OpenIn();                     // the card was given back, so it opens again
    in.SetFormat(8000, 8, 2, 1);  // ignored while open
    EXPECT_EQ(in.SampleRateHz(), 44100);
    EXPECT_EQ(in.BitsPerSample(), 16);
    EXPECT_EQ(in.Channels(), 1);
    EXPECT_EQ(in.Open(1000, 10), 1);  // open twice: no second set of buffers
    EXPECT_EQ(in.BufferCount(), 42);
    EXPECT_EQ(cc.card.QueuedCaptureBufferCount(), 42);
    ASSERT_EQ(in.ReadBlock(block.data(), kBlock), 1);
    // A read waits for the card at a fifth of the block: 30 ms of sound cannot be had sooner
    // than 30 ms, and the 6 ms polls overshoot by less than one poll.
    const int64_t now = cc.card.NowMicroseconds();
    EXPECT_GE(now, 30000);
    EXPECT_LT(now, 36000 + 3000);
    EXPECT_EQ(now % 6000, 0);

    EXPECT_EQ(in.Close(), 0);
    EXPECT_EQ(in.State(), -1);
    EXPECT_EQ(cc.card.QueuedCaptureBufferCount(), 0);
    in.SetFormat(16000, 16, 1, 1);
    ASSERT_EQ(in.Open(128, 3), 1);  // reopens with the new format
    EXPECT_EQ(in.BytesPerBuffer(), 96);
}

// 8-bit capture is widened to 16 bits; 8-bit playback keeps the high byte.
TEST_F(Devices, EightBitSoundKeepsTheHighByteBothWays) {
    cc.card.SetCaptureSource([](int16_t* samples, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            samples[i] = static_cast<int16_t>(i % 2 == 0 ? 0x7F00 : -0x8000);
        }
    });
    in.SetFormat(8000, 8, 1, 1);
    ASSERT_EQ(in.Open(128, 3), 1);
    ASSERT_EQ(in.ReadBlock(block.data(), 24), 1);
    EXPECT_EQ(block[0], 0x7F00);
    EXPECT_EQ(block[1], -0x8000);

    out.SetFormat(8000, 8, 1, 1);
    ASSERT_EQ(out.Open(128, 5), 1);
    out.SetFormat(44100, 16, 2, 1);  // ignored while open
    EXPECT_EQ(out.SampleRateHz(), 8000);
    EXPECT_EQ(out.Channels(), 1);
    const std::vector<int16_t> sent = {0x7F00, -0x8000, 0x0100, 0};
    ASSERT_EQ(out.WriteBlock(sent.data(), 4), 1);
    ASSERT_EQ(out.Stop(), 0);
    EXPECT_EQ(cc.Played(), sent);
}

// Devices that did not open keep the audio pace: capture gives silence, playback refuses.
TEST_F(Devices, DevicesThatDidNotOpenKeepTheAudioPace) {
    cc.card.SetOpenFails(true, true);
    in.SetFormat(44100, 16, 1, 1);
    out.SetFormat(44100, 16, 1, 1);
    EXPECT_EQ(in.Open(128, 3), -1);
    EXPECT_EQ(out.Open(128, 5), -1);
    EXPECT_EQ(in.State(), -1);
    EXPECT_EQ(out.State(), -1);
    std::fill(block.begin(), block.end(), 1234);
    EXPECT_EQ(in.ReadBlock(block.data(), kBlock), 1);
    EXPECT_EQ(block, std::vector<int16_t>(kBlock, 0));
    EXPECT_EQ(cc.card.NowMicroseconds(), 30000);
    EXPECT_EQ(WriteNext(), -1);
    EXPECT_EQ(cc.card.NowMicroseconds(), 60000);
    EXPECT_EQ(in.Close(), -1);
}

// ---- Playback ----

// The first quarter second is gathered, then sent; after that anything of 5 ms or more goes
// as its own buffer and smaller writes gather.
TEST_F(Devices, GatheringFollowsTheQuarterSecondAndFiveMsThresholds) {
    OpenOut();
    const struct {
        int length, gatheringBytes, queueLength;
    } steps[] = {
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
        EXPECT_EQ(out.GatheringBytes(), steps[i].gatheringBytes);
        if (steps[i].queueLength >= 0) {
            // The device counts the buffer it gathers into; the card holds only those sent.
            EXPECT_EQ(cc.card.QueuedPlaybackBufferCount(), steps[i].queueLength);
            EXPECT_EQ(out.QueueLength(), steps[i].queueLength + (steps[i].gatheringBytes > 0));
        }
        if (i == 7) {
            cc.card.AdvanceMicroseconds(100000);
            EXPECT_EQ(cc.card.PlayedFrameCount(), 0);  // nothing plays while gathering
        }
    }
}

TEST_F(Devices, TheQueueIsHeldNearItsLimitAndEverySamplePlaysOnceInOrder) {
    OpenOut();
    int maxQueuedMs = 0;
    for (int i = 0; i < 200; ++i) {  // 6 s of sound
        ASSERT_EQ(WriteNext(), 1);
        maxQueuedMs = std::max(maxQueuedMs, out.QueuedMs());
    }
    // A write is refused only above 300 ms, so one more block can sit on top of the limit.
    EXPECT_GT(maxQueuedMs, 300);
    EXPECT_LE(maxQueuedMs, 300 + 30);
    // The writer was held to the card's pace: 6 s of sound took at least 5.7 s of card time.
    EXPECT_GE(cc.card.NowMicroseconds(), 6000000 - 330000);
    ASSERT_EQ(out.Stop(), 0);
    EXPECT_EQ(out.State(), -1);
    EXPECT_EQ(out.Stop(), -1);  // not started any more
    ExpectAllPlayedInOrder();
}

TEST_F(Devices, TheQueueLimitIsAtLeast300Ms) {
    out.SetFormat(16000, 16, 1, 1);
    for (const auto& c :
         {std::pair<int, int>{128, 300}, {0, 300}, {300, 300}, {301, 301}, {1000, 1000}}) {
        SCOPED_TRACE(c.first);
        ASSERT_EQ(out.Open(c.first, 5), 1);
        EXPECT_EQ(out.MaxQueuedMs(), c.second);
        EXPECT_EQ(out.Open(2000, 10), 1);  // open twice changes nothing
        EXPECT_EQ(out.MaxQueuedMs(), c.second);
        ASSERT_EQ(out.Close(), 0);
    }
}

// Drain sends a gathering buffer of any size and waits until it has played; a queue that ran
// dry gathers again; Close discards what is queued at once.
TEST_F(Devices, DrainPlaysWhatGathersAndCloseDiscardsWhatIsQueued) {
    EXPECT_EQ(out.WriteBlock(block.data(), kBlock), -1);  // no format yet
    EXPECT_EQ(out.Stop(), -1);
    EXPECT_EQ(out.Close(), -1);
    EXPECT_EQ(out.Drain(), -1);
    OpenOut();
    for (int length : {kBlock, kBlock, kBlock, 1}) {
        ASSERT_EQ(WriteNext(length), 1);
    }
    cc.card.AdvanceMicroseconds(1000000);
    EXPECT_EQ(cc.card.PlayedFrameCount(), 0);
    EXPECT_EQ(out.Drain(), 0);
    EXPECT_EQ(out.QueueLength(), 0);
    ExpectAllPlayedInOrder();

    WriteBlocks(10);
    cc.card.AdvanceMicroseconds(2000000);  // everything plays; the queue runs dry
    ExpectAllPlayedInOrder();
    EXPECT_EQ(out.QueuedMs(), 0);
    EXPECT_EQ(out.QueueLength(), 0);
    ASSERT_EQ(WriteNext(), 1);  // gathers again: the queue holds only this buffer
    EXPECT_EQ(out.GatheringBytes(), 2646);

    WriteBlocks(12);
    const int64_t playedBefore = cc.card.PlayedFrameCount();
    EXPECT_LT(playedBefore, written);
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(out.State(), -1);
    EXPECT_EQ(out.QueueLength(), 0);
    EXPECT_EQ(cc.card.QueuedPlaybackBufferCount(), 0);
    cc.card.AdvanceMicroseconds(1000000);
    EXPECT_EQ(cc.card.PlayedFrameCount(), playedBefore);
    EXPECT_EQ(FirstCounterBreak(cc.Played(), 0), static_cast<size_t>(playedBefore));
}

TEST_F(Devices, AFailedWriteLosesThatBlockOnlyAndKeepsTheQueue) {
    OpenOut();
    WriteBlocks(9);  // the ninth block sends the gathered quarter second
    const int queued = out.QueueLength();
    faults.failWrite = true;
    EXPECT_EQ(WriteNext(), -1);
    EXPECT_EQ(out.QueueLength(), queued);
    EXPECT_EQ(out.GatheringBytes(), 0);
    faults.failWrite = false;
    ASSERT_EQ(WriteNext(), 1);
    ASSERT_EQ(out.Stop(), 0);
    // Everything but the failed block played, in order.
    const std::vector<int16_t> played = cc.Played();
    ASSERT_EQ(played.size(), 10u * kBlock);
    EXPECT_EQ(FirstCounterBreak(played, 0), 9u * kBlock);
    const std::vector<int16_t> last(played.begin() + 9 * kBlock, played.end());
    EXPECT_EQ(FirstCounterBreak(last, 10 * kBlock), last.size());

    // A drain that fails still closes, so the next set-up can reopen.
    OpenOut();
    ASSERT_EQ(WriteNext(), 1);  // gathering
    faults.failWrite = true;
    EXPECT_EQ(out.Stop(), -1);
    EXPECT_EQ(out.State(), -1);
    faults.failWrite = false;
    out.SetFormat(16000, 16, 1, 1);
    EXPECT_EQ(out.Open(128, 5), 1);
    EXPECT_EQ(out.SampleRateHz(), 16000);
}

}  // namespace
}  // namespace melvora

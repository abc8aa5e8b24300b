// Device calls that fail part way: the devices report -1 and keep what they hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "audio/wave_in_device.h"
#include "audio/wave_out_device.h"
#include "sound_card_fixture.h"

namespace melvora {
namespace {

using testing_support::CounterCard;
using testing_support::FirstCounterBreak;

// Flags shared with the test after the port has gone into the device.
struct Faults {
    bool failAddBuffer = false;
    bool failWrite = false;
};

class FaultyInPort : public WaveInPort {
  public:
    FaultyInPort(std::unique_ptr<WaveInPort> inner, Faults* faults)
        : inner_(std::move(inner)), f_(faults) {}
    bool Open(const WaveFormat& format) override { return inner_->Open(format); }
    bool IsOpen() const override { return inner_->IsOpen(); }
    bool Prepare(WaveHeader& h) override { return inner_->Prepare(h); }
    bool AddBuffer(WaveHeader& h) override { return !f_->failAddBuffer && inner_->AddBuffer(h); }
    bool Start() override { return inner_->Start(); }
    bool Reset() override { return inner_->Reset(); }
    bool Unprepare(WaveHeader& h) override { return inner_->Unprepare(h); }
    bool Close() override { return inner_->Close(); }
    bool IsDone(WaveHeader& h) override { return inner_->IsDone(h); }
    void Sleep(int ms) override { inner_->Sleep(ms); }

  private:
    std::unique_ptr<WaveInPort> inner_;
    Faults* f_;
};

class FaultyOutPort : public WaveOutPort {
  public:
    FaultyOutPort(std::unique_ptr<WaveOutPort> inner, Faults* faults)
        : inner_(std::move(inner)), f_(faults) {}
    bool Open(const WaveFormat& format) override { return inner_->Open(format); }
    bool IsOpen() const override { return inner_->IsOpen(); }
    bool Prepare(WaveHeader& h) override { return inner_->Prepare(h); }
    bool Write(WaveHeader& h) override { return !f_->failWrite && inner_->Write(h); }
    bool Reset() override { return inner_->Reset(); }
    bool Unprepare(WaveHeader& h) override { return inner_->Unprepare(h); }
    bool Close() override { return inner_->Close(); }
    bool IsDone(WaveHeader& h) override { return inner_->IsDone(h); }
    void Sleep(int ms) override { inner_->Sleep(ms); }

  private:
    std::unique_ptr<WaveOutPort> inner_;
    Faults* f_;
};

struct FailingPort : ::testing::Test {
    CounterCard cc;
    Faults faults;
    WaveInDevice in{std::make_unique<FaultyInPort>(cc.card.MakeCapturePort(), &faults)};
    WaveOutDevice out{std::make_unique<FaultyOutPort>(cc.card.MakePlaybackPort(), &faults)};
    std::vector<int16_t> block = std::vector<int16_t>(1323);
    int64_t next = 0;

    void SetUp() override {
        in.SetFormat(44100, 16, 1, 1);
        out.SetFormat(44100, 16, 1, 1);
    }
    int WriteNext() {
        for (auto& s : block) {
            s = testing_support::CounterSample(next++);
        }
        return out.WriteBlock(block.data(), 1323);
    }
};

TEST_F(FailingPort, AddBufferFailingDuringOpenFailsTheOpenAndLeavesItClosed) {
    faults.failAddBuffer = true;
    EXPECT_EQ(in.Open(128, 3), -1);
    EXPECT_EQ(in.State(), -1);
    EXPECT_EQ(cc.card.QueuedCaptureBufferCount(), 0);
    faults.failAddBuffer = false;
    EXPECT_EQ(in.Open(128, 3), 1);  // the card was given back, so it opens again
}

TEST_F(FailingPort, AFailedWriteLosesThatBlockOnlyAndKeepsTheQueue) {
    ASSERT_EQ(out.Open(128, 5), 1);
    for (int i = 0; i < 9; ++i) {  // the ninth block sends the gathered quarter second
        ASSERT_EQ(WriteNext(), 1);
    }
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
    ASSERT_EQ(played.size(), 10u * 1323u);
    EXPECT_EQ(FirstCounterBreak(played, 0), 9u * 1323u);
    const std::vector<int16_t> last(played.begin() + 9 * 1323, played.end());
    EXPECT_EQ(FirstCounterBreak(last, 10 * 1323), last.size());
}

TEST_F(FailingPort, PlaybackStopClosesEvenWhenTheDrainFails) {
    ASSERT_EQ(out.Open(128, 5), 1);
    ASSERT_EQ(WriteNext(), 1);  // gathering
    faults.failWrite = true;
    EXPECT_EQ(out.Stop(), -1);
    EXPECT_EQ(out.State(), -1);  // closed all the same, so the next set-up can reopen
    faults.failWrite = false;
    out.SetFormat(16000, 16, 1, 1);
    EXPECT_EQ(out.Open(128, 5), 1);
    EXPECT_EQ(out.SampleRateHz(), 16000);
}

// Devices that did not open keep the audio pace: capture gives silence, playback refuses.
TEST_F(FailingPort, DevicesThatDidNotOpenKeepTheAudioPace) {
    cc.card.SetOpenFails(true, true);
    EXPECT_EQ(in.Open(128, 3), -1);
    EXPECT_EQ(out.Open(128, 5), -1);
    EXPECT_EQ(in.State(), -1);
    EXPECT_EQ(out.State(), -1);
    std::fill(block.begin(), block.end(), 1234);
    EXPECT_EQ(in.ReadBlock(block.data(), 1323), 1);
    EXPECT_EQ(block, std::vector<int16_t>(1323, 0));
    EXPECT_EQ(cc.card.NowMicroseconds(), 30000);
    EXPECT_EQ(WriteNext(), -1);
    EXPECT_EQ(cc.card.NowMicroseconds(), 60000);
    EXPECT_EQ(in.Close(), -1);
}

}  // namespace
}  // namespace melvora

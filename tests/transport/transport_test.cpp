#include "transport/audio_transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "audio/wave_file.h"
#include "transport/replay_reader.h"
#include "transport_fixture.h"

namespace melvora {
namespace {

using testing_support::WaitUntil;

struct TransportFixture : testing_support::WorkerRig {
    std::unique_ptr<AudioTransport> transport;
    TransportSettings settings;

    void SetUp() override { Make(); }
    void TearDown() override {
        counters->release.store(true);
        transport.reset();
    }
    void Make() {
        transport.reset();
        transport = std::make_unique<AudioTransport>(owner, Probe(), cc.card.MakeCapturePort(),
                                                     cc.card.MakePlaybackPort(), settings);
    }
    void SwitchTo(TransportMode mode) {
        transport->Pause();
        transport->SetMode(mode);
        transport->Resume();
    }
};

TEST_F(TransportFixture, BetweenPauseAndResumeNoBlockIsReadAnalysedOrWritten) {
    transport->StartWorker();
    SwitchTo(TransportMode::Recording);
    RunBlocks(2);
    transport->Pause();
    transport->Pause();  // pauses nest: only the outermost Resume lets the worker go
    transport->Resume();
    const int blocks = counters->blocks.load();
    const int64_t cardTime = cc.card.NowMicroseconds();
    const int64_t captured = cc.card.CapturedFrameCount();
    const int32_t frames = transport->CurrentFile()->FrameCount();
    // Give a misbehaving worker every chance to run passes.
    for (int i = 0; i < 2000; ++i) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(counters->blocks.load(), blocks);
    EXPECT_EQ(cc.card.NowMicroseconds(), cardTime);  // no capture read waited on the card
    EXPECT_EQ(cc.card.CapturedFrameCount(), captured);
    EXPECT_EQ(transport->CurrentFile()->FrameCount(), frames);
    transport->Resume();
    RunBlocks(2);
    EXPECT_GT(transport->CurrentFile()->FrameCount(), frames);
}

TEST_F(TransportFixture, PauseReturnsOnlyAfterThePassItInterrupted) {
    transport->StartWorker();
    transport->Pause();
    transport->SetMode(TransportMode::Recording);
    counters->holdNext.store(true);
    const int blocksBefore = counters->blocks.load();
    transport->Resume();
    ASSERT_TRUE(WaitUntil([&] { return counters->held.load(); }));

    std::atomic<bool> returned{false};
    bool insideAtReturn = true;
    int32_t framesAtReturn = -1;
    std::thread pauser([&] {
        transport->Pause();
        insideAtReturn = counters->inside.load();
        framesAtReturn = transport->CurrentFile()->FrameCount();
        returned.store(true);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(returned.load());  // the worker is still inside the analysis of its block
    counters->release.store(true);
    pauser.join();
    EXPECT_FALSE(insideAtReturn);
    EXPECT_EQ(framesAtReturn, 1323);  // the pass finished: its block reached the file
    EXPECT_EQ(counters->blocks.load(), blocksBefore + 1);  // and no other pass began
    transport->Resume();
}

TEST_F(TransportFixture, DestroyingWhileParkedEndsTheWorkerAtOnce) {
    transport->StartWorker();
    RunBlocks(1);
    transport->SetVoiceActivationSensitivity(0.25f);  // changed while the worker runs
    EXPECT_EQ(counters->sensitivity.load(), 0.25f);
    transport->Pause();
    const int blocks = counters->blocks.load();
    const auto start = std::chrono::steady_clock::now();
    transport.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    // Ended normally: the window thread freed the analysis, after no further pass.
    EXPECT_TRUE(counters->destroyed.load());
    EXPECT_EQ(counters->destroyedOn.load(), std::this_thread::get_id());
    EXPECT_EQ(counters->blocks.load(), blocks);
    EXPECT_LT(took, std::chrono::milliseconds(AudioTransport::kStopWaitMs));
}

// A worker that does not end in time is abandoned, not killed: the recording it was making
// still gets its header, and the worker, once free, ends and frees what it used itself.
TEST_F(TransportFixture, AnAbandonedRecordingStillGetsItsHeaderAndNothingMoreIsWritten) {
    transport->StartWorker();
    SwitchTo(TransportMode::Recording);
    RunBlocks(3);
    transport->SetStopWaitMs(50);
    counters->holdNext.store(true);
    ASSERT_TRUE(WaitUntil([&] { return counters->held.load(); }));
    const std::string path = transport->CurrentPath();
    transport.reset();  // abandoned inside a Recording pass
    auto file = WaveFile::OpenForReading(path);
    ASSERT_EQ(file->State(), WaveFileState::Reading);
    const int32_t frames = file->FrameCount();
    EXPECT_GE(frames, 2 * 1323);
    EXPECT_EQ(frames % 1323, 0);
    // The header's sizes agree with the file's length.
    const std::vector<unsigned char> bytes = testing_support::ReadAll(path);
    ASSERT_EQ(bytes.size(), 44u + 2u * static_cast<size_t>(frames));
    const auto le32 = [&bytes](size_t at) {
        return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                     static_cast<uint32_t>(bytes[at + 3]) << 24);
    };
    EXPECT_EQ(le32(4), bytes.size() - 8);
    EXPECT_EQ(le32(40), bytes.size() - 44);
    // The worker, once free, ends its pass without writing into the closed file.
    EXPECT_FALSE(counters->destroyed.load());
    counters->release.store(true);
    ASSERT_TRUE(WaitUntil([&] { return counters->destroyed.load(); }));
    EXPECT_NE(counters->destroyedOn.load(), std::this_thread::get_id());
    EXPECT_EQ(owner.Count(), 0u);
    EXPECT_EQ(testing_support::ReadAll(path).size(), bytes.size());
}

// A card that stops finishing buffers must not hold the window: the read or write gives up
// after the stall limit, the device is closed and reported, and Pause returns.
struct StallCase {
    TransportMode mode;
    bool captureStalls;
    TransportEvent expected;
};

struct StalledCardTest : TransportFixture, ::testing::WithParamInterface<StallCase> {};

TEST_P(StalledCardTest, PauseReturnsAndTheDeviceFailureIsReported) {
    const StallCase c = GetParam();
    std::unique_ptr<ReplayReader> reader;
    if (c.mode == TransportMode::Replaying) {
        // Something to replay: a file of two seconds.
        const std::string path = dir.path() + "replay.wav";
        auto file = WaveFile::CreateForWriting(path, 44100, 16, 1, 1);
        std::vector<int16_t> samples(88200, 1000);
        ASSERT_EQ(file->WriteMono(samples.data(), 88200), 88200);
        file->Close();
        transport->SetReader(std::make_unique<ReplayReader>(path));
    }
    transport->StartWorker();
    if (c.captureStalls) {
        SwitchTo(c.mode);
        RunBlocks(12);
        cc.card.SetStalled(true, false);
    } else {
        // The replay runs ahead of the manual clock, so the card stalls from its start: the
        // writes fill the queue, then wait.
        cc.card.SetStalled(false, true);
        SwitchTo(c.mode);
    }
    ASSERT_TRUE(WaitUntil([&] { return owner.Count() >= 1; }));
    using Posted = testing_support::QueueOwner::Posted;
    const auto reported = [&] {
        const std::vector<Posted> events = owner.Events();
        return std::count(events.begin(), events.end(), Posted{c.expected, 0});
    };
    EXPECT_EQ(owner.Events().front(), (Posted{c.expected, 0}));
    const auto start = std::chrono::steady_clock::now();
    transport->Pause();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    const int32_t frames = transport->CurrentFile()->FrameCount();
    transport->Resume();
    if (c.captureStalls) {
        RunBlocks(3);  // the worker goes on at the audio pace without the device
    }
    transport->Pause();
    if (c.mode == TransportMode::Recording) {
        // What was recorded before the stall is kept, and nothing after it was appended.
        EXPECT_GE(frames, 11 * 1323);
        EXPECT_EQ(frames % 1323, 0);
        EXPECT_EQ(transport->CurrentFile()->FrameCount(), frames);
    }
    // Reported once; a replay then runs on to its end without the speaker.
    EXPECT_EQ(reported(), 1);
    transport->Resume();
}

INSTANTIATE_TEST_SUITE_P(
    Stalls, StalledCardTest,
    ::testing::Values(StallCase{TransportMode::Recording, true, TransportEvent::CaptureFailed},
                      StallCase{TransportMode::Idle, true, TransportEvent::CaptureFailed},
                      StallCase{TransportMode::Replaying, false, TransportEvent::PlaybackFailed}));

struct RateCase {
    int sampleRateHz;
    int blockLength;
};

struct TransportRateTest : TransportFixture, ::testing::WithParamInterface<RateCase> {};

// The worker analyses the microphone in every mode but replaying, in blocks of the hop at the
// transport's rate; only Recording writes, an unbroken run of captured sound.
TEST_P(TransportRateTest, BlocksAreTheHopAtTheRateAndOnlyRecordingWrites) {
    const RateCase c = GetParam();
    settings.recordingRateHz = c.sampleRateHz;
    Make();
    EXPECT_EQ(transport->SampleRateHz(), c.sampleRateHz);
    EXPECT_EQ(transport->BlockLength(), c.blockLength);
    EXPECT_EQ(counters->configuredRateHz.load(), c.sampleRateHz);
    EXPECT_EQ(transport->CurrentFile()->SampleRateHz(), static_cast<uint32_t>(c.sampleRateHz));
    EXPECT_EQ(transport->CurrentPath(), dir.path() + "tmp.wav");
    EXPECT_EQ(counters->blocks.load(), 0);  // nothing runs before the worker starts
    transport->StartWorker();
    for (TransportMode mode : {TransportMode::Idle, TransportMode::RecordStopped,
                               TransportMode::ReplayPaused, TransportMode::Recording}) {
        SwitchTo(mode);
        RunBlocks(3);
    }
    SwitchTo(TransportMode::Idle);
    EXPECT_GE(transport->CurrentFile()->FrameCount(), 2 * c.blockLength);
    EXPECT_EQ(transport->CurrentFile()->FrameCount() % c.blockLength, 0);
    EXPECT_EQ(cc.card.DroppedCaptureFrameCount(), 0);
    EXPECT_EQ(cc.card.PlayedFrameCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rates, TransportRateTest,
                         ::testing::Values(RateCase{44100, 1323}, RateCase{16000, 480},
                                           RateCase{22050, 662}, RateCase{8000, 240},
                                           RateCase{48000, 1440}));

}  // namespace
}  // namespace melvora

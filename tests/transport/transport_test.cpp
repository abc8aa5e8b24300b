#include "transport/audio_transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "audio/wave_file.h"
#include "audio/wave_test_util.h"
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

// Between Pause and Resume no block is read, analysed or written; destroying the transport
// while it is paused wakes the parked worker and ends it at once.
TEST_F(TransportFixture, APausedWorkerDoesNothingUntilResumedOrDestroyed) {
    transport->StartWorker();
    SwitchTo(TransportMode::Recording);
    RunBlocks(2);
    transport->SetVoiceActivationSensitivity(0.25f);  // changed while the worker runs
    EXPECT_EQ(counters->sensitivity.load(), 0.25f);
    transport->Pause();
    transport->Pause();  // pauses nest: only the outermost Resume lets the worker go
    transport->Resume();
    int blocks = counters->blocks.load();
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

    transport->Pause();
    blocks = counters->blocks.load();
    const auto start = std::chrono::steady_clock::now();
    transport.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    // Ended normally: the window thread freed the analysis, after no further pass.
    EXPECT_TRUE(counters->destroyed.load());
    EXPECT_EQ(counters->destroyedOn.load(), std::this_thread::get_id());
    EXPECT_EQ(counters->blocks.load(), blocks);
    EXPECT_LT(took, std::chrono::milliseconds(AudioTransport::kStopWaitMs));
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
    EXPECT_EQ(testutil::Le32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(testutil::Le32At(bytes, 40), bytes.size() - 44);
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
    if (c.mode == TransportMode::Replaying) {
        testing_support::MakeFile(dir.path() + "replay.wav", 44100, 1, 88200);  // two seconds
        transport->SetReader(std::make_unique<ReplayReader>(dir.path() + "replay.wav"));
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
    const std::vector<Posted> events = owner.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), Posted{c.expected, 0}), 1);
    transport->Resume();
}

INSTANTIATE_TEST_SUITE_P(
    Stalls, StalledCardTest,
    ::testing::Values(StallCase{TransportMode::Recording, true, TransportEvent::CaptureFailed},
                      StallCase{TransportMode::Idle, true, TransportEvent::CaptureFailed},
                      StallCase{TransportMode::Replaying, false, TransportEvent::PlaybackFailed}));

// The worker analyses the microphone in every mode but replaying, in blocks of the hop at the
// transport's rate; only Recording writes.
TEST_F(TransportFixture, BlocksAreTheHopAtTheRateAndOnlyRecordingWrites) {
    for (const auto& c : {std::pair<int, int>{44100, 1323},
                          {16000, 480},
                          {22050, 662},
                          {8000, 240},
                          {48000, 1440}}) {
        SCOPED_TRACE(c.first);
        settings.recordingRateHz = c.first;
        transport.reset();
        const int blocks = counters->blocks.load();
        Make();
        EXPECT_EQ(transport->SampleRateHz(), c.first);
        EXPECT_EQ(transport->BlockLength(), c.second);
        EXPECT_EQ(counters->configuredRateHz.load(), c.first);
        EXPECT_EQ(transport->CurrentFile()->SampleRateHz(), static_cast<uint32_t>(c.first));
        EXPECT_EQ(transport->CurrentPath(), dir.path() + "tmp.wav");
        EXPECT_EQ(counters->blocks.load(), blocks);  // nothing runs before the worker starts
        transport->StartWorker();
        for (TransportMode mode : {TransportMode::Idle, TransportMode::RecordStopped,
                                   TransportMode::ReplayPaused, TransportMode::Recording}) {
            SwitchTo(mode);
            RunBlocks(3);
        }
        SwitchTo(TransportMode::Idle);
        EXPECT_GE(transport->CurrentFile()->FrameCount(), 2 * c.second);
        EXPECT_EQ(transport->CurrentFile()->FrameCount() % c.second, 0);
        EXPECT_EQ(cc.card.DroppedCaptureFrameCount(), 0);
        EXPECT_EQ(cc.card.PlayedFrameCount(), 0);
    }
}

}  // namespace
}  // namespace melvora

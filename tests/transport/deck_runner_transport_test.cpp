#include "exercises/deck_runner_transport.h"

#include <gtest/gtest.h>

#include "audio/wave_file.h"
#include "platform/string_table.h"
#include "resources/rc_string_table.h"
#include "transport_fixture.h"

namespace melvora {
namespace {

using testing_support::RecorderView;

struct DeckRunnerTransportTest : testing_support::WorkerRig {
    RecorderView view;
    std::unique_ptr<DeckOperations> deck;

    void SetUp() override {
        SetStringProvider(ProgramText);
        deck = std::make_unique<DeckOperations>(view, owner, Probe(), cc.card.MakeCapturePort(),
                                                cc.card.MakePlaybackPort());
        deck->StartWorker();
    }
    void TearDown() override {
        deck.reset();
        SetStringProvider(nullptr);
    }
};

// A try as the runner makes it: record inside a pause, stop, keep it, start afresh.
TEST_F(DeckRunnerTransportTest, RecordsKeepsAndEmptiesTheWorkingFileForTheNextTry) {
    DeckRunnerTransport transport(*deck);
    transport.Pause();
    transport.RecordToggle();
    transport.Resume();
    EXPECT_EQ(deck->Transport().Mode(), TransportMode::Recording);
    RunBlocks(10);
    transport.StopRecording();
    EXPECT_EQ(deck->Transport().Mode(), TransportMode::RecordStopped);
    // From RecordStopped the deck's own Stop would start another take; the runner's does not.
    transport.StopRecording();
    EXPECT_EQ(deck->Transport().Mode(), TransportMode::RecordStopped);

    const std::string kept = dir.path() + "step0_try#1.wav";
    ASSERT_TRUE(transport.SaveTo(kept));
    transport.NewForced();
    EXPECT_EQ(deck->Transport().Mode(), TransportMode::Idle);
    EXPECT_FALSE(deck->Transport().Recorded());

    auto file = WaveFile::OpenForReading(kept);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->State(), WaveFileState::Reading);
    EXPECT_GE(file->FrameCount(), 9 * deck->Transport().BlockLength());
}

}  // namespace
}  // namespace melvora

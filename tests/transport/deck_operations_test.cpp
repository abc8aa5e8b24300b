#include "transport/deck_operations.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "audio/wave_file.h"
#include "audio/wave_file_memory_stream.h"
#include "exercises/deck_runner_transport.h"
#include "platform/file_system.h"
#include "platform/string_table.h"
#include "platform/text_encoding.h"
#include "resources/rc_string_table.h"
#include "transport/replay_reader.h"
#include "transport_fixture.h"

namespace melvora {
namespace {

using testing_support::CounterSample;
using testing_support::FirstCounterBreak;
using testing_support::MakeFile;
using testing_support::ReadAll;
using testing_support::ReadMonoFile;
using testing_support::WaitUntil;

struct DeckFixture : testing_support::WorkerRig {
    testing_support::RecorderView view;
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
    AudioTransport& T() { return deck->Transport(); }
    std::string WorkingPath() const { return dir.path() + "tmp.wav"; }
    void RecordTake(int blocks) {
        deck->RecordToggle();
        ASSERT_EQ(T().Mode(), TransportMode::Recording);
        RunBlocks(blocks);
        deck->RecordToggle();
        ASSERT_EQ(T().Mode(), TransportMode::RecordStopped);
    }
    // Opens a file the test made, as the user picking it in the open question.
    void OpenMade(const std::string& name, uint32_t rateHz, uint16_t channels, int frames) {
        MakeFile(dir.path() + name, rateHz, channels, frames);
        view.openAnswers.push_back(dir.path() + name);
        deck->Open(false);
    }
    // Waits for the worker's one event and delivers it as the window would.
    void Deliver(TransportEvent event) {
        ASSERT_TRUE(WaitUntil([&] { return owner.Count() >= 1; }));
        ASSERT_EQ(owner.Events(), (std::vector<testing_support::QueueOwner::Posted>{{event, 0}}));
        owner.Clear();
        deck->OnTransportEvent(event, 0);
    }
    void ExpectControls(bool rec, bool rew, bool play, bool eject, bool recPressed,
                        bool playPressed, bool timer) {
        EXPECT_EQ(view.enabled[DeckButton::Rec], rec);
        EXPECT_EQ(view.enabled[DeckButton::Rew], rew);
        EXPECT_EQ(view.enabled[DeckButton::Play], play);
        EXPECT_EQ(view.enabled[DeckButton::Eject], eject);
        EXPECT_EQ(view.pressed[DeckButton::Rec], recPressed);
        EXPECT_EQ(view.pressed[DeckButton::Play], playPressed);
        EXPECT_EQ(view.timerRunning, timer);
    }
    std::wstring MessageText(size_t i) {
        return i < view.messages.size() ? view.messages[i].text : L"none";
    }
};

TEST_F(DeckFixture, FullCycleRecordsReplaysAndSavesExactlyWhatTheCardDelivered) {
    deck->PlayToggle();  // nothing recorded: nothing to play
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    EXPECT_EQ(T().Reader(), nullptr);
    TransportSettings turkish;
    turkish.language = 1;
    deck->SetSettings(turkish);
    deck->RefreshTimeDisplay();
    EXPECT_EQ(view.timeText, ProgramText(1000 + IDS_RECORDED_SO_FAR) + L":    0:00");
    deck->SetSettings(TransportSettings());
    deck->RefreshTimeDisplay();
    EXPECT_EQ(view.timeText, L"Recorded So Far:    0:00");
    ExpectControls(true, false, false, true, false, false, false);

    deck->RecordToggle();
    ExpectControls(true, false, false, false, true, false, true);
    EXPECT_EQ(view.sliderMaximumMs, 0);
    RunBlocks(20);
    deck->RecordToggle();
    EXPECT_EQ(T().Mode(), TransportMode::RecordStopped);
    ExpectControls(true, true, true, true, false, false, false);
    EXPECT_EQ(counters->resets.load(), 1);
    RunBlocks(5);  // analysed, not recorded
    RecordTake(15);
    EXPECT_EQ(cc.card.DroppedCaptureFrameCount(), 0);

    const std::vector<int16_t> recorded = ReadMonoFile(WorkingPath());
    ASSERT_EQ(recorded.size() % 1323, 0u);
    ASSERT_GE(recorded.size(), 35u * 1323u);
    // Two takes: each an unbroken run of the card's samples, the second later than the first.
    const size_t take1 = FirstCounterBreak(recorded, recorded[0]);
    ASSERT_LT(take1, recorded.size());
    EXPECT_EQ(take1 % 1323, 0u);
    EXPECT_GE(take1, 20u * 1323u);
    const std::vector<int16_t> take2(recorded.begin() + take1, recorded.end());
    EXPECT_EQ(FirstCounterBreak(take2, take2[0]), take2.size());
    EXPECT_GE(take2.size(), 15u * 1323u);

    const int totalMs = static_cast<int>(recorded.size() / 44100.0 * 1000.0);
    deck->PlayToggle();
    EXPECT_EQ(T().Mode(), TransportMode::Replaying);
    ExpectControls(false, true, true, false, false, true, true);
    EXPECT_EQ(view.sliderMaximumMs, totalMs);
    EXPECT_EQ(view.sliderPageMs, 1000);
    EXPECT_EQ(T().LengthText(), DeckOperations::FormatMinutesSeconds(totalMs / 1000));

    Deliver(TransportEvent::ReplayEnded);
    EXPECT_EQ(T().Mode(), TransportMode::ReplayPaused);
    ASSERT_NE(T().Reader(), nullptr);
    EXPECT_EQ(T().Reader()->PositionFrame(), 0);
    EXPECT_FALSE(T().EndOfFile());
    ExpectControls(true, true, true, true, false, false, false);
    EXPECT_EQ(view.timeText, L"   0:00  / " + T().LengthText());
    RunBlocks(5);  // live analysis again, and no more commands
    EXPECT_EQ(owner.Count(), 0u);

    const std::string target = dir.path() + "take.wav";
    view.saveAnswers.push_back(target);
    EXPECT_TRUE(deck->CanSave());
    EXPECT_TRUE(deck->Save());
    EXPECT_EQ(T().CurrentPath(), target);
    EXPECT_TRUE(T().Opened());
    EXPECT_FALSE(deck->CanSave());
    EXPECT_FALSE(PathExists(WorkingPath()));

    deck.reset();  // drains the speaker and closes the saved file
    EXPECT_EQ(ReadMonoFile(target), recorded);
    EXPECT_EQ(ReadAll(target).size(), 44 + 2 * recorded.size());  // 16-bit mono
    // The speaker heard the whole file once, in order.
    EXPECT_EQ(cc.Played(), recorded);
}

// Seeks and the rewind move the replay; its end after a click on Play only rewinds.
TEST_F(DeckFixture, A61SecondReplayShowsItsLengthSeeksAndEndsPausedAtItsStart) {
    OpenMade("long.wav", 8000, 1, 61 * 8000);
    deck->PlayToggle();
    EXPECT_EQ(T().LengthText(), L"   1:01");
    EXPECT_EQ(view.sliderMaximumMs, 61000);
    deck->PlayToggle();
    EXPECT_EQ(T().Mode(), TransportMode::ReplayPaused);
    view.sliderPositionMs = 2500;
    deck->Seek();
    EXPECT_EQ(T().Reader()->PositionFrame(), 20000);
    EXPECT_EQ(view.timeText, L"   0:02  /    1:01");
    view.sliderPositionMs = 70000;  // beyond the end: ignored
    deck->Seek();
    EXPECT_EQ(T().Reader()->PositionFrame(), 20000);
    deck->Rewind();
    EXPECT_EQ(T().Reader()->PositionFrame(), 0);
    EXPECT_EQ(view.timeText, L"   0:00  /    1:01");

    view.sliderPositionMs = 60900;
    deck->Seek();
    deck->PlayToggle();
    ASSERT_TRUE(WaitUntil([&] { return owner.Count() >= 1; }));
    deck->PlayToggle();  // the user paused just as the file ended
    ASSERT_EQ(T().Mode(), TransportMode::ReplayPaused);
    deck->OnTransportEvent(TransportEvent::ReplayEnded, 0);
    EXPECT_EQ(T().Mode(), TransportMode::ReplayPaused);  // not started again
    EXPECT_EQ(T().Reader()->PositionFrame(), 0);
    EXPECT_FALSE(T().EndOfFile());
}

// An opened file sets the transport's rate and takes the takes at its end, in whole blocks
// (what the file keeps of a take is checked with sox's own reading of such files).
TEST_F(DeckFixture, AnOpenedFileRunsTheTransportAtItsRateAndRecordsOntoItsEnd) {
    const std::string path = dir.path() + "22050.wav";
    OpenMade("22050.wav", 22050, 2, 1000);
    EXPECT_EQ(T().CurrentPath(), path);
    EXPECT_EQ(T().BlockLength(), 662);
    EXPECT_EQ(counters->configuredRateHz.load(), 22050);
    ExpectControls(true, true, true, true, false, false, false);
    EXPECT_FALSE(PathExists(WorkingPath()));  // the untouched working file was removed
    RecordTake(3);
    EXPECT_FALSE(deck->CanSave());  // an opened file is saved where it is
    const int32_t frames = WaveFile::OpenForReading(path)->FrameCount();
    EXPECT_GE(frames, 1000 + 3 * 662);
    EXPECT_EQ((frames - 1000) % 662, 0);
    const std::vector<int16_t> mono = ReadMonoFile(path);
    // The file's own frames are intact (the mean of c and c + 1 is c; the take may by chance
    // continue their count); the take is an unbroken run of the card's samples in both channels.
    EXPECT_GE(FirstCounterBreak(mono, 0), 1000u);
    const std::vector<int16_t> added(mono.begin() + 1000, mono.end());
    EXPECT_EQ(FirstCounterBreak(added, added[0]), added.size());
}

TEST_F(DeckFixture, TheLastShortBlockKeepsThePreviousBlocksSamplesAsTheAnalyserDoes) {
    OpenMade("short.wav", 44100, 1, 1323 + 100);
    deck->PlayToggle();
    // Until the end is handled the worker passes nothing on, so the last block is the newest
    // the analysis saw.
    ASSERT_TRUE(WaitUntil([&] { return owner.Count() >= 1; }));
    // The analysis saw the last block as melvora-analyze builds it: the file's last 100
    // samples, then the previous block's samples from 100 on.
    std::vector<int16_t> expected;
    for (int i = 0; i < 1423; ++i) {
        expected.push_back(CounterSample(i));
    }
    for (int i = 100; i < 1323; ++i) {
        expected.push_back(CounterSample(i));
    }
    EXPECT_EQ(counters->LastBlock(), std::vector<int16_t>(expected.begin() + 1323, expected.end()));
    Deliver(TransportEvent::ReplayEnded);
    deck.reset();
    EXPECT_EQ(cc.Played(), expected);  // and the speaker played the same
}

// Each problem says so with its own text and loses nothing: a failed capture ends the take,
// the working file cannot be opened, a spoiled take cannot be replayed, and a file that is not
// WAV leaves no current file until New brings the working file back.
TEST_F(DeckFixture, ProblemsAreShownAndLoseNothing) {
    deck->RecordToggle();
    RunBlocks(3);
    deck->OnTransportEvent(TransportEvent::CaptureFailed, 0);
    EXPECT_EQ(T().Mode(), TransportMode::RecordStopped);
    EXPECT_EQ(MessageText(0), ProgramText(IDS_CAPTURE_DEVICE_FAILED));
    EXPECT_EQ(view.messages[0].caption, ProgramText(IDS_ERROR));
    const std::vector<int16_t> take = ReadMonoFile(WorkingPath());
    EXPECT_GE(take.size(), 2u * 1323u);

    view.openAnswers.push_back(WorkingPath());
    deck->Open(false);
    EXPECT_EQ(MessageText(1), ProgramText(IDS_CANNOT_OPEN_WORKING_FILE));
    EXPECT_FALSE(T().Opened());
    view.messageAnswers.push_back(MessageAnswer::Cancel);  // New asks to save the take: kept
    deck->New(false);
    EXPECT_EQ(MessageText(2), ProgramText(IDS_ASK_SAVE_RECORDINGS));
    EXPECT_EQ(ReadMonoFile(WorkingPath()), take);

    std::FILE* f = std::fopen(WorkingPath().c_str(), "r+b");  // spoiled behind our back
    ASSERT_NE(f, nullptr);
    std::fwrite("JUNK", 1, 4, f);
    std::fclose(f);
    deck->PlayToggle();
    EXPECT_EQ(MessageText(3), ProgramText(IDS_CANNOT_REPLAY));
    EXPECT_EQ(T().Mode(), TransportMode::Idle);

    const std::string bad = dir.path() + "bad.wav";
    ASSERT_TRUE(testing_support::WriteAll(bad, {'n', 'o', 't', ' ', 'w', 'a', 'v'}));
    view.openAnswers.push_back(bad);
    view.messageAnswers.push_back(MessageAnswer::No);
    deck->Open(false);
    EXPECT_EQ(T().CurrentFile(), nullptr);
    EXPECT_FALSE(view.enabled[DeckButton::Rew]);
    EXPECT_FALSE(view.enabled[DeckButton::Play]);
    deck->RecordToggle();
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    deck->PlayToggle();  // opened, but the reader cannot open it
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    EXPECT_EQ(MessageText(5), ProgramText(IDS_CANNOT_REPLAY));
    deck->New(false);  // New brings a working file back
    ASSERT_NE(T().CurrentFile(), nullptr);
    EXPECT_EQ(T().CurrentPath(), WorkingPath());
    EXPECT_EQ(T().SampleRateHz(), 44100);
    // With nothing recorded, Close asks nothing and removes the working file.
    EXPECT_TRUE(deck->Close());
    EXPECT_EQ(view.messages.size(), 6u);
    EXPECT_FALSE(PathExists(WorkingPath()));
}

// A take the disk would not hold: the stop says so with the file's path, and a save copies
// nothing and says so again.
TEST_F(DeckFixture, AFileThatCannotBeWrittenIsReportedAtTheStopAndAtASave) {
    WaveFileMemoryStream memory;
    memory.SetWriteBudget(WaveFile::kHeaderBytes + 2 * 1323 * 2);  // two blocks fit
    auto file = WaveFile::CreateForWriting(memory.Io(), 44100, 16, 1, 1);
    ASSERT_EQ(file->State(), WaveFileState::Writing);
    T().SetCurrentFile(std::move(file));
    deck->RecordToggle();
    RunBlocks(4);
    Deliver(TransportEvent::RecordingStopped);
    EXPECT_EQ(T().Mode(), TransportMode::RecordStopped);
    const std::wstring expected = ProgramText(IDS_CANNOT_WRITE_RECORDING) + L"\n" +
                                  ProgramText(IDS_FILE) + L": " + Utf8ToWide(WorkingPath());
    EXPECT_EQ(MessageText(0), expected);
    EXPECT_FALSE(deck->SaveTo(dir.path() + "copy.wav"));
    EXPECT_EQ(MessageText(1), expected);
    EXPECT_FALSE(PathExists(dir.path() + "copy.wav"));
    deck.reset();  // the file goes before the memory it was written to
}

// Nothing unsaved asks nothing; a cancelled question or a failing copy keeps the working file;
// a save while recording holds the worker and keeps every sample.
TEST_F(DeckFixture, ACancelledQuestionOrAFailingCopyKeepsTheWorkingFile) {
    EXPECT_TRUE(deck->Save());  // a question would have been cancelled: none is asked
    RecordTake(3);
    view.openAnswers.push_back("");
    deck->Open(false);
    EXPECT_TRUE(view.openAnswers.empty());
    view.saveAnswers.push_back("");
    EXPECT_FALSE(deck->Save());
    EXPECT_TRUE(view.saveAnswers.empty());
    const std::vector<unsigned char> before = ReadAll(WorkingPath());
    const std::string target = dir.path() + "missing/folder/take.wav";
    EXPECT_FALSE(deck->SaveTo(target));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, L"Error while moving file!\nFile: " +
                                         Utf8ToWide(WorkingPath()) + L"\nTarget: " +
                                         Utf8ToWide(target));
    EXPECT_EQ(view.messages[0].caption, L"Error");
    EXPECT_EQ(view.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(ReadAll(WorkingPath()), before);
    EXPECT_EQ(T().CurrentPath(), WorkingPath());
    EXPECT_FALSE(T().Opened());
    EXPECT_TRUE(deck->CanSave());
    // Saving onto the working file itself fails the same way and loses nothing.
    EXPECT_FALSE(deck->SaveTo(WorkingPath()));
    EXPECT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(ReadAll(WorkingPath()), before);

    const std::vector<int16_t> take1 = ReadMonoFile(WorkingPath());
    deck->RecordToggle();  // the recording goes on into the same file
    RunBlocks(5);
    EXPECT_TRUE(deck->SaveTo(dir.path() + "ok.wav"));
    EXPECT_EQ(T().CurrentPath(), dir.path() + "ok.wav");
    EXPECT_EQ(T().Mode(), TransportMode::Recording);
    RunBlocks(5);
    deck->RecordToggle();
    const std::vector<int16_t> saved = ReadMonoFile(dir.path() + "ok.wav");
    ASSERT_GE(saved.size(), take1.size() + 10u * 1323u);
    EXPECT_TRUE(std::equal(take1.begin(), take1.end(), saved.begin()));
    const std::vector<int16_t> take2(saved.begin() + take1.size(), saved.end());
    EXPECT_EQ(FirstCounterBreak(take2, take2[0]), take2.size());
}

// New and Close first leave a replay or a take; an unsaved take is asked about unless New is
// forced: Cancel keeps it and the worker runs on, Yes saves it first, No drops it.
TEST_F(DeckFixture, NewAndCloseLeaveAReplayOrATakeAndAskToSaveIt) {
    RecordTake(3);
    deck->PlayToggle();
    deck->PlayToggle();
    ASSERT_EQ(T().Mode(), TransportMode::ReplayPaused);
    deck->New(true);
    EXPECT_EQ(view.messages.size(), 0u);
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    EXPECT_EQ(T().Reader(), nullptr);
    EXPECT_FALSE(T().Recorded());
    ASSERT_NE(T().CurrentFile(), nullptr);
    EXPECT_EQ(T().CurrentFile()->FrameCount(), 0);
    EXPECT_LE(ReadAll(WorkingPath()).size(), 44u);  // emptied (the header may still be buffered)
    ExpectControls(true, false, false, true, false, false, false);

    RecordTake(2);
    deck->PlayToggle();
    view.messageAnswers.push_back(MessageAnswer::Cancel);
    EXPECT_FALSE(deck->Close());
    EXPECT_EQ(T().Mode(), TransportMode::Idle);  // the replay was left all the same
    EXPECT_EQ(T().Reader(), nullptr);
    EXPECT_FALSE(view.pressed[DeckButton::Play]);
    RunBlocks(3);  // the worker runs again
    const std::vector<int16_t> recorded = ReadMonoFile(WorkingPath());
    view.messageAnswers.push_back(MessageAnswer::Cancel);
    deck->New(false);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text, L"Do you wish to save your recordings?");
    EXPECT_EQ(view.messages[1].caption, L"Save");
    EXPECT_EQ(view.messages[1].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(ReadMonoFile(WorkingPath()), recorded);
    EXPECT_TRUE(deck->CanSave());
    view.messageAnswers.push_back(MessageAnswer::Yes);
    view.saveAnswers.push_back(dir.path() + "kept.wav");
    deck->New(false);
    EXPECT_EQ(ReadMonoFile(dir.path() + "kept.wav"), recorded);
    EXPECT_EQ(T().CurrentPath(), WorkingPath());
    EXPECT_FALSE(T().Opened());
    EXPECT_EQ(T().CurrentFile()->FrameCount(), 0);

    deck->RecordToggle();
    RunBlocks(3);
    view.messageAnswers.push_back(MessageAnswer::No);
    EXPECT_TRUE(deck->Close());
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    EXPECT_EQ(T().CurrentFile(), nullptr);
    EXPECT_GE(ReadMonoFile(WorkingPath()).size(), 3u * 1323u);
    const int blocks = counters->blocks.load();
    deck.reset();  // the worker stayed parked since Close
    EXPECT_EQ(counters->blocks.load(), blocks);
    EXPECT_EQ(counters->destroyedOn.load(), std::this_thread::get_id());
}

// A try as the exercise runner makes it: record inside a pause, stop, keep it, start afresh.
TEST_F(DeckFixture, TheRunnersTransportRecordsKeepsAndEmptiesTheWorkingFile) {
    DeckRunnerTransport runner(*deck);
    runner.Pause();
    runner.RecordToggle();
    runner.Resume();
    RunBlocks(10);
    runner.StopRecording();
    // From RecordStopped the deck's own Stop would start another take; the runner's does not.
    runner.StopRecording();
    EXPECT_EQ(T().Mode(), TransportMode::RecordStopped);
    ASSERT_TRUE(runner.SaveTo(dir.path() + "try.wav"));
    runner.NewForced();
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    EXPECT_FALSE(T().Recorded());
    EXPECT_GE(ReadMonoFile(dir.path() + "try.wav").size(), 9u * 1323u);
}

}  // namespace
}  // namespace melvora

#include "transport/deck_operations.h"

#include <cstdio>
#include <gtest/gtest.h>

#include <cstring>

#include "exercises/deck_runner_transport.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "transport/replay_reader.h"
#include "audio/wave_file.h"
#include "audio/wave_file_memory_stream.h"
#include "platform/string_table.h"
#include "resources/rc_string_table.h"
#include "transport_fixture.h"

namespace melvora {
namespace {

using testing_support::CounterSample;
using testing_support::FirstCounterBreak;
using testing_support::ReadAll;
using testing_support::RecorderView;
using testing_support::WaitUntil;

std::vector<int16_t> ReadMonoFile(const std::string& path) {
    std::vector<int16_t> all;
    auto file = WaveFile::OpenForReading(path);
    if (!file || file->State() != WaveFileState::Reading) {
        return all;
    }
    std::vector<int16_t> chunk(4096);
    int32_t got = 0;
    while ((got = file->ReadMono(chunk.data(), 4096)) > 0) {
        all.insert(all.end(), chunk.begin(), chunk.begin() + got);
    }
    return all;
}

// Writes a file of `frames` frames whose channel c holds CounterSample(i) + c.
bool MakeFile(const std::string& path, uint32_t rateHz, uint16_t channels, int frames) {
    auto file = WaveFile::CreateForWriting(path, rateHz, 16, channels, 1);
    std::vector<std::vector<int16_t>> data(channels, std::vector<int16_t>(frames));
    std::vector<const int16_t*> pointers;
    for (uint16_t c = 0; c < channels; ++c) {
        for (int i = 0; i < frames; ++i) {
            data[c][i] = static_cast<int16_t>(CounterSample(i) + c);
        }
        pointers.push_back(data[c].data());
    }
    if (file->State() != WaveFileState::Writing ||
        file->WriteChannels(pointers.data(), frames) != frames * channels) {
        return false;
    }
    file->Close();
    return file->State() == WaveFileState::Closed;
}

struct DeckFixture : testing_support::WorkerRig {
    RecorderView view;
    std::unique_ptr<DeckOperations> deck;

    void SetUp() override {
        SetStringProvider(ProgramText);
        MakeDeck();
    }
    void TearDown() override {
        deck.reset();
        SetStringProvider(nullptr);
    }
    void MakeDeck() {
        deck = std::make_unique<DeckOperations>(view, owner, Probe(), cc.card.MakeCapturePort(),
                                                cc.card.MakePlaybackPort());
        deck->StartWorker();
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
        ASSERT_TRUE(MakeFile(dir.path() + name, rateHz, channels, frames));
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
    void FinishReplay() { Deliver(TransportEvent::ReplayEnded); }
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
};

TEST_F(DeckFixture, FullCycleRecordsReplaysAndSavesExactlyWhatTheCardDelivered) {
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

    FinishReplay();
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

TEST_F(DeckFixture, WithNothingRecordedPlayDoesNothingAndCloseRemovesTheWorkingFile) {
    deck->PlayToggle();
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    EXPECT_EQ(T().Reader(), nullptr);
    TransportSettings turkish;
    turkish.language = 1;
    deck->SetSettings(turkish);
    deck->RefreshTimeDisplay();
    EXPECT_EQ(view.timeText, ProgramText(1000 + IDS_RECORDED_SO_FAR) + L":    0:00");
    EXPECT_TRUE(deck->Close());
    EXPECT_EQ(view.messages.size(), 0u);
    EXPECT_FALSE(PathExists(WorkingPath()));
}

TEST_F(DeckFixture, A61SecondReplayShowsItsLengthAndSeeks) {
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
}

// An opened file sets the transport's rate, takes the takes at its end (a stereo file gets
// the mono blocks in both channels) and replays whole.
TEST_F(DeckFixture, OpenedFilesRunTheTransportAtTheirRateAndRecordOntoTheirEnd) {
    const struct {
        uint32_t rateHz;
        uint16_t channels;
        int blockLength;
    } cases[] = {{16000, 1, 480}, {22050, 2, 662}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rateHz);
        const std::string path = dir.path() + std::to_string(c.rateHz) + ".wav";
        const int old = 2 * c.blockLength;  // whole blocks, so the replay has no short one
        OpenMade(std::to_string(c.rateHz) + ".wav", c.rateHz, c.channels, old);
        EXPECT_EQ(T().CurrentPath(), path);
        EXPECT_EQ(T().BlockLength(), c.blockLength);
        EXPECT_EQ(counters->configuredRateHz.load(), static_cast<int>(c.rateHz));
        ExpectControls(true, true, true, true, false, false, false);
        EXPECT_FALSE(PathExists(WorkingPath()));  // the untouched working file was removed
        RecordTake(3);
        EXPECT_FALSE(deck->CanSave());  // an opened file is saved where it is
        auto file = WaveFile::OpenForReading(path);
        ASSERT_EQ(file->State(), WaveFileState::Reading);
        ASSERT_EQ(file->Channels(), c.channels);
        const int32_t frames = file->FrameCount();
        ASSERT_GE(frames, old + 3 * c.blockLength);
        EXPECT_EQ((frames - old) % c.blockLength, 0);
        std::vector<int16_t> left(static_cast<size_t>(frames)), right(left.size());
        int16_t* channels[2] = {left.data(), right.data()};
        ASSERT_EQ(file->ReadChannels(channels, frames), c.channels * frames);
        file.reset();
        // The file's own frames are intact (the take may by chance continue their count);
        // the take is an unbroken run of the card's samples.
        EXPECT_GE(FirstCounterBreak(left, 0), static_cast<size_t>(old));
        for (int i = 0; c.channels == 2 && i < frames; ++i) {
            ASSERT_EQ(right[i], i < old ? left[i] + 1 : left[i]) << i;
        }
        const std::vector<int16_t> added(left.begin() + old, left.end());
        EXPECT_EQ(FirstCounterBreak(added, added[0]), added.size());
    }
    deck->PlayToggle();
    FinishReplay();
    const std::vector<int16_t> content = ReadMonoFile(dir.path() + "22050.wav");
    deck.reset();
    EXPECT_EQ(cc.Played(), content);
}

TEST_F(DeckFixture, TheLastShortBlockKeepsThePreviousBlocksSamplesAsTheAnalyserDoes) {
    OpenMade("short.wav", 44100, 1, 1323 + 100);
    deck->PlayToggle();
    // Until the end is handled the worker passes nothing on, so the last block is among the
    // newest the analysis saw.
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
    const std::vector<int16_t> lastBlock(expected.begin() + 1323, expected.end());
    EXPECT_TRUE(counters->SawBlock(lastBlock));
    FinishReplay();
    deck.reset();
    EXPECT_EQ(cc.Played(), expected);  // and the speaker played the same
}

TEST_F(DeckFixture, TheEndOfAReplayAfterAClickOnPlayOnlyRewinds) {
    OpenMade("short.wav", 44100, 1, 3 * 1323);
    deck->PlayToggle();
    ASSERT_TRUE(WaitUntil([&] { return owner.Count() >= 1; }));
    deck->PlayToggle();  // the user paused just as the file ended
    ASSERT_EQ(T().Mode(), TransportMode::ReplayPaused);
    deck->OnTransportEvent(TransportEvent::ReplayEnded, 0);
    EXPECT_EQ(T().Mode(), TransportMode::ReplayPaused);  // not started again
    EXPECT_EQ(T().Reader()->PositionFrame(), 0);
    EXPECT_FALSE(T().EndOfFile());
}

// A take whose file was spoiled behind the recorder's back says so instead of doing nothing.
TEST_F(DeckFixture, ATakeThatCannotBeReadBackIsReportedOnPlay) {
    RecordTake(2);
    {
        std::FILE* f = std::fopen(WorkingPath().c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::fwrite("JUNK", 1, 4, f);
        std::fclose(f);
    }
    deck->PlayToggle();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, ProgramText(IDS_CANNOT_REPLAY));
    EXPECT_NE(T().Mode(), TransportMode::Replaying);
}

TEST_F(DeckFixture, TheWorkingFileCannotBeOpenedSoANewDoesNotEmptyIt) {
    RecordTake(4);
    const std::vector<int16_t> take = ReadMonoFile(WorkingPath());
    ASSERT_GE(take.size(), 4u * 1323u);
    view.openAnswers.push_back(WorkingPath());
    deck->Open(false);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, ProgramText(IDS_CANNOT_OPEN_WORKING_FILE));
    EXPECT_FALSE(T().Opened());
    // New asks to save the take (it is still unsaved); cancelling keeps it.
    view.messageAnswers.push_back(MessageAnswer::Cancel);
    deck->New(false);
    EXPECT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(ReadMonoFile(WorkingPath()), take);
}

TEST_F(DeckFixture, AFailedCaptureEndsTheTakeAndShowsTheDeviceText) {
    deck->RecordToggle();
    RunBlocks(3);
    deck->OnTransportEvent(TransportEvent::CaptureFailed, 0);
    EXPECT_EQ(T().Mode(), TransportMode::RecordStopped);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, ProgramText(IDS_CAPTURE_DEVICE_FAILED));
    EXPECT_EQ(view.messages[0].caption, ProgramText(IDS_ERROR));
    EXPECT_GE(ReadMonoFile(WorkingPath()).size(), 2u * 1323u);
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
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, expected);
    EXPECT_FALSE(deck->SaveTo(dir.path() + "copy.wav"));
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text, expected);
    EXPECT_FALSE(PathExists(dir.path() + "copy.wav"));
    deck.reset();  // the file goes before the memory it was written to
}

TEST_F(DeckFixture, OpenOfAFileThatIsNotWaveLeavesNoCurrentFile) {
    const std::string path = dir.path() + "bad.wav";
    ASSERT_TRUE(testing_support::WriteAll(path, {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'}));
    view.openAnswers.push_back(path);
    deck->Open(false);
    EXPECT_EQ(T().CurrentFile(), nullptr);
    EXPECT_FALSE(view.enabled[DeckButton::Rew]);
    EXPECT_FALSE(view.enabled[DeckButton::Play]);
    deck->RecordToggle();
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    deck->PlayToggle();  // opened, but the reader cannot open it
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    deck->New(false);  // New brings a working file back
    ASSERT_NE(T().CurrentFile(), nullptr);
    EXPECT_EQ(T().CurrentPath(), WorkingPath());
    EXPECT_EQ(T().SampleRateHz(), 44100);
}

TEST_F(DeckFixture, ACancelledQuestionOrAFailingCopyKeepsTheWorkingFile) {
    EXPECT_TRUE(deck->Save());  // nothing unsaved: no question
    EXPECT_EQ(view.saveQuestions, 0);
    RecordTake(3);
    view.openAnswers.push_back("");
    deck->Open(false);
    EXPECT_EQ(view.openQuestions, 1);
    view.saveAnswers.push_back("");
    EXPECT_FALSE(deck->Save());
    EXPECT_EQ(view.saveQuestions, 1);
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
    // The recording goes on into the same file, and a later save works.
    RecordTake(2);
    EXPECT_TRUE(deck->SaveTo(dir.path() + "ok.wav"));
    EXPECT_EQ(T().CurrentPath(), dir.path() + "ok.wav");
}

TEST_F(DeckFixture, SaveWhileRecordingHoldsTheWorkerAndKeepsEverySample) {
    deck->RecordToggle();
    RunBlocks(5);
    const std::string target = dir.path() + "live.wav";
    EXPECT_TRUE(deck->SaveTo(target));
    EXPECT_EQ(T().Mode(), TransportMode::Recording);
    RunBlocks(5);
    deck->RecordToggle();
    const std::vector<int16_t> saved = ReadMonoFile(target);
    ASSERT_GE(saved.size(), 10u * 1323u);
    EXPECT_EQ(FirstCounterBreak(saved, saved[0]), saved.size());
}

TEST_F(DeckFixture, NewWhileAReplayIsPausedClosesTheReaderAndEmptiesTheWorkingFile) {
    RecordTake(3);
    deck->PlayToggle();
    deck->PlayToggle();
    ASSERT_EQ(T().Mode(), TransportMode::ReplayPaused);
    deck->New(true);
    EXPECT_EQ(view.messages.size(), 0u);  // forced: no question
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    EXPECT_EQ(T().Reader(), nullptr);
    EXPECT_FALSE(T().Recorded());
    ASSERT_NE(T().CurrentFile(), nullptr);
    EXPECT_EQ(T().CurrentFile()->FrameCount(), 0);
    EXPECT_LE(ReadAll(WorkingPath()).size(), 44u);  // emptied (the header may still be buffered)
    ExpectControls(true, false, false, true, false, false, false);
}

TEST_F(DeckFixture, CloseAndNewAskToSaveCancelKeepsTheRecordingAndYesSavesFirst) {
    RecordTake(2);
    view.messageAnswers.push_back(MessageAnswer::Cancel);
    EXPECT_FALSE(deck->Close());
    RunBlocks(3);  // the worker runs again
    const int32_t frames = T().CurrentFile()->FrameCount();
    view.messageAnswers.push_back(MessageAnswer::Cancel);
    deck->New(false);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text, L"Do you wish to save your recordings?");
    EXPECT_EQ(view.messages[1].caption, L"Save");
    EXPECT_EQ(view.messages[1].buttons, MessageButtons::YesNoCancel);
    ASSERT_NE(T().CurrentFile(), nullptr);
    EXPECT_EQ(T().CurrentFile()->FrameCount(), frames);
    EXPECT_TRUE(deck->CanSave());

    const std::vector<int16_t> recorded = ReadMonoFile(WorkingPath());
    view.messageAnswers.push_back(MessageAnswer::Yes);
    view.saveAnswers.push_back(dir.path() + "kept.wav");
    deck->New(false);
    EXPECT_EQ(ReadMonoFile(dir.path() + "kept.wav"), recorded);
    EXPECT_EQ(T().CurrentPath(), WorkingPath());
    EXPECT_FALSE(T().Opened());
    EXPECT_EQ(T().CurrentFile()->FrameCount(), 0);
}

TEST_F(DeckFixture, CloseDuringReplayLeavesTheReplay) {
    RecordTake(3);
    deck->PlayToggle();
    view.messageAnswers.push_back(MessageAnswer::No);
    EXPECT_TRUE(deck->Close());
    EXPECT_EQ(T().Mode(), TransportMode::Idle);
    EXPECT_EQ(T().Reader(), nullptr);
    EXPECT_FALSE(view.pressed[DeckButton::Play]);
}

TEST_F(DeckFixture, CloseWhileRecordingStopsTheTakeAndKeepsTheFileOnNo) {
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

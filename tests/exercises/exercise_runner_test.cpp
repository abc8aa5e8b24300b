#include "exercises/exercise_runner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <sstream>
#include <thread>

#include "exercises/exercise_folder.h"
#include "exercises/exercise_source.h"
#include "exercises/exercise_test_files.h"
#include "platform/file_system.h"
#include "platform/string_table.h"
#include "resources/rc_script.h"

namespace melvora {
namespace {

using namespace testing_support;

// The runner's window, clock, transport and MIDI output in one recorder.
struct Rig : ExerciseRunnerView, RunnerClock, RunnerTransport, MidiSender {
    void SetExerciseText(const std::wstring& t) override { text = t; }
    void SetTimeText(const std::wstring& t) override { timeText = t; }
    void SetSlider(int maximumMs, int, int) override { sliderMax = maximumMs; }
    void SetSliderPosition(int) override {}
    void SetSliderTip(int) override {}
    void SetButton(RunnerButton b, const std::wstring& caption, int) override {
        captions[b] = caption;
    }
    void EnableButton(RunnerButton b, bool on) override { enabled[b] = on; }
    void ShowScore(const TryScorer::Score*) override {}
    bool AskYesNo(const std::wstring&, const std::wstring&) override { return yes; }
    void ShowMessage(const std::wstring& t, const std::wstring&) override { message = t; }
    int ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& list) override {
        const auto it = std::find_if(list.begin(), list.end(),
                                     [&](const auto& e) { return e->FileName() == choice; });
        return it == list.end() ? -1 : static_cast<int>(it - list.begin());
    }
    void PostTryEnd(int id) override { posted.push_back(id); }
    void Leave() override { ++leaves; }

    uint32_t NowMs() override { return now; }
    void StartTimer(int id, uint32_t periodMs) override { timers[id] = {periodMs, now + periodMs}; }
    void StopTimer(int id) override { timers.erase(id); }

    void Pause() override { calls += "pause "; }
    void Resume() override { calls += "resume "; }
    void RecordToggle() override { calls += "record "; }
    void StopRecording() override { calls += "stop "; }
    bool SaveTo(const std::string& path) override {
        calls += "save ";
        saved = path;
        return true;
    }
    void NewForced() override { calls += "new "; }
    std::string Take() { return std::exchange(calls, {}); }

    bool Send(uint32_t m) override {
        sent.push_back(m);
        return true;
    }

    std::wstring text, timeText, message;
    int sliderMax = -1, leaves = 0;
    std::map<RunnerButton, std::wstring> captions;
    std::map<RunnerButton, bool> enabled;
    bool yes = true;
    std::string choice;
    std::vector<int> posted;
    uint32_t now = 5000;
    std::map<int, std::pair<uint32_t, uint32_t>> timers;  // id -> (period, due)
    std::string calls, saved;  // transport calls, the last recording path
    std::vector<uint32_t> sent;
};

ResultRecord Rec(float pitchHz, float tessim, float level = 0.5f) {
    ResultRecord r;
    r.pitchHz = pitchHz;
    r.tessim = tessim;
    r.level = level;
    return r;
}

using FileImage = std::pair<int32_t, std::vector<float>>;

// Two steps: C4 500 ms, a 250 ms rest, E4 750 ms (1500 ms); then G4 2000 ms on program 11.
const char* const kTwoSteps =
    "title: Two\ndescription: d\nintroduction: Sing along.\ninstrument: 52\n"
    "step: first\nnotes: C4/500 rest/250 E4/750\n"
    "step: second\ninstrument: 11\nnotes: G4/2000\n";

class ExerciseRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetStringProvider(ProgramText);
        mkdir(ExerciseFolder::Path().c_str(), 0777);  // table cases set up again
        ExerciseSource source;
        std::string error;
        ASSERT_TRUE(source.Parse(kTwoSteps, &error)) << error;
        ASSERT_TRUE(WriteAll(ExerciseFolder::Path() + "Two.exc", source.Encode()));
        ASSERT_TRUE(WriteAll(ExerciseFolder::Path() + "One.exc", SimpleExercise(1, "One")));
    }
    void TearDown() override {
        runner.reset();
        SetStringProvider(nullptr);
    }
    void Start(MidiSender* sender, std::unique_ptr<ExerciseProgress> progress = nullptr) {
        if (!progress) {
            progress = ExerciseProgress::Start(Exercise::Open("Two.exc"));
        }
        ASSERT_TRUE(progress);
        runner =
            std::make_unique<ExerciseRunner>(rig, rig, rig, sender, settings, std::move(progress));
        runner->ShowPosition();
    }
    // Moves time on, firing due timers in time order.
    void Tick(uint32_t ms) {
        for (const uint32_t end = rig.now + ms;;) {
            auto next = std::min_element(
                rig.timers.begin(), rig.timers.end(),
                [](auto& a, auto& b) { return a.second.second < b.second.second; });
            if (next == rig.timers.end() || next->second.second > end) {
                rig.now = end;
                return;
            }
            rig.now = next->second.second;
            next->second.second += next->second.first;
            runner->OnTimer(next->first);
        }
    }
    // The unfinished file: its current step and its pairs.
    FileImage FileState() {
        ExerciseProgress::FileImage image;
        const auto bytes = ReadAll(ExerciseProgress::FilePath());
        EXPECT_TRUE(ExerciseProgress::ParseFileImage(bytes.data(), bytes.size(), &image));
        std::vector<float> pairs;
        for (const auto& r : image.stepResults) {
            pairs.insert(pairs.end(), {r.averagePitchHz, r.averageTessim});
        }
        return {image.currentStep, pairs};
    }
    // Plays a script: n = Next, x = the Exit (Stop) button, t = Retry, r = a sung record
    // (220 Hz, tessim 0.4), a number = milliseconds passing.
    void Run(const std::string& script) {
        std::istringstream steps(script);
        for (std::string step; steps >> step;) {
            step == "n"   ? runner->OnNext()
            : step == "x" ? runner->OnExitButton()
            : step == "t" ? runner->OnRetry()
            : step == "r" ? runner->IntakeResult(Rec(220, 0.4f))
                          : Tick(static_cast<uint32_t>(std::stoi(step)));
        }
    }

    TempProgramDirectory dir;
    Rig rig;
    RunnerSettings settings;
    std::unique_ptr<ExerciseRunner> runner;
};

TEST_F(ExerciseRunnerTest, WholeRunPlaysRecordsWritesProgressAndAveragesSungResultsOnly) {
    Start(&rig);
    EXPECT_EQ(rig.text, L"Sing along.");
    EXPECT_EQ(rig.captions[RunnerButton::Next], L"Begin");

    runner->OnNext();  // Begin
    EXPECT_EQ(FileState(), (FileImage{0, {0.0f, 0.0f}}));
    EXPECT_EQ(rig.text, L"Step = 1\tNumber of Tries = 0\n\n\n\nPlaying Sample...");
    EXPECT_EQ(rig.captions[RunnerButton::Exit], L"Stop");
    EXPECT_EQ(rig.timeText, L"Playing!    0:00 /    0:01");
    Tick(1499);
    EXPECT_EQ(runner->State(), RunnerState::Playing);
    Tick(1);
    const uint32_t off = SamplePlayer::AllNotesOff();
    EXPECT_EQ(rig.sent, (std::vector<uint32_t>{SamplePlayer::ProgramChange(52), off,
                                               SamplePlayer::NoteOn(60, 100), off, off,
                                               SamplePlayer::NoteOn(64, 100), off}));
    EXPECT_EQ(rig.Take(), "pause record resume ");
    EXPECT_EQ(rig.text, L"Step = 1\tNumber of Tries = 1\n\n\n\nAnalyzing...");
    EXPECT_EQ(rig.sliderMax, 3000);

    // Breaths and silence (no pitch) do not drag the average down.
    for (const ResultRecord& r :
         {Rec(0, 0), Rec(200, 0.5f), Rec(0, 0), Rec(200, 0.5f), Rec(200, 0.5f)}) {
        runner->IntakeResult(r);
    }
    Tick(3000);
    EXPECT_EQ(rig.Take(), "stop save new ");
    EXPECT_EQ(rig.saved, ExerciseFolder::RecordingsPath() + "Two_" +
                             runner->Progress()->StartStamp() + "/step0_try#1.wav");
    EXPECT_EQ(rig.text.rfind(L"Step = 1\tNumber of Tries = 1\n\n\n\n==Analysis Results==\n\n"
                             L"Average Pitch = 200.000000\nTessim Average = 0.500000",
                             0),
              0u);
    EXPECT_TRUE(rig.enabled[RunnerButton::Next]);
    EXPECT_EQ(rig.timeText, L"Time text");

    runner->OnNext();
    EXPECT_EQ(FileState(), (FileImage{1, {0, 0, 200, 0.5f}}));
    EXPECT_EQ(rig.captions[RunnerButton::Next], L"Finish");
    EXPECT_EQ(rig.sent.back(), SamplePlayer::NoteOn(67, 100));
    EXPECT_EQ(rig.sent[rig.sent.size() - 3], SamplePlayer::ProgramChange(11));
    Tick(3000);
    ASSERT_EQ(runner->State(), RunnerState::Recording);
    EXPECT_EQ(rig.timeText, L"Recording!    0:01 /    0:03");
    runner->IntakeResult(Rec(300, 0.7f));
    runner->OnExitButton();  // Stop ends the try early
    runner->OnNext();        // Finish: the Begin pair stays in the file but not in the means
    EXPECT_EQ(FileState(), (FileImage{2, {0, 0, 200, 0.5f, 300, 0.7f}}));
    EXPECT_EQ(rig.text,
              L"==Final Results==\n\nOverall Pitch Average = 250.000000\n"
              L"Overall Tessim Average = 0.600000");
    EXPECT_EQ(rig.captions[RunnerButton::Retry], L"Restart");
    EXPECT_EQ(rig.captions[RunnerButton::Exit], L"Exit");
    runner->OnExitButton();
    EXPECT_EQ(rig.leaves, 1);
    EXPECT_FALSE(PathExists(ExerciseProgress::FilePath()));
}

// Auto-advance without a MIDI output: the silent sample keeps its length and Next follows
// the try. Save & Exit asks first and keeps the file; a new runner continues on the stored
// step, where Stop during the sample returns without a try. After the final results Restart
// and New Exercise start afresh; when the file cannot be created again the runner leaves.
TEST_F(ExerciseRunnerTest, AutoAdvanceSaveContinueStopRestartAndNewExercise) {
    settings.autoAdvance = true;
    Start(nullptr);
    Run("n 1500 r 3000");
    // The try ended and Next ran at once: the second step's sample plays.
    EXPECT_EQ(runner->State(), RunnerState::Playing);
    EXPECT_EQ(FileState(), (FileImage{1, {0, 0, 220, 0.4f}}));
    Run("x");         // Stop
    rig.yes = false;  // "Are you sure?" No
    runner->OnExitButton();
    EXPECT_EQ(rig.leaves, 0);
    rig.yes = true;
    runner->OnExitButton();
    EXPECT_EQ(rig.leaves, 1);
    runner.reset();

    rig = Rig();
    settings.autoAdvance = false;
    Start(&rig, ExerciseProgress::Load());
    EXPECT_EQ(rig.text, L"Step = 2\tNumber of Tries = 0");
    EXPECT_FALSE(rig.enabled[RunnerButton::Next]);
    EXPECT_TRUE(rig.enabled[RunnerButton::Retry]);
    runner->OnNext();  // disabled until the step has a try
    EXPECT_EQ(FileState(), (FileImage{1, {0, 0, 220, 0.4f}}));
    Run("t 600 x");  // Stop during the sample: still no try
    EXPECT_EQ(runner->Tries(), 0);
    EXPECT_EQ(rig.sent.back(), SamplePlayer::AllNotesOff());
    EXPECT_TRUE(rig.timers.empty());
    EXPECT_TRUE(rig.calls.empty());
    Run("t 5500");
    EXPECT_EQ(rig.text.find(L"No results."), rig.text.size() - 11);  // nothing was sung
    EXPECT_TRUE(rig.enabled[RunnerButton::Next]);                    // the step has a try now

    Run("n n");  // Finish, then New Exercise cancelled: nothing changes
    EXPECT_EQ(runner->State(), RunnerState::Final);
    runner->OnRetry();  // Restart
    EXPECT_EQ(FileState(), (FileImage{-1, {}}));
    rig.choice = "One.exc";
    runner->OnNewExercise();
    EXPECT_EQ(runner->Progress()->GetExercise().FileName(), "One.exc");
    EXPECT_EQ(rig.text, L"intro");

    // unfinished.dat cannot be created again: the runner has nothing left to run.
    std::remove(ExerciseProgress::FilePath().c_str());
    mkdir(ExerciseProgress::FilePath().c_str(), 0777);
    WriteAll(ExerciseProgress::FilePath() + "/keep", {1});
    runner->OnRestart();
    EXPECT_EQ(rig.leaves, 1);
    EXPECT_EQ(rig.message, L"The exercise could not be started.");
}

// The close box in every state: a running sample or try ends (the try is kept), the
// progress stays for later, except after the final results.
TEST_F(ExerciseRunnerTest, CloseInEachState) {
    const struct {
        const char* script;
        RunnerState state;
        bool fileKept;
        const char* transportCalls;
    } cases[] = {{"", RunnerState::Introduction, true, ""},
                 {"n 1500 3000", RunnerState::Step, true, ""},
                 {"n", RunnerState::Playing, true, ""},
                 {"n 1500", RunnerState::Recording, true, "stop save new "},
                 {"n 1500 r 3000 n 5500 n", RunnerState::Final, false, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        TearDown();
        SetUp();
        rig = Rig();
        Start(&rig);
        Run(c.script);
        rig.Take();
        ASSERT_EQ(runner->State(), c.state);
        runner->OnClose();
        EXPECT_EQ(rig.leaves, 1);
        EXPECT_EQ(PathExists(ExerciseProgress::FilePath()), c.fileKept);
        EXPECT_EQ(rig.Take(), c.transportCalls);
        EXPECT_TRUE(rig.timers.empty());
        const size_t sent = rig.sent.size();
        Tick(5000);
        runner->OnNext();
        EXPECT_EQ(rig.sent.size(), sent);
        EXPECT_EQ(rig.leaves, 1);
    }
}

TEST_F(ExerciseRunnerTest, VoiceDetectionEndsTheTryAndAStaleEndIsIgnored) {
    settings.useVoiceActivityDetection = true;
    settings.keepRecordings = false;
    Start(&rig);
    Run("n 1500");
    runner->IntakeResult(Rec(0, 0, 0.0f));  // before the voice: not counted
    runner->IntakeResult(Rec(250, 0.3f));
    runner->IntakeResult(Rec(0, 0, 0.0f));  // the voice ends
    runner->IntakeResult(Rec(900, 0.9f));   // after the end: not counted
    ASSERT_EQ(rig.posted, (std::vector<int>{1}));
    EXPECT_EQ(runner->State(), RunnerState::Recording);
    runner->OnTryEnded(rig.posted[0]);
    EXPECT_EQ(runner->State(), RunnerState::Step);
    EXPECT_EQ(std::make_pair(runner->TryAveragePitchHz(), runner->TryAverageTessim()),
              std::make_pair(250.0f, 0.3f));
    EXPECT_EQ(rig.Take(), "pause record resume stop new ");

    // A try that ends by its time while the voice sounds; its late end arrives during the
    // next try, which must go on, and that next try must wait for a voice of its own.
    Run("t 1500 r 3000 t 1500");
    ASSERT_EQ(runner->State(), RunnerState::Recording);
    runner->OnTryEnded(2);
    EXPECT_EQ(runner->State(), RunnerState::Recording);
    runner->IntakeResult(Rec(0, 0, 0.0f));
    EXPECT_EQ(rig.posted.size(), 1u);
}

// The worker publishes all the time; tries start and end on the window thread meanwhile.
TEST_F(ExerciseRunnerTest, IntakeOnTheWorkerWhileTriesStartAndEnd) {
    settings.keepRecordings = false;
    Start(nullptr);
    std::atomic<bool> stop{false};
    std::atomic<int> published{0};
    std::thread worker([&] {
        while (!stop) {
            runner->IntakeResult(Rec(200, 0.5f));
            ++published;
            std::this_thread::yield();
        }
    });
    runner->OnNext();
    for (int attempt = 0; attempt < 3; ++attempt) {
        Tick(1500);
        ASSERT_EQ(runner->State(), RunnerState::Recording);
        const int before = published;
        while (published < before + 50) {
            std::this_thread::yield();
        }
        Tick(3000);
        ASSERT_EQ(runner->State(), RunnerState::Step);
        EXPECT_FLOAT_EQ(runner->TryAveragePitchHz(), 200.0f);
        runner->OnRetry();
    }
    stop = true;
    worker.join();
}

}  // namespace
}  // namespace melvora

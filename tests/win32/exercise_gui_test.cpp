// The exercises through the program's real windows under Wine: the File menu's exercise
// command, the chooser, a whole two-step exercise in the exercise window with tries recorded
// from the simulated sound card and the samples sent to the recording MIDI output, and the
// main controls window coming back where the exercise window was; then a try sung through
// the system's wave devices.
#include <cmath>
#include <cstdio>

#include "exercises/exercise_source.h"
#include "exercises/sample_player.h"
#include "exercises/win32/exercise_dlg.h"
#include "platform/file_system.h"
#include "platform/win32/directory_listing.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::TextOf;

// Writes `source` as the exercise file Exercises/<name> of the program's folder.
void WriteExercise(guitest::ProgramRun& run, const std::string& name, const char* source) {
    ExerciseSource exercise;
    std::string error;
    ASSERT_TRUE(exercise.Parse(source, &error)) << error;
    ASSERT_TRUE(MakeDirectory(run.Path("Exercises")));
    const std::vector<uint8_t> bytes = exercise.Encode();
    UniqueFile file(OpenFile(run.Path("Exercises\\" + name), "wb"));
    ASSERT_TRUE(file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size());
}

// The File menu's exercise command; the chooser gets `title` selected (and its screenshot
// taken as `shot` when screenshots are wanted), then OK. Returns the exercise window.
CExerciseDlg* StartExercise(CControlsDlg& main, const std::wstring& title,
                            const std::string& shot) {
    guitest::WindowWatch chooser(
        [](HWND hwnd) {
            return TextOf(hwnd) == LoadText(IDS_OPEN_EXERCISE, Options().UiLanguage());
        },
        [&](HWND hwnd) {
            HWND list = ::GetDlgItem(hwnd, IDC_EXERCISE_LIST);
            const LRESULT item = ::SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1),
                                                reinterpret_cast<LPARAM>(title.c_str()));
            ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
            ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_EXERCISE_LIST, LBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(list));
            guitest::TakeShot(hwnd, shot);
            ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
    ::SendMessageW(main.Handle(), WM_COMMAND, ID_EXERCISES, 0);
    return main.ExerciseWindow();
}

class ExerciseGui : public ::testing::TestWithParam<int> {
  protected:
    guitest::ProgramRun run_{"exercise"};
};

// The runner's steps are checked natively; here what only the program shows: the windows
// taking each other's place, the texts in the window, the MIDI notes and the kept tries.
TEST_P(ExerciseGui, WholeTwoStepExerciseThroughTheWindows) {
    const bool english = GetParam() == guitest::kEnglish;
    const std::string suffix = english ? "_en" : "_tr";
    Options().language = GetParam();
    WriteExercise(run_, "Two.exc",
                  "title: Two Steps\ndescription: Two short steps.\n"
                  "introduction: Listen, then sing.\n"
                  "step: one\nnotes: C4/300 D4/300\nstep: two\nnotes: E4/300 D4/300\n");
    guitest::Sing(run_.Card(), 261.63, 1.0);  // C4 in every try
    const INT_PTR result = run_.Run([&](CControlsDlg& main) {
        const auto at = [](HWND hwnd) {
            const RECT r = guitest::ScreenRectOf(hwnd);
            return std::make_pair(r.left, r.top);
        };
        const auto mainBefore = at(main.Handle());
        CExerciseDlg* runner = StartExercise(main, L"Two Steps", "exercise_chooser" + suffix);
        ASSERT_NE(runner, nullptr);  // (the window is ended when its script gives up)
        EXPECT_EQ(at(runner->Handle()), mainBefore);
        EXPECT_FALSE(::IsWindowVisible(main.Handle()));
        ExerciseRunner& r = *runner->Runner();
        // Next (Begin, then the next step) and the try of `step` recorded.
        const auto tryStep = [&](int step) {
            guitest::Click(runner->Button(RunnerButton::Next).Handle());
            EXPECT_TRUE(guitest::PumpUntil([&] {
                return r.State() == RunnerState::Step && r.Tries() == 1 &&
                       r.Progress()->GetExercise().CurrentStep() == step;
            })) << "step "
                << step;
        };
        tryStep(0);
        // The try heard the simulated voice at C4.
        const std::wstring text = TextOf(::GetDlgItem(runner->Handle(), IDC_EXERCISE_TEXT));
        EXPECT_NE(text.find(english ? L"Average Pitch = 26" : L"Ortalama Perde = 26"),
                  std::wstring::npos)
            << text.c_str();
        guitest::TakeShot(runner->Handle(), "exercise_runner" + suffix);
        tryStep(1);
        guitest::Click(runner->Button(RunnerButton::Next).Handle());  // Finish
        EXPECT_TRUE(guitest::PumpUntil([&] { return r.State() == RunnerState::Final; }));
        const std::wstring finalText = TextOf(::GetDlgItem(runner->Handle(), IDC_EXERCISE_TEXT));
        EXPECT_EQ(finalText.rfind(english ? L"==Final Results==" : L"==Son Sonuçlar==", 0), 0u)
            << finalText.c_str();
        const auto runnerAt = at(runner->Handle());
        guitest::Click(runner->Button(RunnerButton::Exit).Handle());
        EXPECT_TRUE(guitest::PumpUntil([&] { return main.ExerciseWindow() == nullptr; }));
        EXPECT_TRUE(::IsWindowVisible(main.Handle()));
        EXPECT_EQ(at(main.Handle()), runnerAt);
        run_.Close(main);
    });
    EXPECT_EQ(result, 1);
    // The samples went to the MIDI output: C4 D4, then E4 D4.
    std::vector<uint32_t> noteOns;
    for (uint32_t m : run_.journal.Messages()) {
        if ((m & 0xF0u) == 0x90u && (m >> 16) != 0) {
            noteOns.push_back(m);
        }
    }
    EXPECT_EQ(noteOns, (std::vector<uint32_t>{
                           SamplePlayer::NoteOn(60, 100), SamplePlayer::NoteOn(62, 100),
                           SamplePlayer::NoteOn(64, 100), SamplePlayer::NoteOn(62, 100)}));
    // Both tries were kept; the finished exercise left no unfinished file.
    const std::vector<std::wstring> folders =
        ListDirectory(Utf8ToWide(run_.Path("ExerciseRecordings\\Two_*")), true);
    ASSERT_EQ(folders.size(), 1u);
    const std::string kept = "ExerciseRecordings\\" + WideToUtf8(folders[0]) + "\\";
    EXPECT_TRUE(run_.Exists(kept + "step0_try#1.wav"));
    EXPECT_TRUE(run_.Exists(kept + "step1_try#1.wav"));
    EXPECT_FALSE(run_.Exists("Exercises\\unfinished.dat"));
}

INSTANTIATE_TEST_SUITE_P(Languages, ExerciseGui,
                         ::testing::Values(guitest::kEnglish, guitest::kTurkish));

// End to end with the system's wave devices: sound_under_wine.sh plays a sung C4 into a
// PulseAudio null sink, which is what the microphone hears; the try is recorded through
// WINMM and scored. Skipped without MELVORA_SOUND_TESTS.
TEST(ExerciseSound, ASungTryPlayedIntoTheSinkIsScored) {
    if (!guitest::EnvironmentHas(L"MELVORA_SOUND_TESTS")) {
        GTEST_SKIP() << "needs the PulseAudio null sink of sound_under_wine.sh";
    }
    guitest::ProgramRun run("exercise_sound", guitest::ProgramRun::Sound::kSystem);
    WriteExercise(run, "Held.exc",
                  "title: Held C4\ndescription: d\nintroduction: i\nstep: one\nnotes: C4/3000\n");
    Options().language = guitest::kEnglish;
    Options().keepRecordings = 0;
    TryScorer::Score score;
    run.Run([&](CControlsDlg& main) {
        // The analysis first hears the room's quiet, then the sung note, as in the program.
        // The note is long because a newly opened capture under Wine may hear silence at first.
        guitest::PumpMessages(1500);
        guitest::CueSinger(true);
        guitest::PumpUntil(
            [&] { return std::fabs(main.Results().ReadNewest().pitchHz - 261.63f) < 8.0f; });
        if (CExerciseDlg* runner = StartExercise(main, L"Held C4", "")) {
            ExerciseRunner& r = *runner->Runner();
            guitest::Click(runner->Button(RunnerButton::Next).Handle());
            EXPECT_TRUE(guitest::PumpUntil(
                [&] { return r.State() == RunnerState::Step && r.Tries() == 1; }, 40000))
                << "state " << static_cast<int>(r.State()) << ", tries " << r.Tries();
            score = r.LastScore();
            r.OnClose();
            guitest::PumpUntil([&] { return main.ExerciseWindow() == nullptr; });
        }
        run.Close(main);
    });
    guitest::CueSinger(false);
    ASSERT_EQ(score.notes.size(), 1u);
    std::printf(
        "sung try through the sink: %d voiced frames, median %.2f Hz, %.1f cents, "
        "in tune %.3f\n",
        score.voicedFrames, score.notes[0].sungMedianHz, score.notes[0].cents, score.inTuneShare);
    EXPECT_GT(score.voicedFrames, 20);
    EXPECT_NEAR(score.notes[0].sungMedianHz, 261.63, 8.0);
    EXPECT_GT(score.inTuneShare, 0.8);
}

}  // namespace
}  // namespace melvora

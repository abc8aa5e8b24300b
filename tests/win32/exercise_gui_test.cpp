// The exercises through the program's real windows under Wine: the File menu's exercise
// command, the chooser, a whole two-step exercise in the exercise window with tries recorded
// from the simulated sound card and the samples sent to the recording MIDI output, and the
// main controls window coming back where the exercise window was.
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
void WriteExercise(const guitest::ProgramRun& run, const std::string& name, const char* source) {
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
            const LRESULT item = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(title.c_str()));
            ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
            ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_EXERCISE_LIST, LBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(list));
            guitest::TakeShot(hwnd, shot);
            ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
    ::SendMessageW(main.Handle(), WM_COMMAND, ID_EXERCISES, 0);
    EXPECT_NE(main.ExerciseWindow(), nullptr) << "no exercise window";
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
    RECT mainBefore = {}, runnerRect = {}, mainAfter = {};
    bool mainHiddenWhileRunning = false, mainShownAfter = false, runnerGone = false;
    std::wstring firstResult;
    const INT_PTR result = run_.Run([&](CControlsDlg& main) {
        mainBefore = guitest::ScreenRectOf(main.Handle());
        CExerciseDlg* runner = StartExercise(main, L"Two Steps", "exercise_chooser" + suffix);
        ASSERT_NE(runner, nullptr);  // (the window is ended when its script gives up)
        runnerRect = guitest::ScreenRectOf(runner->Handle());
        mainHiddenWhileRunning = !::IsWindowVisible(main.Handle());
        ExerciseRunner& r = *runner->Runner();
        // Presses Next and waits for the try of `step` (-1: for the final results).
        auto next = [&](int step) {
            guitest::Click(runner->Button(RunnerButton::Next).Handle());
            EXPECT_TRUE(guitest::PumpUntil([&] {
                return step < 0 ? r.State() == RunnerState::Final
                                : r.State() == RunnerState::Step && r.Tries() == 1 &&
                                      r.Progress()->GetExercise().CurrentStep() == step;
            })) << "step "
                << step;
        };
        next(0);  // Begin
        firstResult = TextOf(::GetDlgItem(runner->Handle(), IDC_EXERCISE_TEXT));
        guitest::TakeShot(runner->Handle(), "exercise_runner" + suffix);
        next(1);
        next(-1);  // Finish
        guitest::Click(runner->Button(RunnerButton::Exit).Handle());
        runnerGone = guitest::PumpUntil([&] { return main.ExerciseWindow() == nullptr; });
        mainShownAfter = ::IsWindowVisible(main.Handle()) != FALSE;
        mainAfter = guitest::ScreenRectOf(main.Handle());
        run_.Close(main);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(mainHiddenWhileRunning);
    auto at = [](const RECT& r) { return std::make_pair(r.left, r.top); };
    EXPECT_EQ(at(runnerRect), at(mainBefore));
    EXPECT_TRUE(runnerGone);
    EXPECT_TRUE(mainShownAfter);
    EXPECT_EQ(at(mainAfter), at(runnerRect));
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
    // The try heard the simulated voice at C4.
    const std::wstring average = english ? L"Average Pitch = 26" : L"Ortalama Perde = 26";
    EXPECT_NE(firstResult.find(average), std::wstring::npos) << firstResult.c_str();
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

}  // namespace
}  // namespace melvora

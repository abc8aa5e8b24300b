// The exercises through the program's real windows under Wine: the File menu's exercise
// command, the chooser, a one-step exercise in the exercise window with a try recorded from
// the simulated sound card and the sample sent to the recording MIDI output, and the main
// controls window coming back where the exercise window was.
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

class ExerciseGui : public ::testing::TestWithParam<int> {
  protected:
    guitest::ProgramRun run_{"exercise"};
};

// The runner's steps are checked natively; here what only the program shows: the windows
// taking each other's place, the texts in the window, the MIDI notes and the kept try.
TEST_P(ExerciseGui, WholeExerciseThroughTheWindows) {
    const bool english = GetParam() == guitest::kEnglish;
    const std::string suffix = english ? "_en" : "_tr";
    Options().language = GetParam();
    ExerciseSource source;
    std::string error;
    ASSERT_TRUE(
        source.Parse("title: One Step\ndescription: A short step.\n"
                     "introduction: Listen, then sing.\nstep: one\nnotes: C4/300 D4/300\n",
                     &error))
        << error;
    ASSERT_TRUE(MakeDirectory(run_.Path("Exercises")));
    const std::vector<uint8_t> bytes = source.Encode();
    UniqueFile file(OpenFile(run_.Path("Exercises\\One.exc"), "wb"));
    ASSERT_TRUE(file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size());
    file.reset();
    guitest::Sing(run_.Card(), 261.63, 1.0);  // C4 in every try
    const INT_PTR result = run_.Run([&](CControlsDlg& main) {
        const auto at = [](HWND hwnd) {
            const RECT r = guitest::ScreenRectOf(hwnd);
            return std::make_pair(r.left, r.top);
        };
        const auto mainBefore = at(main.Handle());
        // The chooser gets the exercise selected (and its screenshot taken), then OK.
        guitest::WindowWatch chooser(
            [](HWND hwnd) {
                return TextOf(hwnd) == LoadText(IDS_OPEN_EXERCISE, Options().UiLanguage());
            },
            [&](HWND hwnd) {
                HWND list = ::GetDlgItem(hwnd, IDC_EXERCISE_LIST);
                const LRESULT item = ::SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1),
                                                    reinterpret_cast<LPARAM>(L"One Step"));
                ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
                ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_EXERCISE_LIST, LBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(list));
                guitest::TakeShot(hwnd, "exercise_chooser" + suffix);
                ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            });
        ::SendMessageW(main.Handle(), WM_COMMAND, ID_EXERCISES, 0);
        CExerciseDlg* runner = main.ExerciseWindow();
        ASSERT_NE(runner, nullptr);  // (the window is ended when its script gives up)
        EXPECT_EQ(at(runner->Handle()), mainBefore);
        EXPECT_FALSE(::IsWindowVisible(main.Handle()));
        ExerciseRunner& r = *runner->Runner();
        guitest::Click(runner->Button(RunnerButton::Next).Handle());  // Begin
        EXPECT_TRUE(
            guitest::PumpUntil([&] { return r.State() == RunnerState::Step && r.Tries() == 1; }));
        // The try heard the simulated voice at C4.
        const std::wstring text = TextOf(::GetDlgItem(runner->Handle(), IDC_EXERCISE_TEXT));
        EXPECT_NE(text.find(english ? L"Average Pitch = 26" : L"Ortalama Perde = 26"),
                  std::wstring::npos)
            << text.c_str();
        guitest::TakeShot(runner->Handle(), "exercise_runner" + suffix);
        guitest::Click(runner->Button(RunnerButton::Next).Handle());  // Finish
        EXPECT_TRUE(guitest::PumpUntil([&] { return r.State() == RunnerState::Final; }));
        const auto runnerAt = at(runner->Handle());
        guitest::Click(runner->Button(RunnerButton::Exit).Handle());
        EXPECT_TRUE(guitest::PumpUntil([&] { return main.ExerciseWindow() == nullptr; }));
        EXPECT_TRUE(::IsWindowVisible(main.Handle()));
        EXPECT_EQ(at(main.Handle()), runnerAt);
        run_.Close(main);
    });
    EXPECT_EQ(result, 1);
    // The sample went to the MIDI output.
    std::vector<uint32_t> noteOns;
    for (uint32_t m : run_.journal.Messages()) {
        if ((m & 0xF0u) == 0x90u && (m >> 16) != 0) {
            noteOns.push_back(m);
        }
    }
    EXPECT_EQ(noteOns, (std::vector<uint32_t>{SamplePlayer::NoteOn(60, 100),
                                              SamplePlayer::NoteOn(62, 100)}));
    // The try was kept; the finished exercise left no unfinished file.
    const std::vector<std::wstring> folders =
        ListDirectory(Utf8ToWide(run_.Path("ExerciseRecordings\\One_*")), true);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_TRUE(run_.Exists("ExerciseRecordings\\" + WideToUtf8(folders[0]) + "\\step0_try#1.wav"));
    EXPECT_FALSE(run_.Exists("Exercises\\unfinished.dat"));
}

INSTANTIATE_TEST_SUITE_P(Languages, ExerciseGui,
                         ::testing::Values(guitest::kEnglish, guitest::kTurkish));

}  // namespace
}  // namespace melvora

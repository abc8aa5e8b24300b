// The keyboard and staff windows of the running program while a vowel is sung into its
// microphone (the PulseAudio null sink of music_screenshots.sh), in English and Turkish,
// presented one by one to the screenshot script. Skipped unless MELVORA_SHOTS names the
// folder of the script's hand-shake files.
#include <cmath>

#include "music/win32/keyboard_dlg.h"
#include "music/win32/staff_dlg.h"
#include "win32/program_run.h"
#include "win32/shot.h"

namespace melvora {
namespace {

class MusicScreens : public ::testing::TestWithParam<int> {};

TEST_P(MusicScreens, KeyboardAndStaffWhileSinging) {
    if (!guitest::ShotsWanted()) {
        GTEST_SKIP() << "needs the sound sink and screenshot script of music_screenshots.sh";
    }
    const int language = GetParam();
    guitest::ProgramRun run("screens", guitest::ProgramRun::Sound::kSystem);
    Options().language = language;
    Options().noteLetters = language == guitest::kEnglish ? 1 : 0;
    float heard = 0.0f;
    bool presented = false;
    run.Run([&](CControlsDlg& program) {
        CKeyboardDlg* keyboard = program.KeyboardWindow();
        CStaffDlg* staff = program.StaffWindow();
        for (FloatingWindow window : {FloatingWindow::Keyboard, FloatingWindow::Staff}) {
            if (!::IsWindowVisible(program.FloatingFrame(window).Handle())) {
                program.ToggleWindow(window);
            }
        }
        // The vowel loops into the sink; wait until the staff has it.
        guitest::PumpUntil(
            [&] {
                heard = staff->Staff().Pitch();
                return std::fabs(heard - 440.0f) < 8.0f;
            },
            20000);
        // A PC key held down: its key lit, its name in the label strip, the letters shown.
        ::SendMessageW(keyboard->Keyboard().Handle(), WM_KEYDOWN, 'U', 0);
        const std::string suffix = language == guitest::kEnglish ? "_en" : "_tr";
        presented = guitest::TakeShot(keyboard->Handle(), "keyboard_singing" + suffix,
                                      &keyboard->Keyboard()) &&
                    guitest::TakeShot(staff->Handle(), "staff_singing" + suffix, &staff->Staff());
        ::SendMessageW(keyboard->Keyboard().Handle(), WM_KEYUP, 'U', 0xC0000000);
        run.Close(program);
    });
    EXPECT_NEAR(heard, 440.0f, 8.0f);
    EXPECT_TRUE(presented);
}

INSTANTIATE_TEST_SUITE_P(Languages, MusicScreens,
                         ::testing::Values(guitest::kEnglish, guitest::kTurkish));

}  // namespace
}  // namespace melvora

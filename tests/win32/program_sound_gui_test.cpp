// The real WINMM sound path of the program under Wine. Run by sound_under_wine.sh, which
// provides a PulseAudio null sink (what is played into it is what the microphone hears),
// plays a sung vowel into it for the microphone test and records it for the replay test.
// Without MELVORA_SOUND_TESTS in the environment these tests are skipped.
#include <cmath>
#include <cstdio>

#include "ui/win32/new_deck_button.h"
#include "views/win32/inst_tessim_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// How long the program hears the room's quiet before the singer starts.
constexpr int kQuietMs = 1500;

class ProgramSound : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!guitest::EnvironmentHas(L"MELVORA_SOUND_TESTS")) {
            GTEST_SKIP() << "needs the PulseAudio null sink of sound_under_wine.sh";
        }
        run_ = std::make_unique<guitest::ProgramRun>("sound", guitest::ProgramRun::Sound::kSystem);
        Options().language = guitest::kEnglish;
    }
    void TearDown() override { guitest::CueSinger(false); }
    std::unique_ptr<guitest::ProgramRun> run_;
};

// Seconds of CPU time of the thread or process behind `handle`.
double CpuSeconds(HANDLE handle, bool process) {
    FILETIME created, exited, kernel, user;
    const BOOL ok = process ? ::GetProcessTimes(handle, &created, &exited, &kernel, &user)
                            : ::GetThreadTimes(handle, &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return ok ? seconds(kernel) + seconds(user) : 0.0;
}

// Runs once, from the program's own message loop, when its timer comes.
std::function<void()> g_later;
void CALLBACK RunLater(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    std::function<void()> later = std::move(g_later);
    later();
}

// The sung vowel (A3) reaches the program's real capture; the analysis window draws its note
// and the volume window (through the WINMM mixer port) lists the sound server's recording
// sources and controls its volumes. Then, with the program
// left to its own message loop for 20 s, the CPU it takes and the analysis view's frame rate.
TEST_F(ProgramSound, MicrophoneNoteShowsInTheAnalysisWindow) {
    ResultRecord newest;
    int notePixels = -1, sources = -1;
    bool inputLevelEnabled = false, outputEnabled = false;
    double seconds = 0.0, guiThreadCpu = -1.0, processCpu = -1.0, framesPerSecond = -1.0;
    run_->Run([&](CControlsDlg& dialog) {
        auto* analysis =
            dynamic_cast<CInstTessimDlg*>(&dialog.FloatingFrame(FloatingWindow::Analysis));
        HWND volume = guitest::ProgramRun::Floating(dialog, 4);
        ASSERT_NE(analysis, nullptr);  // (the window is ended when its script gives up)
        for (FloatingWindow w : {FloatingWindow::Analysis, FloatingWindow::Volume}) {
            if (!::IsWindowVisible(dialog.FloatingFrame(w).Handle())) {
                dialog.ToggleWindow(w);
            }
        }
        // The room's quiet first, then the vowel; wait until the analysis has caught it.
        guitest::PumpMessages(kQuietMs);
        guitest::CueSinger(true);
        guitest::PumpUntil(
            [&] {
                newest = dialog.Results().ReadNewest();
                return std::fabs(newest.pitchHz - 220.0f) < 5.0f;
            },
            20000);
        // The note name is drawn in green in the middle of the animation square.
        const guitest::Frame frame = guitest::Capture(analysis->View());
        const int r = static_cast<int>(analysis->View().Layout().Radius());
        notePixels = frame.rgb.empty() ? -1
                                       : frame.CountNear(7 * r / 10, 7 * r / 10, 13 * r / 10,
                                                         13 * r / 10, 0, 255, 0, 60);
        HWND combo = ::GetDlgItem(volume, IDC_VOLUME_SOURCE);
        sources = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
        inputLevelEnabled = ::IsWindowEnabled(::GetDlgItem(volume, IDC_VOLUME_IN_SLIDER)) != FALSE;
        outputEnabled = ::IsWindowEnabled(::GetDlgItem(volume, IDC_VOLUME_OUT_SLIDER)) != FALSE;

        const DWORD startMs = ::GetTickCount();
        const double guiStart = CpuSeconds(::GetCurrentThread(), false);
        const double processStart = CpuSeconds(::GetCurrentProcess(), true);
        const uint64_t framesStart = analysis->View().FramesDrawn();
        g_later = [&, startMs, guiStart, processStart, framesStart, analysis] {
            seconds = (::GetTickCount() - startMs) / 1000.0;
            guiThreadCpu = (CpuSeconds(::GetCurrentThread(), false) - guiStart) / seconds;
            processCpu = (CpuSeconds(::GetCurrentProcess(), true) - processStart) / seconds;
            framesPerSecond =
                static_cast<double>(analysis->View().FramesDrawn() - framesStart) / seconds;
            run_->Close(dialog);
        };
        ::SetTimer(nullptr, 0, 20000, &RunLater);
    });
    EXPECT_NEAR(newest.pitchHz, 220.0f, 5.0f);
    EXPECT_EQ(newest.note.octave, 3);
    EXPECT_EQ(newest.note.semitone, 9);  // A3
    EXPECT_GT(notePixels, 100);
    EXPECT_GE(sources, 1);
    EXPECT_TRUE(inputLevelEnabled);
    EXPECT_TRUE(outputEnabled);
    std::printf(
        "live analysis for %.1f s: GUI thread %.1f %% of a core, whole program %.1f %%, "
        "analysis view %.1f frames/s\n",
        seconds, guiThreadCpu * 100.0, processCpu * 100.0, framesPerSecond);
    // The view follows the averages (about 33 a second when the machine keeps up) without
    // eating a core.
    EXPECT_GT(framesPerSecond, 5.0);
    EXPECT_LT(guiThreadCpu, 0.5);
}

TEST_F(ProgramSound, ReplayReachesTheSoundCard) {
    // Two seconds of a 440 Hz tone to replay.
    run_->openPath = run_->Path("tone.wav");
    ASSERT_TRUE(guitest::WriteTone(run_->openPath, 440.0, 2.0, 44100, 12000.0));
    bool playEnabled = false, pausedAtEnd = false;
    int replayMs = 0;
    run_->Run([&](CControlsDlg& dialog) {
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_FILE_OPEN, 0);
        HWND play = dialog.DeckButtonControl(DeckButton::Play)->Handle();
        playEnabled = guitest::PumpUntil([&] { return ::IsWindowEnabled(play) != FALSE; });
        const DWORD start = ::GetTickCount();
        guitest::Click(play);
        guitest::PumpUntil([&] { return dialog.DeckButtonControl(DeckButton::Play)->Latched(); });
        // The file lasts 2 s; at its end the program pauses and rewinds by itself.
        pausedAtEnd = guitest::PumpUntil(
            [&] {
                return !dialog.DeckButtonControl(DeckButton::Play)->Latched() &&
                       ::IsWindowEnabled(dialog.DeckButtonControl(DeckButton::Rec)->Handle());
            },
            10000);
        replayMs = static_cast<int>(::GetTickCount() - start);
        run_->Close(dialog);
    });
    EXPECT_TRUE(playEnabled);
    EXPECT_TRUE(pausedAtEnd) << "still replaying after " << replayMs << " ms";
    EXPECT_GE(replayMs, 1900);  // the whole file was played, at its own pace
    ::DeleteFileW(Utf8ToWide(run_->openPath).c_str());
}

}  // namespace
}  // namespace melvora

// The real WINMM sound path of the program under Wine. Run by sound_under_wine.sh, which
// provides a PulseAudio null sink (what is played into it is what the microphone hears),
// plays a sung vowel into it for the microphone test and records it for the replay test.
// Without MELVORA_SOUND_TESTS in the environment these tests are skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/win32/controls_dlg.h"
#include "audio/wave_file.h"
#include "platform/program_directory.h"
#include "platform/recording_midi_in.h"
#include "platform/recording_midi_out.h"
#include "platform/win32/resource_strings.h"
#include "resource_ids.h"
#include "settings/win32/volume_dlg.h"
#include "ui/win32/new_deck_button.h"
#include "views/win32/inst_tessim_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

bool SoundTestsWanted() {
    wchar_t value[8] = {};
    return ::GetEnvironmentVariableW(L"MELVORA_SOUND_TESTS", value, 8) > 0;
}

// The system's wave devices, and the recording MIDI output in place of the MIDI device that
// Wine does not have here.
CControlsDlg::Audio FakeMidi() {
    static RecordingMidiOut::Journal journal;
    CControlsDlg::Audio audio;
    audio.midiOut = std::make_unique<RecordingMidiOut>(journal);
    audio.midiIn = std::make_unique<RecordingMidiIn>();
    return audio;
}

// The main controls window with the system's wave devices; the file-open question answers
// with a prepared file.
class ScriptedControlsDlg : public CControlsDlg {
  public:
    ScriptedControlsDlg(HWND owner, std::string openPath)
        : CControlsDlg(owner, FakeMidi()), openPath_(std::move(openPath)) {}
    bool AskOpenPath(std::string* path) override {
        *path = openPath_;
        return true;
    }

  private:
    std::string openPath_;
};

// How long the program hears the room's quiet before the singer starts.
constexpr int kQuietMs = 1500;

ScriptedControlsDlg* g_dialog = nullptr;
std::function<void(ScriptedControlsDlg&)>* g_script = nullptr;

void CALLBACK StartScript(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_dialog == nullptr || g_dialog->Handle() == nullptr ||
        !::IsWindowVisible(g_dialog->Handle())) {
        return;
    }
    ::KillTimer(nullptr, timer);
    (*g_script)(*g_dialog);
}

class ProgramSound : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!SoundTestsWanted()) {
            GTEST_SKIP() << "needs the PulseAudio null sink of sound_under_wine.sh";
        }
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = WideToUtf8(std::wstring(temp)) + "melvora_sound_" +
                  std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryW(Utf8ToWide(folder_).c_str(), nullptr);
        SetProgramDirectoryOverride(folder_);
        Options() = AppOptions();
        Options().language = guitest::kEnglish;
        owner_ = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }

    void TearDown() override {
        guitest::CueSinger(false);
        if (owner_ != nullptr) {
            ::DestroyWindow(owner_);
        }
        SetProgramDirectoryOverride("");
        Options() = AppOptions();
    }

    void RunProgram(const std::string& openPath, std::function<void(ScriptedControlsDlg&)> script) {
        ScriptedControlsDlg dialog(owner_, openPath);
        g_dialog = &dialog;
        g_script = &script;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &StartScript);
        dialog.DoModal();
        ::KillTimer(nullptr, timer);
        g_dialog = nullptr;
        g_script = nullptr;
    }

    std::string folder_;
    HWND owner_ = nullptr;
};

TEST_F(ProgramSound, MicrophoneHearsASungVowel) {
    ResultRecord newest;
    RunProgram("", [&](ScriptedControlsDlg& dialog) {
        // The room's quiet first, then the vowel; wait until the analysis has caught it.
        guitest::PumpMessages(kQuietMs);
        guitest::CueSinger(true);
        for (int waited = 0; waited < 20000; waited += 250) {
            guitest::PumpMessages(250);
            newest = dialog.Results().ReadNewest();
            if (std::fabs(newest.pitchHz - 220.0f) < 5.0f) {
                break;
            }
        }
        ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_NEAR(newest.pitchHz, 220.0f, 5.0f);
    EXPECT_EQ(newest.note.octave, 3);
    EXPECT_EQ(newest.note.semitone, 9);  // A3
}

// Seconds of CPU time of the thread or process behind `handle`.
double CpuSeconds(HANDLE handle, bool process) {
    FILETIME created, exited, kernel, user;
    const BOOL ok = process ? ::GetProcessTimes(handle, &created, &exited, &kernel, &user)
                            : ::GetThreadTimes(handle, &created, &exited, &kernel, &user);
    if (!ok) {
        return 0.0;
    }
    auto seconds = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

struct LiveFigures {
    double guiThreadCpu = -1.0;  // share of one core
    double processCpu = -1.0;
    double framesPerSecond = -1.0;
    double seconds = 0.0;
};

LiveFigures* g_figures = nullptr;
struct Measure {
    HWND dialog = nullptr;
    CInstTessimDlg* analysis = nullptr;
    DWORD startMs = 0;
    double guiStart = 0.0;
    double processStart = 0.0;
    uint64_t framesStart = 0;
} g_measure;

void CALLBACK EndMeasure(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const double seconds = (::GetTickCount() - g_measure.startMs) / 1000.0;
    g_figures->seconds = seconds;
    g_figures->guiThreadCpu =
        (CpuSeconds(::GetCurrentThread(), false) - g_measure.guiStart) / seconds;
    g_figures->processCpu =
        (CpuSeconds(::GetCurrentProcess(), true) - g_measure.processStart) / seconds;
    g_figures->framesPerSecond =
        static_cast<double>(g_measure.analysis->View().FramesDrawn() - g_measure.framesStart) /
        seconds;
    ::PostMessageW(g_measure.dialog, WM_CLOSE, 0, 0);
}

// The sung vowel (A3) reaches the program's real capture; the analysis window draws its note
// and the volume window lists the sound server's recording sources. Then, with the program
// left to its own message loop for 20 s, the CPU it takes and the analysis view's frame rate.
TEST_F(ProgramSound, MicrophoneNoteShowsInTheAnalysisWindow) {
    ResultRecord newest;
    int notePixels = -1;
    int sources = -1;
    bool inputLevelEnabled = false;
    LiveFigures figures;
    g_figures = &figures;
    RunProgram("", [&](ScriptedControlsDlg& dialog) {
        auto* analysis =
            dynamic_cast<CInstTessimDlg*>(&dialog.FloatingFrame(FloatingWindow::Analysis));
        auto* volume = dynamic_cast<CVolumeDlg*>(&dialog.FloatingFrame(FloatingWindow::Volume));
        if (analysis == nullptr || volume == nullptr) {
            ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
            return;
        }
        for (FloatingWindow w : {FloatingWindow::Analysis, FloatingWindow::Volume}) {
            if (!::IsWindowVisible(dialog.FloatingFrame(w).Handle())) {
                dialog.ToggleWindow(w);
            }
        }
        guitest::PumpMessages(kQuietMs);
        guitest::CueSinger(true);
        for (int waited = 0; waited < 20000; waited += 250) {
            guitest::PumpMessages(250);
            newest = dialog.Results().ReadNewest();
            if (std::fabs(newest.pitchHz - 220.0f) < 5.0f) {
                break;
            }
        }
        // The note name is drawn in green in the middle of the animation square.
        std::vector<uint8_t> rgb;
        int width = 0, height = 0;
        if (analysis->View().CaptureFrame(&rgb, &width, &height)) {
            const float r = analysis->View().Layout().Radius();
            notePixels = 0;
            for (int y = static_cast<int>(height - 1.3f * r);
                 y < static_cast<int>(height - 0.7f * r); ++y) {
                for (int x = static_cast<int>(0.7f * r); x < static_cast<int>(1.3f * r); ++x) {
                    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
                    notePixels += (p[0] < 60 && p[1] > 200 && p[2] < 60) ? 1 : 0;
                }
            }
        }
        HWND combo = ::GetDlgItem(volume->Handle(), IDC_VOLUME_SOURCE);
        sources = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
        inputLevelEnabled =
            ::IsWindowEnabled(::GetDlgItem(volume->Handle(), IDC_VOLUME_IN_SLIDER)) != FALSE;

        g_measure.dialog = dialog.Handle();
        g_measure.analysis = analysis;
        g_measure.startMs = ::GetTickCount();
        g_measure.guiStart = CpuSeconds(::GetCurrentThread(), false);
        g_measure.processStart = CpuSeconds(::GetCurrentProcess(), true);
        g_measure.framesStart = analysis->View().FramesDrawn();
        ::SetTimer(nullptr, 0, 20000, &EndMeasure);
    });
    g_figures = nullptr;
    EXPECT_NEAR(newest.pitchHz, 220.0f, 5.0f);
    EXPECT_EQ(newest.note.semitone, 9);
    EXPECT_GT(notePixels, 100);
    EXPECT_GE(sources, 1);
    EXPECT_TRUE(inputLevelEnabled);
    std::printf(
        "live analysis for %.1f s: GUI thread %.1f %% of a core, whole program %.1f %%, "
        "analysis view %.1f frames/s\n",
        figures.seconds, figures.guiThreadCpu * 100.0, figures.processCpu * 100.0,
        figures.framesPerSecond);
    // The view follows the averages (about 33 a second when the machine keeps up) without
    // eating a core.
    EXPECT_GT(figures.framesPerSecond, 5.0);
    EXPECT_LT(figures.guiThreadCpu, 0.5);
}

TEST_F(ProgramSound, ReplayReachesTheSoundCard) {
    // Two seconds of a 440 Hz tone to replay.
    const std::string tonePath = folder_ + "\\tone.wav";
    {
        auto tone = WaveFile::CreateForWriting(tonePath, 44100, 16, 1, WaveFile::kFormatPcm);
        ASSERT_TRUE(tone);
        std::vector<int16_t> samples(88200);
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<int16_t>(
                12000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / 44100.0));
        }
        ASSERT_EQ(tone->WriteMono(samples.data(), static_cast<int32_t>(samples.size())),
                  static_cast<int32_t>(samples.size()));
        ASSERT_TRUE(tone->UpdateHeader());
    }
    bool playEnabled = false;
    bool pausedAtEnd = false;
    int replayMs = 0;
    RunProgram(tonePath, [&](ScriptedControlsDlg& dialog) {
        ::SendMessageW(dialog.Handle(), WM_COMMAND, 57601, 0);  // File > Open
        guitest::PumpMessages(200);
        HWND play = dialog.DeckButtonControl(DeckButton::Play)->Handle();
        playEnabled = ::IsWindowEnabled(play) != FALSE;
        guitest::Click(play);
        // The file lasts 2 s; at its end the program pauses and rewinds by itself.
        const DWORD start = ::GetTickCount();
        do {
            guitest::PumpMessages(100);
            pausedAtEnd = !dialog.DeckButtonControl(DeckButton::Play)->Latched() &&
                          ::IsWindowEnabled(dialog.DeckButtonControl(DeckButton::Rec)->Handle());
        } while (!pausedAtEnd && ::GetTickCount() - start < 10000);
        replayMs = static_cast<int>(::GetTickCount() - start);
        ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(playEnabled);
    EXPECT_TRUE(pausedAtEnd) << "still replaying after " << replayMs << " ms";
    EXPECT_GE(replayMs, 1900);  // the whole file was played, at its own pace
    ::DeleteFileW(Utf8ToWide(tonePath).c_str());
}

}  // namespace
}  // namespace melvora

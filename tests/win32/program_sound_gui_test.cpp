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
#include "platform/win32/resource_strings.h"
#include "ui/win32/new_deck_button.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

bool SoundTestsWanted() {
    wchar_t value[8] = {};
    return ::GetEnvironmentVariableW(L"MELVORA_SOUND_TESTS", value, 8) > 0;
}

// The main controls window with the system's wave devices; the file-open question answers
// with a prepared file.
class ScriptedControlsDlg : public CControlsDlg {
  public:
    ScriptedControlsDlg(HWND owner, std::string openPath)
        : CControlsDlg(owner), openPath_(std::move(openPath)) {}
    bool AskOpenPath(std::string* path) override {
        *path = openPath_;
        return true;
    }

  private:
    std::string openPath_;
};

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
        // The vowel loops into the sink; wait until the analysis has caught it.
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

// The exercises through the program's real windows under Wine: the File menu's exercise
// command, the chooser, a whole two-step exercise in the exercise window with tries recorded
// from the simulated sound card and the samples sent to a recording MIDI output, and the
// main controls window coming back where the exercise window was.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_options.h"
#include "app/win32/controls_dlg.h"
#include "exercises/exercise_source.h"
#include "exercises/sample_player.h"
#include "exercises/win32/exercise_dlg.h"
#include "platform/program_directory.h"
#include "platform/recording_midi_out.h"
#include "platform/recording_midi_in.h"
#include "platform/string_table.h"
#include "platform/wave_port_simulated.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

struct RecordingMidi : MidiSender {
    bool Send(uint32_t message) override {
        std::lock_guard<std::mutex> lock(mutex);
        sent.push_back(message);
        return true;
    }
    std::vector<uint32_t> NoteOns() {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<uint32_t> on;
        for (uint32_t m : sent) {
            if ((m & 0xF0u) == 0x90u) {
                on.push_back(m);
            }
        }
        return on;
    }
    std::mutex mutex;
    std::vector<uint32_t> sent;
};

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

// Saves what the screen shows of `window` as a 24-bit BMP (the screenshot script turns it
// into a PNG), when MELVORA_SHOTS names a folder.
void Shoot(HWND window, const char* name) {
    char folder[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("MELVORA_SHOTS", folder, MAX_PATH) == 0) {
        return;
    }
    guitest::PumpMessages(300);
    RECT r = {};
    ::GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<unsigned char> pixels(stride * static_cast<DWORD>(h));
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    const std::string path = std::string(folder) + "\\" + name + ".bmp";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof(file), 1, f);
        std::fwrite(&info, sizeof(info), 1, f);
        std::fwrite(pixels.data(), 1, pixels.size(), f);
        std::fclose(f);
    }
}

// The chooser: selects the exercise titled `g_chooseTitle` and presses OK.
std::wstring g_chooseTitle;
const char* g_chooserShot = nullptr;

BOOL CALLBACK FindChooser(HWND hwnd, LPARAM found) {
    if (::IsWindowVisible(hwnd) &&
        TextOf(hwnd) == LoadText(IDS_OPEN_EXERCISE, Options().UiLanguage())) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ChooserTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND chooser = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindChooser, reinterpret_cast<LPARAM>(&chooser));
    if (chooser == nullptr) {
        return;
    }
    ::KillTimer(nullptr, timer);
    HWND list = ::GetDlgItem(chooser, IDC_EXERCISE_LIST);
    const LRESULT item = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(g_chooseTitle.c_str()));
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    ::SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDC_EXERCISE_LIST, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
    if (g_chooserShot != nullptr) {
        Shoot(chooser, g_chooserShot);
    }
    ::PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

class ExerciseGui : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"melvora_exercise_" +
                  std::to_wstring(::GetCurrentProcessId()) + L"_" +
                  std::to_wstring(::GetTickCount());
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        ::CreateDirectoryW((folder_ + L"\\Exercises").c_str(), nullptr);
        char narrow[MAX_PATH] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, folder_.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
        SetProgramDirectoryOverride(narrow);
        ExerciseSource source;
        std::string error;
        ASSERT_TRUE(
            source.Parse("title: Two Steps\ndescription: Two short steps.\n"
                         "introduction: Listen, then sing.\n"
                         "step: one\nnotes: C4/300 D4/300\n"
                         "step: two\nnotes: E4/300 D4/300\n",
                         &error))
            << error;
        const std::vector<uint8_t> bytes = source.Encode();
        std::FILE* f = std::fopen((std::string(narrow) + "\\Exercises\\Two.exc").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        Options() = AppOptions();
        Options().language = GetParam();
        card_ = std::make_unique<SimulatedSoundCard>(SimulatedSoundCard::ClockMode::kRealTime, 3.0);
        // The room's quiet for a second (the voice gate learns its floor), then a voice at
        // C4 all the time: every try has a pitch.
        card_->SetCaptureSource([this](int16_t* samples, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                const double t = static_cast<double>(captured_++) / 44100.0;
                if (t < 1.0) {
                    samples[i] = 0;
                    continue;
                }
                double v = 0.0;
                for (int h = 1; h <= 4; ++h) {
                    v += std::sin(2.0 * 3.14159265358979 * 261.63 * h * t) / h;
                }
                samples[i] = static_cast<int16_t>(6000.0 * v);
            }
        });
        owner_ = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override {
        ::DestroyWindow(owner_);
        card_.reset();
        SetProgramDirectoryOverride("");
        Options() = AppOptions();
        ::DeleteFileW((folder_ + L"\\tmp.wav").c_str());
    }
    bool Exists(const std::wstring& relative) const {
        return ::GetFileAttributesW((folder_ + L"\\" + relative).c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    }

    std::wstring folder_;
    std::unique_ptr<SimulatedSoundCard> card_;
    int64_t captured_ = 0;
    HWND owner_ = nullptr;
};

struct Script {
    CControlsDlg* dialog = nullptr;
    std::function<void(CControlsDlg&)> body;
    bool ran = false;
};
Script* g_script = nullptr;

void CALLBACK ScriptTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_script == nullptr || g_script->ran || g_script->dialog->Handle() == nullptr ||
        !::IsWindowVisible(g_script->dialog->Handle())) {
        return;
    }
    ::KillTimer(nullptr, timer);
    g_script->ran = true;
    g_script->body(*g_script->dialog);
    ::PostMessageW(g_script->dialog->Handle(), WM_CLOSE, 0, 0);
}

TEST_P(ExerciseGui, WholeTwoStepExerciseThroughTheWindows) {
    const bool english = GetParam() == guitest::kEnglish;
    RecordingMidi midi;
    RECT mainBefore = {}, runnerRect = {}, mainAfter = {};
    bool mainHiddenWhileRunning = false, mainShownAfter = false, runnerGone = false;
    std::wstring firstResult, finalText;
    std::vector<RunnerState> states;

    CControlsDlg::Audio audio;
    audio.capturePort = card_->MakeCapturePort();
    audio.playbackPort = card_->MakePlaybackPort();
    // No MIDI device under Wine: a recording output stands in, so no error box waits.
    RecordingMidiOut::Journal midiJournal;
    audio.midiOut = std::make_unique<RecordingMidiOut>(midiJournal);
    audio.midiIn = std::make_unique<RecordingMidiIn>();
    CControlsDlg dialog(owner_, std::move(audio));
    dialog.SetMidiSender(&midi);
    Script script;
    script.dialog = &dialog;
    script.body = [&](CControlsDlg& main) {
        ::GetWindowRect(main.Handle(), &mainBefore);
        g_chooseTitle = L"Two Steps";
        g_chooserShot = english ? "exercise_chooser_en" : "exercise_chooser_tr";
        ::SetTimer(nullptr, 0, 50, &ChooserTimer);
        ::SendMessageW(main.Handle(), WM_COMMAND, ID_EXERCISES, 0);
        CExerciseDlg* runner = main.ExerciseWindow();
        if (runner == nullptr) {
            ADD_FAILURE() << "no exercise window";
            return;
        }
        ::GetWindowRect(runner->Handle(), &runnerRect);
        mainHiddenWhileRunning = !::IsWindowVisible(main.Handle());
        ExerciseRunner& r = *runner->Runner();
        states.push_back(r.State());
        auto press = [&](RunnerButton button) {
            guitest::Click(runner->Button(button).Handle());
            guitest::PumpMessages(30);
        };
        auto triedStep = [&](int step) {
            return guitest::PumpUntil(
                [&] {
                    return r.State() == RunnerState::Step && r.Tries() == 1 &&
                           r.Progress()->GetExercise().CurrentStep() == step;
                },
                15000);
        };
        press(RunnerButton::Next);  // Begin
        states.push_back(r.State());
        EXPECT_TRUE(triedStep(0));
        firstResult = TextOf(::GetDlgItem(runner->Handle(), IDC_EXERCISE_TEXT));
        Shoot(runner->Handle(), english ? "exercise_runner_en" : "exercise_runner_tr");
        press(RunnerButton::Next);
        EXPECT_TRUE(triedStep(1));
        press(RunnerButton::Next);  // Finish
        states.push_back(r.State());
        finalText = TextOf(::GetDlgItem(runner->Handle(), IDC_EXERCISE_TEXT));
        press(RunnerButton::Exit);
        runnerGone = guitest::PumpUntil([&] { return main.ExerciseWindow() == nullptr; }, 3000);
        mainShownAfter = ::IsWindowVisible(main.Handle()) != FALSE;
        ::GetWindowRect(main.Handle(), &mainAfter);
    };
    g_script = &script;
    ::SetTimer(nullptr, 0, 50, &ScriptTimer);
    const INT_PTR result = dialog.DoModal();
    g_script = nullptr;
    EXPECT_EQ(result, 1);
    ASSERT_TRUE(script.ran);

    EXPECT_EQ(states, (std::vector<RunnerState>{RunnerState::Introduction, RunnerState::Playing,
                                                RunnerState::Final}));
    EXPECT_TRUE(mainHiddenWhileRunning);
    EXPECT_EQ(runnerRect.left, mainBefore.left);
    EXPECT_EQ(runnerRect.top, mainBefore.top);
    EXPECT_TRUE(runnerGone);
    EXPECT_TRUE(mainShownAfter);
    EXPECT_EQ(mainAfter.left, runnerRect.left);
    EXPECT_EQ(mainAfter.top, runnerRect.top);
    // The samples went to the MIDI output: C4 D4, then E4 D4.
    const std::vector<uint32_t> expected = {
        SamplePlayer::NoteOn(60, 100), SamplePlayer::NoteOn(62, 100), SamplePlayer::NoteOn(64, 100),
        SamplePlayer::NoteOn(62, 100)};
    EXPECT_EQ(midi.NoteOns(), expected);
    // The try heard the simulated voice at C4.
    const std::wstring average = english ? L"Average Pitch = 26" : L"Ortalama Perde = 26";
    EXPECT_NE(firstResult.find(average), std::wstring::npos) << firstResult.c_str();
    EXPECT_EQ(finalText.rfind(english ? L"==Final Results==" : L"==Son Sonuçlar==", 0), 0u)
        << finalText.c_str();
    // Both tries were kept; the finished exercise left no unfinished file.
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW((folder_ + L"\\ExerciseRecordings\\Two_*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    ::FindClose(search);
    const std::wstring kept = std::wstring(L"ExerciseRecordings\\") + found.cFileName + L"\\";
    EXPECT_TRUE(Exists(kept + L"step0_try#1.wav"));
    EXPECT_TRUE(Exists(kept + L"step1_try#1.wav"));
    EXPECT_FALSE(Exists(L"Exercises\\unfinished.dat"));
}

INSTANTIATE_TEST_SUITE_P(Languages, ExerciseGui,
                         ::testing::Values(guitest::kEnglish, guitest::kTurkish));

// End to end with the system's wave devices: sound_under_wine.sh plays a sung C4 into a
// PulseAudio null sink, which is what the microphone hears; the try is recorded through
// WINMM and scored. Skipped without MELVORA_SOUND_TESTS.
TEST(ExerciseSound, ASungTryPlayedIntoTheSinkIsScored) {
    wchar_t wanted[8] = {};
    if (::GetEnvironmentVariableW(L"MELVORA_SOUND_TESTS", wanted, 8) == 0) {
        GTEST_SKIP() << "needs the PulseAudio null sink of sound_under_wine.sh";
    }
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"melvora_exercise_sound_" +
                                std::to_wstring(::GetCurrentProcessId()) + L"_" +
                                std::to_wstring(::GetTickCount());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"\\Exercises").c_str(), nullptr);
    char narrow[MAX_PATH] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, folder.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
    SetProgramDirectoryOverride(narrow);
    ExerciseSource source;
    std::string error;
    ASSERT_TRUE(
        source.Parse("title: Held C4\ndescription: d\nintroduction: i\n"
                     "step: one\nnotes: C4/3000\n",
                     &error));
    const std::vector<uint8_t> bytes = source.Encode();
    std::FILE* f = std::fopen((std::string(narrow) + "\\Exercises\\Held.exc").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    Options() = AppOptions();
    Options().language = guitest::kEnglish;
    Options().keepRecordings = 0;
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    TryScorer::Score score;
    {
        // The system's wave devices, but no MIDI device under Wine: a recording output stands
        // in, so no error box waits.
        CControlsDlg::Audio audio;
        RecordingMidiOut::Journal midiJournal;
        audio.midiOut = std::make_unique<RecordingMidiOut>(midiJournal);
        audio.midiIn = std::make_unique<RecordingMidiIn>();
        CControlsDlg dialog(owner, std::move(audio));
        Script script;
        script.dialog = &dialog;
        script.body = [&](CControlsDlg& main) {
            // The analysis first hears the room's quiet, then the sung note for a while, as in
            // the program. The note is long because a newly opened capture under Wine may
            // hear silence at first.
            guitest::PumpMessages(1500);
            guitest::CueSinger(true);
            guitest::PumpMessages(1500);
            g_chooseTitle = L"Held C4";
            g_chooserShot = nullptr;
            ::SetTimer(nullptr, 0, 50, &ChooserTimer);
            ::SendMessageW(main.Handle(), WM_COMMAND, ID_EXERCISES, 0);
            CExerciseDlg* runner = main.ExerciseWindow();
            ASSERT_NE(runner, nullptr);
            ExerciseRunner& r = *runner->Runner();
            guitest::Click(runner->Button(RunnerButton::Next).Handle());
            EXPECT_TRUE(guitest::PumpUntil(
                [&] { return r.State() == RunnerState::Step && r.Tries() == 1; }, 40000))
                << "state " << static_cast<int>(r.State()) << ", tries " << r.Tries();
            score = r.LastScore();
            runner->Runner()->OnClose();
            guitest::PumpUntil([&] { return main.ExerciseWindow() == nullptr; }, 3000);
        };
        g_script = &script;
        ::SetTimer(nullptr, 0, 50, &ScriptTimer);
        dialog.DoModal();
        g_script = nullptr;
    }
    guitest::CueSinger(false);
    ::DestroyWindow(owner);
    SetProgramDirectoryOverride("");
    Options() = AppOptions();
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

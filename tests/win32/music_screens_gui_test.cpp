// The keyboard and staff windows of the running program while a vowel is sung into its
// microphone (the PulseAudio null sink of music_screenshots.sh), in English and Turkish,
// presented one by one to the screenshot script. The MIDI output is the recording fake, as
// there is no MIDI device under Wine. Skipped unless MELVORA_SCREENSHOTS names the folder
// of the script's hand-shake files.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/win32/controls_dlg.h"
#include "music/win32/keyboard_dlg.h"
#include "music/win32/staff_dlg.h"
#include "platform/program_directory.h"
#include "platform/recording_midi_in.h"
#include "platform/recording_midi_out.h"
#include "platform/win32/resource_strings.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

std::string ScreenshotFolder() {
    wchar_t value[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"MELVORA_SCREENSHOTS", value, MAX_PATH) == 0) {
        return std::string();
    }
    return WideToUtf8(value);
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The OpenGL picture of `view` as its paint draws it, read back from the rendering context,
// as "<name>.view.ppm" with its place in the window in "<name>.view.at": the screen grab of
// a virtual X display under Wine shows OpenGL child windows black, so the script lays the
// read-back picture over the grab.
bool WriteView(const std::string& folder, const std::string& name, HWND window, COpenGLWnd& view) {
    std::vector<uint8_t> rgb;
    int width = 0;
    int height = 0;
    if (!view.CaptureFrame(&rgb, &width, &height) || width <= 0 || height <= 0) {
        return false;
    }
    FILE* f = _wfopen(Utf8ToWide(folder + "/" + name + ".view.ppm").c_str(), L"wb");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int row = height - 1; row >= 0; --row) {
        std::fwrite(&rgb[static_cast<size_t>(row) * static_cast<size_t>(width) * 3], 1,
                    static_cast<size_t>(width) * 3, f);
    }
    std::fclose(f);
    RECT windowRect = {};
    RECT viewRect = {};
    ::GetWindowRect(window, &windowRect);
    ::GetWindowRect(view.Handle(), &viewRect);
    f = _wfopen(Utf8ToWide(folder + "/" + name + ".view.at").c_str(), L"w");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "%ld %ld\n", viewRect.left - windowRect.left, viewRect.top - windowRect.top);
    std::fclose(f);
    return true;
}

// Tells the script where `window` is and waits until it took the picture.
bool Present(const std::string& folder, HWND window, const std::string& name, COpenGLWnd& view) {
    guitest::PumpMessages(400);
    WriteView(folder, name, window, view);
    RECT r = {};
    ::GetWindowRect(window, &r);
    const std::string ready = folder + "/" + name + ".ready";
    FILE* f = _wfopen(Utf8ToWide(ready + ".tmp").c_str(), L"w");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(f);
    ::MoveFileW(Utf8ToWide(ready + ".tmp").c_str(), Utf8ToWide(ready).c_str());
    for (int waited = 0; waited < 60000; waited += 50) {
        if (FileExists(folder + "/" + name + ".done")) {
            return true;
        }
        guitest::PumpMessages(50);
    }
    return false;
}

CControlsDlg* g_dialog = nullptr;
std::function<void(CControlsDlg&)>* g_script = nullptr;

void CALLBACK StartScript(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_dialog == nullptr || g_dialog->Handle() == nullptr ||
        !::IsWindowVisible(g_dialog->Handle())) {
        return;
    }
    ::KillTimer(nullptr, timer);
    (*g_script)(*g_dialog);
}

class MusicScreens : public ::testing::TestWithParam<int> {};

TEST_P(MusicScreens, KeyboardAndStaffWhileSinging) {
    const std::string folder = ScreenshotFolder();
    if (folder.empty()) {
        GTEST_SKIP() << "needs the sound sink and screenshot script of music_screenshots.sh";
    }
    const int language = GetParam();
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::string programFolder = WideToUtf8(std::wstring(temp)) + "melvora_screens_" +
                                      std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryW(Utf8ToWide(programFolder).c_str(), nullptr);
    SetProgramDirectoryOverride(programFolder);
    Options() = AppOptions();
    Options().language = language;
    Options().noteLetters = language == guitest::kEnglish ? 1 : 0;
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    RecordingMidiOut::Journal journal;
    CControlsDlg::Audio audio;
    audio.midiOut = std::make_unique<RecordingMidiOut>(journal);
    audio.midiIn = std::make_unique<RecordingMidiIn>();
    CControlsDlg dialog(owner, std::move(audio));

    float heard = 0.0f;
    bool presented = false;
    std::function<void(CControlsDlg&)> script = [&](CControlsDlg& program) {
        auto* keyboard =
            dynamic_cast<CKeyboardDlg*>(&program.FloatingFrame(FloatingWindow::Keyboard));
        auto* staff = dynamic_cast<CStaffDlg*>(&program.FloatingFrame(FloatingWindow::Staff));
        if (keyboard == nullptr || staff == nullptr) {
            ::PostMessageW(program.Handle(), WM_CLOSE, 0, 0);
            return;
        }
        for (CFloatingFrameDlg* window :
             {static_cast<CFloatingFrameDlg*>(keyboard), static_cast<CFloatingFrameDlg*>(staff)}) {
            if (!::IsWindowVisible(window->Handle())) {
                program.ToggleWindow(window->Window());
            }
        }
        // The vowel loops into the sink; wait until the staff has it.
        for (int waited = 0; waited < 20000; waited += 250) {
            guitest::PumpMessages(250);
            heard = staff->Staff().Pitch();
            if (std::fabs(heard - 440.0f) < 8.0f) {
                break;
            }
        }
        // A PC key held down: its key lit, its name in the label strip, the letters shown.
        ::SendMessageW(keyboard->Keyboard().Handle(), WM_KEYDOWN, 'U', 0);
        const std::string suffix = language == guitest::kEnglish ? "_en" : "_tr";
        presented = Present(folder, keyboard->Handle(), "keyboard_singing" + suffix,
                            keyboard->Keyboard()) &&
                    Present(folder, staff->Handle(), "staff_singing" + suffix, staff->Staff());
        ::SendMessageW(keyboard->Keyboard().Handle(), WM_KEYUP, 'U', 0xC0000000);
        ::PostMessageW(program.Handle(), WM_CLOSE, 0, 0);
    };
    g_dialog = &dialog;
    g_script = &script;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &StartScript);
    dialog.DoModal();
    ::KillTimer(nullptr, timer);
    g_dialog = nullptr;
    g_script = nullptr;
    ::DestroyWindow(owner);
    SetProgramDirectoryOverride("");
    Options() = AppOptions();

    EXPECT_NEAR(heard, 440.0f, 8.0f);
    EXPECT_TRUE(presented);
}

INSTANTIATE_TEST_SUITE_P(Languages, MusicScreens,
                         ::testing::Values(guitest::kEnglish, guitest::kTurkish));

}  // namespace
}  // namespace melvora

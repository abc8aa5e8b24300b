// The options window opened by the main controls window's File -> Options command under
// Wine: live choices re-label and reconfigure the open windows, Cancel undoes them, OK keeps
// them and options.dat holds them at the next start.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/win32/controls_dlg.h"
#include "app/win32/floating_frame_dlg.h"
#include "platform/program_directory.h"
#include "platform/recording_midi_out.h"
#include "platform/recording_midi_in.h"
#include "platform/string_table.h"
#include "platform/wave_port_simulated.h"
#include "platform/win32/resource_strings.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "win32/gui_test_support.h"
#include "win32/shot.h"

namespace melvora {
namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// The main window's script runs once it is up; the options script once the options window
// is up (found by its language combo). Each must close its window.
CControlsDlg* g_dialog = nullptr;
std::function<void(CControlsDlg&)> g_script;
std::function<void(HWND)> g_optionsScript;

BOOL CALLBACK FindOptions(HWND hwnd, LPARAM found) {
    const bool options = ::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, IDC_OPTIONS_LANGUAGE);
    *reinterpret_cast<HWND*>(found) = options ? hwnd : *reinterpret_cast<HWND*>(found);
    return !options;
}

void CALLBACK RunScripts(HWND, UINT, UINT_PTR, DWORD) {
    if (g_dialog->Handle() == nullptr || !::IsWindowVisible(g_dialog->Handle())) {
        return;
    }
    HWND options = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindOptions, reinterpret_cast<LPARAM>(&options));
    if (options != nullptr && g_optionsScript) {
        auto run = std::move(g_optionsScript);
        g_optionsScript = nullptr;
        run(options);
    } else if (options == nullptr && g_script) {
        auto run = std::move(g_script);
        g_script = nullptr;
        // Returns once the options window closed (this timer drives it meanwhile).
        ::SendMessageW(g_dialog->Handle(), WM_COMMAND, MAKEWPARAM(ID_OPTIONS, 0), 0);
        run(*g_dialog);
        ::PostMessageW(g_dialog->Handle(), WM_CLOSE, 0, 0);
    }
}

void Choose(HWND options, int comboId, int index) {
    HWND combo = ::GetDlgItem(options, comboId);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(options, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

class OptionsGui : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = WideToUtf8(temp) + "melvora_options_" + std::to_string(::GetTickCount());
        ::CreateDirectoryW(Utf8ToWide(folder_).c_str(), nullptr);
        SetProgramDirectoryOverride(folder_);
        Options() = AppOptions();
        Options().language = guitest::kEnglish;
        Options().analysisView = 2;
        ASSERT_TRUE(Options().Save());
        owner_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override {
        ::DestroyWindow(owner_);
        for (const char* name : {"\\tmp.wav", "\\options.dat"}) {
            ::DeleteFileW(Utf8ToWide(folder_ + name).c_str());
        }
        ::RemoveDirectoryW(Utf8ToWide(folder_).c_str());
        SetProgramDirectoryOverride("");
        Options() = AppOptions();
    }
    // Runs the program's main window: File -> Options, `options` in the options window, then
    // `after` once it closed; then the main window closes.
    void Run(std::function<void(HWND)> options, std::function<void(CControlsDlg&)> after) {
        SimulatedSoundCard card(SimulatedSoundCard::ClockMode::kRealTime, 3.0);
        CControlsDlg::Audio audio;
        audio.capturePort = card.MakeCapturePort();
        audio.playbackPort = card.MakePlaybackPort();
        // No MIDI device under Wine: a recording output stands in, so no error box waits.
        RecordingMidiOut::Journal midiJournal;
        audio.midiOut = std::make_unique<RecordingMidiOut>(midiJournal);
        audio.midiIn = std::make_unique<RecordingMidiIn>();
        CControlsDlg dialog(owner_, std::move(audio));
        g_dialog = &dialog;
        g_script = std::move(after);
        g_optionsScript = std::move(options);
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &RunScripts);
        dialog.DoModal();
        ::KillTimer(nullptr, timer);
        EXPECT_FALSE(g_script || g_optionsScript) << "a script did not run";
    }
    static AppOptions Stored() {
        AppOptions stored;
        stored.Load();
        return stored;
    }
    std::string folder_;
    HWND owner_ = nullptr;
};

TEST_F(OptionsGui, CancelRestoresLanguageLayoutAndView) {
    const AppOptions::FileImage before = Stored().ToFileImage();
    Run(
        [](HWND options) {
            CControlsDlg& dialog = *g_dialog;
            EXPECT_FALSE(
                ::IsWindowEnabled(dialog.FloatingFrame(FloatingWindow::MediaPlayer).Handle()));
            guitest::TakeShot(options, "options_en");
            Choose(options, IDC_OPTIONS_LANGUAGE, 1);
            Choose(options, IDC_OPTIONS_VIEW, 5);
            Choose(options, IDC_OPTIONS_LAYOUT, 0);
            guitest::TakeShot(options, "options_tr");
            // Every open window speaks Turkish, the dialog included; the view is live.
            const int tr = guitest::kTurkish;
            EXPECT_EQ(TextOf(::GetDlgItem(dialog.Handle(), IDC_RECORD_GROUP)),
                      LoadText(IDS_GROUP_RECORD, tr));
            EXPECT_EQ(TextOf(dialog.FloatingFrame(FloatingWindow::MediaPlayer).Handle()),
                      LoadText(IDS_MEDIA_PLAYER, tr));
            EXPECT_EQ(TextOf(options), LoadText(IDS_OPTIONS, tr));
            EXPECT_EQ(dialog.Results().HistoryLength(), 10u);
            EXPECT_EQ(Options().pcKeyboardLayout, 1);
            ::PostMessageW(options, WM_COMMAND, IDC_OPTIONS_CANCEL, 0);
        },
        [](CControlsDlg& dialog) {
            EXPECT_TRUE(
                ::IsWindowEnabled(dialog.FloatingFrame(FloatingWindow::MediaPlayer).Handle()));
            EXPECT_EQ(TextOf(::GetDlgItem(dialog.Handle(), IDC_RECORD_GROUP)),
                      LoadText(IDS_GROUP_RECORD, guitest::kEnglish));
            EXPECT_EQ(dialog.Results().HistoryLength(), 5u);
        });
    EXPECT_EQ(Options().language, 0);
    EXPECT_EQ(Options().analysisView, 2);
    EXPECT_EQ(Options().resultHistoryLength, 5);
    EXPECT_EQ(Options().pcKeyboardLayout, 2);
    EXPECT_EQ(Stored().ToFileImage(), before);
}

TEST_F(OptionsGui, OkKeepsChoicesAndTheNextStartHasThem) {
    Run(
        [](HWND options) {
            Choose(options, IDC_OPTIONS_LANGUAGE, 1);
            Choose(options, IDC_OPTIONS_VIEW, 5);
            Choose(options, IDC_OPTIONS_LAYOUT, 0);
            Choose(options, IDC_OPTIONS_MIDI_VOLUME, 2);
            ::CheckDlgButton(options, IDC_OPTIONS_DOCKING, BST_UNCHECKED);
            ::CheckDlgButton(options, IDC_OPTIONS_AUTO_ADVANCE, BST_CHECKED);
            ::PostMessageW(options, WM_COMMAND, IDC_OPTIONS_OK, 0);
        },
        [](CControlsDlg& dialog) { EXPECT_EQ(dialog.Results().HistoryLength(), 10u); });
    // The next start reads the file afresh and comes up in Turkish.
    Options() = Stored();
    const AppOptions& o = Options();
    EXPECT_EQ(o.notLoaded, 0);
    EXPECT_EQ(o.language, 1);
    EXPECT_EQ(o.analysisView * 100 + o.resultHistoryLength, 510);
    EXPECT_EQ(o.pcKeyboardLayout * 10 + o.midiVolume, 12);
    EXPECT_EQ(o.docking + o.snapping, 0);
    EXPECT_EQ(o.autoAdvance, 1);
    Run([](HWND options) { ::PostMessageW(options, WM_COMMAND, IDC_OPTIONS_CANCEL, 0); },
        [](CControlsDlg& dialog) {
            EXPECT_EQ(TextOf(::GetDlgItem(dialog.Handle(), IDC_RECORD_GROUP)),
                      LoadText(IDS_GROUP_RECORD, guitest::kTurkish));
        });
}

}  // namespace
}  // namespace melvora

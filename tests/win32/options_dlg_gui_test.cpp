// The options window opened from the main controls window's File -> Options command under
// Wine: live choices re-label and reconfigure the open windows, Cancel undoes them, OK keeps
// them and options.dat holds them for the next start.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/controls_dlg.h"
#include "app/floating_frame_dlg.h"
#include "platform/program_directory.h"
#include "platform/string_table.h"
#include "platform/wave_port_simulated.h"
#include "platform/win32/resource_strings.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "win32/gui_test_support.h"
#include "win32/shot.h"

namespace melvora {
namespace {

constexpr int kRecordGroup = 1090;

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

std::vector<unsigned char> FileBytes(const std::string& path) {
    std::vector<unsigned char> bytes;
    FILE* f = _wfopen(Utf8ToWide(path).c_str(), L"rb");
    if (f == nullptr) {
        return bytes;
    }
    unsigned char buffer[512];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(f);
    return bytes;
}

// The steps of one run: the main window's script, and what to do in the options window.
struct OptionsRun {
    CControlsDlg* dialog = nullptr;
    std::function<void(CControlsDlg&)> script;
    std::function<void(HWND options)> optionsScript;
    bool ran = false;
    bool optionsRan = false;
};
OptionsRun* g_run = nullptr;

BOOL CALLBACK FindOptions(HWND hwnd, LPARAM found) {
    if (::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, IDC_OPTIONS_LANGUAGE) != nullptr) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK RunTimer(HWND, UINT, UINT_PTR, DWORD) {
    OptionsRun* run = g_run;
    if (run == nullptr || run->dialog->Handle() == nullptr ||
        !::IsWindowVisible(run->dialog->Handle())) {
        return;
    }
    if (!run->ran) {
        run->ran = true;
        run->script(*run->dialog);
        return;
    }
    HWND options = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindOptions, reinterpret_cast<LPARAM>(&options));
    if (options != nullptr && !run->optionsRan) {
        run->optionsRan = true;
        run->optionsScript(options);
    }
}

void Choose(HWND options, int comboId, int index) {
    HWND combo = ::GetDlgItem(options, comboId);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(options, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    guitest::PumpMessages(50);
}

void Press(HWND options, int id) {
    ::PostMessageW(options, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

class OptionsGui : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = WideToUtf8(temp) + "melvora_options_" + std::to_string(::GetCurrentProcessId()) +
                  "_" + std::to_string(::GetTickCount());
        ::CreateDirectoryW(Utf8ToWide(folder_).c_str(), nullptr);
        SetProgramDirectoryOverride(folder_);
        Options() = AppOptions();
        Options().language = guitest::kEnglish;
        Options().analysisView = 2;
        Options().resultHistoryLength = 5;
        Options().pcKeyboardLayout = 2;
        Options().Save();
        card_ = std::make_unique<SimulatedSoundCard>(SimulatedSoundCard::ClockMode::kRealTime, 3.0);
        owner_ = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }

    void TearDown() override {
        ::DestroyWindow(owner_);
        card_.reset();
        ::DeleteFileW(Utf8ToWide(folder_ + "\\tmp.wav").c_str());
        ::DeleteFileW(Utf8ToWide(folder_ + "\\options.dat").c_str());
        ::RemoveDirectoryW(Utf8ToWide(folder_).c_str());
        SetProgramDirectoryOverride("");
        Options() = AppOptions();
    }

    // Runs the main controls window; `script` runs once it is up and must close it;
    // `optionsScript` runs once the options window is up and must close that.
    void Run(const std::function<void(CControlsDlg&)>& script,
             const std::function<void(HWND)>& optionsScript) {
        CControlsDlg::Audio audio;
        audio.capturePort = card_->MakeCapturePort();
        audio.playbackPort = card_->MakePlaybackPort();
        CControlsDlg dialog(owner_, std::move(audio));
        OptionsRun run;
        run.dialog = &dialog;
        run.script = script;
        run.optionsScript = optionsScript;
        g_run = &run;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &RunTimer);
        dialog.DoModal();
        ::KillTimer(nullptr, timer);
        g_run = nullptr;
        EXPECT_TRUE(run.ran);
    }

    // Opens the options window through the menu command and returns once it closed.
    static void OpenOptions(CControlsDlg& dialog) {
        ::SendMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(ID_OPTIONS, 0), 0);
    }

    static void Close(CControlsDlg& dialog) { ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0); }

    std::string folder_;
    std::unique_ptr<SimulatedSoundCard> card_;
    HWND owner_ = nullptr;
};

TEST_F(OptionsGui, CancelRestoresLanguageLayoutAndView) {
    const std::vector<unsigned char> before = FileBytes(folder_ + "\\options.dat");
    std::wstring groupWhileOpen, playerWhileOpen, optionsCaption, groupAfter;
    bool floatingDisabled = false, floatingEnabledAfter = false;
    uint32_t historyWhileOpen = 0, historyAfter = 0;
    Run(
        [&](CControlsDlg& dialog) {
            OpenOptions(dialog);
            groupAfter = TextOf(::GetDlgItem(dialog.Handle(), kRecordGroup));
            historyAfter = dialog.Results().HistoryLength();
            floatingEnabledAfter = ::IsWindowEnabled(dialog.FloatingWindow(1)->Handle()) != FALSE;
            Close(dialog);
        },
        [&](HWND options) {
            CControlsDlg& dialog = *g_run->dialog;
            floatingDisabled = ::IsWindowEnabled(dialog.FloatingWindow(1)->Handle()) == FALSE;
            Choose(options, IDC_OPTIONS_LANGUAGE, 1);
            Choose(options, IDC_OPTIONS_VIEW, 5);
            Choose(options, IDC_OPTIONS_LAYOUT, 0);
            groupWhileOpen = TextOf(::GetDlgItem(dialog.Handle(), kRecordGroup));
            playerWhileOpen = TextOf(dialog.FloatingWindow(1)->Handle());
            optionsCaption = TextOf(options);
            historyWhileOpen = dialog.Results().HistoryLength();
            EXPECT_EQ(Options().language, 1);
            EXPECT_EQ(Options().analysisView, 5);
            EXPECT_EQ(Options().pcKeyboardLayout, 1);
            Press(options, IDC_OPTIONS_CANCEL);
        });
    EXPECT_TRUE(floatingDisabled);
    EXPECT_TRUE(floatingEnabledAfter);
    // Everything switched while the window was open...
    EXPECT_EQ(groupWhileOpen, LoadText(IDS_GROUP_RECORD, guitest::kTurkish));
    EXPECT_EQ(playerWhileOpen, LoadText(IDS_MEDIA_PLAYER, guitest::kTurkish));
    EXPECT_EQ(optionsCaption, LoadText(IDS_OPTIONS, guitest::kTurkish));
    EXPECT_EQ(historyWhileOpen, 10u);
    // ... and Cancel put it all back, in memory and on screen, and saved nothing.
    EXPECT_EQ(groupAfter, LoadText(IDS_GROUP_RECORD, guitest::kEnglish));
    EXPECT_EQ(historyAfter, 5u);
    EXPECT_EQ(Options().language, 0);
    EXPECT_EQ(Options().analysisView, 2);
    EXPECT_EQ(Options().resultHistoryLength, 5);
    EXPECT_EQ(Options().pcKeyboardLayout, 2);
    EXPECT_EQ(FileBytes(folder_ + "\\options.dat"), before);
}

TEST_F(OptionsGui, OkKeepsChoicesAndTheNextStartHasThem) {
    uint32_t historyAfter = 0;
    Run(
        [&](CControlsDlg& dialog) {
            OpenOptions(dialog);
            historyAfter = dialog.Results().HistoryLength();
            Close(dialog);
        },
        [&](HWND options) {
            Choose(options, IDC_OPTIONS_LANGUAGE, 1);
            Choose(options, IDC_OPTIONS_VIEW, 5);
            Choose(options, IDC_OPTIONS_LAYOUT, 0);
            Choose(options, IDC_OPTIONS_MIDI_VOLUME, 2);
            ::CheckDlgButton(options, IDC_OPTIONS_DOCKING, BST_UNCHECKED);
            ::CheckDlgButton(options, IDC_OPTIONS_NOTE_LETTERS, BST_CHECKED);
            ::CheckDlgButton(options, IDC_OPTIONS_AUTO_ADVANCE, BST_CHECKED);
            Press(options, IDC_OPTIONS_OK);
        });
    EXPECT_EQ(historyAfter, 10u);
    // The next start reads the file afresh.
    Options() = AppOptions();
    ASSERT_TRUE(Options().Load());
    EXPECT_EQ(Options().language, 1);
    EXPECT_EQ(Options().analysisView, 5);
    EXPECT_EQ(Options().resultHistoryLength, 10);
    EXPECT_EQ(Options().pcKeyboardLayout, 1);
    EXPECT_EQ(Options().midiVolume, 2);
    EXPECT_EQ(Options().docking, 0);
    EXPECT_EQ(Options().snapping, 0);
    EXPECT_EQ(Options().noteLetters, 1);
    EXPECT_EQ(Options().autoAdvance, 1);
    std::wstring group;
    Run(
        [&](CControlsDlg& dialog) {
            group = TextOf(::GetDlgItem(dialog.Handle(), kRecordGroup));
            Close(dialog);
        },
        [](HWND) {});
    EXPECT_EQ(group, LoadText(IDS_GROUP_RECORD, guitest::kTurkish));
}

// With MELVORA_SHOTS set: the options window in both languages for docs/screenshots.
TEST_F(OptionsGui, Screenshots) {
    if (!guitest::ShotsWanted()) {
        GTEST_SKIP() << "screenshots are taken by media_screenshots.sh";
    }
    for (int language : {guitest::kEnglish, guitest::kTurkish}) {
        Options().language = language;
        Run(
            [](CControlsDlg& dialog) {
                OpenOptions(dialog);
                Close(dialog);
            },
            [language](HWND options) {
                guitest::TakeShot(options,
                                  language == guitest::kEnglish ? "options_en" : "options_tr");
                Press(options, IDC_OPTIONS_CANCEL);
            });
    }
}

}  // namespace
}  // namespace melvora

// The options window opened by the main controls window's File -> Options command under
// Wine: live choices re-label and reconfigure the open windows, Cancel undoes them, OK keeps
// them and options.dat holds them at the next start.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/win32/controls_dlg.h"
#include "app/win32/floating_frame_dlg.h"
#include "music/midi_message.h"
#include "music/win32/keyboard_dlg.h"
#include "music/win32/staff_dlg.h"
#include "platform/program_directory.h"
#include "platform/recording_midi_out.h"
#include "platform/recording_midi_in.h"
#include "platform/string_table.h"
#include "platform/wave_port_simulated.h"
#include "platform/win32/resource_strings.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "transport/deck_operations.h"
#include "views/win32/inst_tessim_dlg.h"
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
    // The microphone hears `sing` Hz (0: silence) while it runs.
    void Run(std::function<void(HWND)> options, std::function<void(CControlsDlg&)> after) {
        SimulatedSoundCard card(SimulatedSoundCard::ClockMode::kRealTime, 3.0);
        auto position = std::make_shared<int64_t>(0);
        std::atomic<float>* sing = &singHz_;
        card.SetCaptureSource([position, sing](int16_t* samples, size_t count) {
            const double hz = sing->load();
            for (size_t i = 0; i < count; ++i) {
                const double t = static_cast<double>((*position)++) / 44100.0;
                samples[i] =
                    static_cast<int16_t>(8000.0 * std::sin(2.0 * 3.14159265358979 * hz * t));
            }
        });
        CControlsDlg::Audio audio;
        audio.capturePort = card.MakeCapturePort();
        audio.playbackPort = card.MakePlaybackPort();
        // No MIDI device under Wine: recording devices stand in, so no error box waits.
        audio.midiOut = std::make_unique<RecordingMidiOut>(midiJournal_);
        auto input = std::make_unique<RecordingMidiIn>(midiInputs_);
        midiIn_ = input.get();
        audio.midiIn = std::move(input);
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
    RecordingMidiOut::Journal midiJournal_;
    std::vector<std::string> midiInputs_;
    RecordingMidiIn* midiIn_ = nullptr;  // owned by the keyboard while the program runs
    std::atomic<float> singHz_{0.0f};
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

TEST_F(OptionsGui, TheMidiInputListIsTheKeyboardsAndSetSwitchesTheDeviceAtOnce) {
    midiInputs_ = {"USB MIDI Keyboard", "Digital Piano MIDI In"};
    // The preference names the second device: the keyboard opens it without asking.
    std::strcpy(Options().midiInputName, "Digital Piano MIDI In");
    Run(
        [this](HWND options) {
            HWND combo = ::GetDlgItem(options, IDC_OPTIONS_MIDI_INPUT);
            HWND set = ::GetDlgItem(options, IDC_OPTIONS_SET);
            EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
            wchar_t item[64] = {};
            ::SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
            EXPECT_STREQ(item, L"USB MIDI Keyboard");
            EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
            EXPECT_FALSE(::IsWindowEnabled(set));
            ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
            guitest::TakeShot(options, "options_midi_en");
            ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);

            Choose(options, IDC_OPTIONS_MIDI_INPUT, 0);
            EXPECT_TRUE(::IsWindowEnabled(set));
            ::SendMessageW(options, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS_SET, BN_CLICKED),
                           reinterpret_cast<LPARAM>(set));
            // The old device closed, the chosen one open and started, its name kept on disk.
            EXPECT_EQ(midiIn_->closes, 1);
            EXPECT_EQ(midiIn_->opens, 2);
            EXPECT_EQ(midiIn_->openedDevice, 0);
            EXPECT_TRUE(midiIn_->started);
            EXPECT_FALSE(::IsWindowEnabled(set));
            EXPECT_STREQ(Options().midiInputName, "USB MIDI Keyboard");
            EXPECT_STREQ(Stored().midiInputName, "USB MIDI Keyboard");

            Choose(options, IDC_OPTIONS_LANGUAGE, 1);
            ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
            guitest::TakeShot(options, "options_midi_tr");
            ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
            ::PostMessageW(options, WM_COMMAND, IDC_OPTIONS_CANCEL, 0);
        },
        [this](CControlsDlg& dialog) {
            // Cancel keeps the device; what the external keyboard plays sounds through it.
            EXPECT_EQ(dialog.KeyboardWindow()->Keyboard().SelectedDevice(), 0);
            midiJournal_.Clear();
            midiIn_->Deliver(midi::NoteOn(64, 100));
            EXPECT_EQ(midiJournal_.Messages(), std::vector<uint32_t>{midi::NoteOn(64, 100)});
        });
    EXPECT_STREQ(Stored().midiInputName, "USB MIDI Keyboard");
}

TEST_F(OptionsGui, ChoicesReachTheAnalysisKeyboardAndStaffWithoutNewResults) {
    Options().playAlong = 0;
    Options().noteLetters = 0;
    Run(
        [](HWND options) {
            CControlsDlg& dialog = *g_dialog;
            // The worker parked: only the changes themselves can repaint the views.
            dialog.Deck()->Transport().Pause();
            auto& analysis =
                dynamic_cast<CInstTessimDlg&>(dialog.FloatingFrame(FloatingWindow::Analysis));
            CKeyboardDlg& keyboard = *dialog.KeyboardWindow();
            CStaff& staff = dialog.StaffWindow()->Staff();
            guitest::PumpMessages(300);

            const uint64_t analysisFrames = analysis.View().FramesDrawn();
            Choose(options, IDC_OPTIONS_VIEW, 5);
            EXPECT_TRUE(
                guitest::PumpUntil([&] { return analysis.View().FramesDrawn() > analysisFrames; },
                                   guitest::kDeadlineMs))
                << "the analysis view kept the old style";

            // Single row: "S" plays C4 and stands on its key.
            Choose(options, IDC_OPTIONS_LAYOUT, 0);
            const PianoKeyboard& keys = keyboard.Keyboard().Keys();
            EXPECT_EQ(keys.Key(keys.SlotOfMidiNote(60)).label, "S");

            keyboard.Keyboard().PressKey(keys.SlotOfMidiNote(60), PianoKeyboard::kPressed, false,
                                         true);
            EXPECT_EQ(keyboard.Keyboard().NoteLabel().rfind("Do4", 0), 0u);
            const uint64_t staffFrames = staff.FramesDrawn();
            ::CheckDlgButton(options, IDC_OPTIONS_NOTE_LETTERS, BST_CHECKED);
            ::CheckDlgButton(options, IDC_OPTIONS_PLAY_ALONG, BST_CHECKED);
            ::SendMessageW(options, WM_COMMAND, IDC_OPTIONS_OK, 0);
            EXPECT_EQ(keyboard.Keyboard().NoteLabel().rfind("C4", 0), 0u);
            EXPECT_TRUE(keyboard.PlayAlongSwitch().Latched());
            EXPECT_TRUE(guitest::PumpUntil([&] { return staff.FramesDrawn() > staffFrames; },
                                           guitest::kDeadlineMs))
                << "the staff kept the old note names";
            dialog.Deck()->Transport().Resume();
        },
        [this](CControlsDlg&) {
            // Play-along is on at once: a sung A4 sounds.
            midiJournal_.Clear();
            singHz_.store(440.0f);
            EXPECT_TRUE(guitest::PumpUntil(
                [&] {
                    const std::vector<uint32_t> sent = midiJournal_.Messages();
                    return std::find(sent.begin(), sent.end(), midi::NoteOn(69, 88)) != sent.end();
                },
                guitest::kDeadlineMs));
        });
}

}  // namespace
}  // namespace melvora

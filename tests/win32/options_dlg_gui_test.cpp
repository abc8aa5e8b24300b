// The options window opened by the main controls window's File -> Options command under
// Wine: live choices re-label and reconfigure the open windows, Cancel undoes them, OK keeps
// them and options.dat holds them at the next start.
#include <algorithm>
#include <cstring>

#include "app/win32/floating_frame_dlg.h"
#include "music/midi_message.h"
#include "music/win32/keyboard_dlg.h"
#include "music/win32/staff_dlg.h"
#include "platform/recording_midi_in.h"
#include "transport/deck_operations.h"
#include "views/win32/inst_tessim_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::TextOf;

void Choose(HWND options, int comboId, int index) {
    HWND combo = ::GetDlgItem(options, comboId);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(options, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

// The main window's texts: groups, menu buttons, the floating windows' captions (analysis,
// player, keyboard, staff, volume) and the time display. The volume window keeps its
// template's "Volume" in both languages.
std::vector<std::wstring> Texts(CControlsDlg& dialog) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < 3; ++i) {
        texts.push_back(TextOf(::GetDlgItem(dialog.Handle(), IDC_RECORD_GROUP + i)));
        texts.push_back(dialog.MenuButton(i)->Text());
    }
    for (int i = 0; i < kFloatingWindowCount; ++i) {
        texts.push_back(TextOf(guitest::ProgramRun::Floating(dialog, i)));
    }
    texts.push_back(TextOf(::GetDlgItem(dialog.Handle(), IDC_TIME_TEXT)));
    return texts;
}

class OptionsGui : public ::testing::Test {
  protected:
    OptionsGui() {
        Options().language = guitest::kEnglish;
        Options().analysisView = 2;
        EXPECT_TRUE(Options().Save());
    }
    // Runs the program's main window: File -> Options, `options` in the options window (which
    // it must close), then `after`; then the main window closes.
    void Run(const std::function<void(CControlsDlg&, HWND)>& options,
             const std::function<void(CControlsDlg&)>& after) {
        run_.Run([&](CControlsDlg& dialog) {
            guitest::WindowWatch watch(
                [](HWND hwnd) { return ::GetDlgItem(hwnd, IDC_OPTIONS_LANGUAGE) != nullptr; },
                [&](HWND window) { options(dialog, window); });
            // Returns once the options window closed.
            ::SendMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(ID_OPTIONS, 0), 0);
            EXPECT_EQ(watch.Count(), 1) << "the options window did not come up";
            after(dialog);
            run_.Close(dialog);
        });
    }
    static AppOptions Stored() {
        AppOptions stored;
        stored.Load();
        return stored;
    }
    guitest::ProgramRun run_{"options"};
    std::atomic<float> singHz_{0.0f};  // what the microphone hears (0: silence)
};

// Choosing Turkish re-labels every open window at once; Cancel brings English back.
TEST_F(OptionsGui, CancelRestoresLanguageLayoutAndView) {
    const AppOptions::FileImage before = Stored().ToFileImage();
    auto player = [](CControlsDlg& dialog) {
        return dialog.FloatingFrame(FloatingWindow::MediaPlayer).Handle();
    };
    Run(
        [&](CControlsDlg& dialog, HWND options) {
            EXPECT_FALSE(::IsWindowEnabled(player(dialog)));
            guitest::TakeShot(options, "options_en");
            Choose(options, IDC_OPTIONS_LANGUAGE, 1);
            Choose(options, IDC_OPTIONS_VIEW, 5);
            Choose(options, IDC_OPTIONS_LAYOUT, 0);
            guitest::TakeShot(options, "options_tr");
            // Every open window speaks Turkish, the dialog included; the view is live.
            EXPECT_EQ(Texts(dialog), (std::vector<std::wstring>{
                                         L"Kayıt", L"Dosya", L"Çalma", L"Görüntü", L"Dosya",
                                         L"Yardım", L"Analiz", L"Ortam Yürütücü", L"Klavye",
                                         L"Porte", L"Volume", L"Kaydedilen Süre:    0:00"}));
            EXPECT_EQ(TextOf(options), LoadText(IDS_OPTIONS, guitest::kTurkish));
            EXPECT_EQ(dialog.Results().HistoryLength(), 10u);
            EXPECT_EQ(Options().pcKeyboardLayout, 1);
            ::PostMessageW(options, WM_COMMAND, IDC_OPTIONS_CANCEL, 0);
        },
        [&](CControlsDlg& dialog) {
            EXPECT_TRUE(::IsWindowEnabled(player(dialog)));
            EXPECT_EQ(Texts(dialog), (std::vector<std::wstring>{
                                         L"Record", L"File", L"Replay", L"View", L"File", L"Help",
                                         L"Analysis", L"Media Player", L"Keyboard", L"Staff",
                                         L"Volume", L"Recorded So Far:    0:00"}));
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
        [](CControlsDlg&, HWND options) {
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
    Run([](CControlsDlg&,
           HWND options) { ::PostMessageW(options, WM_COMMAND, IDC_OPTIONS_CANCEL, 0); },
        [](CControlsDlg& dialog) {
            EXPECT_EQ(TextOf(::GetDlgItem(dialog.Handle(), IDC_RECORD_GROUP)),
                      LoadText(IDS_GROUP_RECORD, guitest::kTurkish));
        });
}

TEST_F(OptionsGui, TheMidiInputListIsTheKeyboardsAndSetSwitchesTheDeviceAtOnce) {
    run_.midiInputs = {"USB MIDI Keyboard", "Digital Piano MIDI In"};
    // The preference names the second device: the keyboard opens it without asking.
    std::strcpy(Options().midiInputName, "Digital Piano MIDI In");
    Run(
        [this](CControlsDlg&, HWND options) {
            RecordingMidiIn* midiIn = run_.MidiIn();
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
            EXPECT_EQ(midiIn->closes, 1);
            EXPECT_EQ(midiIn->opens, 2);
            EXPECT_EQ(midiIn->openedDevice, 0);
            EXPECT_TRUE(midiIn->started);
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
            run_.journal.Clear();
            run_.MidiIn()->Deliver(midi::NoteOn(64, 100));
            EXPECT_EQ(run_.journal.Messages(), std::vector<uint32_t>{midi::NoteOn(64, 100)});
        });
    EXPECT_STREQ(Stored().midiInputName, "USB MIDI Keyboard");
}

TEST_F(OptionsGui, ChoicesReachTheAnalysisKeyboardAndStaffWithoutNewResults) {
    Options().playAlong = 0;
    Options().noteLetters = 0;
    guitest::Sing(run_.Card(), 0.0, 0.0, &singHz_);
    Run(
        [](CControlsDlg& dialog, HWND options) {
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
            run_.journal.Clear();
            singHz_.store(440.0f);
            EXPECT_TRUE(guitest::PumpUntil(
                [&] {
                    const std::vector<uint32_t> sent = run_.journal.Messages();
                    return std::find(sent.begin(), sent.end(), midi::NoteOn(69, 88)) != sent.end();
                },
                guitest::kDeadlineMs));
        });
}

}  // namespace
}  // namespace melvora

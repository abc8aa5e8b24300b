// The options window opened by the main controls window's File -> Options command under
// Wine: live choices re-label and reconfigure the open windows, Cancel undoes them, OK keeps
// them in options.dat. Which choice lands where is checked natively.
#include <cstring>

#include "app/win32/floating_frame_dlg.h"
#include "music/win32/keyboard_dlg.h"
#include "platform/recording_midi_in.h"
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
// player, keyboard, staff, volume) and the time display.
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

// The label of the PC key that plays C4 on the keyboard window.
std::string KeyOfC4(CControlsDlg& dialog) {
    const PianoKeyboard& keys = dialog.KeyboardWindow()->Keyboard().Keys();
    return keys.Key(keys.SlotOfMidiNote(60)).label;
}

// File -> Options; `script` runs in the options window, which it must close.
void OpenOptions(CControlsDlg& dialog, const std::function<void(HWND)>& script) {
    guitest::WindowWatch watch(
        [](HWND hwnd) { return ::GetDlgItem(hwnd, IDC_OPTIONS_LANGUAGE) != nullptr; }, script);
    // Returns once the options window closed.
    ::SendMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(ID_OPTIONS, 0), 0);
    EXPECT_EQ(watch.Count(), 1) << "the options window did not come up";
}

// Started in Turkish: choosing English re-labels every open window at once (the volume window
// keeps its template's "Volume"), view and layout are live too, and Cancel brings all back.
// The MIDI input list is the keyboard's; Set switches the device at once and keeps it. OK
// takes the check boxes, reconfigures the windows and saves options.dat.
TEST(OptionsGui, CancelUndoesLiveChoicesAndOkKeepsThem) {
    guitest::ProgramRun run("options");
    run.midiInputs = {"USB MIDI Keyboard", "Digital Piano MIDI In"};
    AppOptions& o = Options();
    o.language = guitest::kTurkish;
    o.pcKeyboardLayout = 1;  // single row
    // The preference names the second device: the keyboard opens it without asking.
    std::strcpy(o.midiInputName, "Digital Piano MIDI In");
    EXPECT_TRUE(o.Save());
    run.Run([&](CControlsDlg& dialog) {
        const std::vector<std::wstring> turkish = Texts(dialog);
        EXPECT_EQ(turkish,
                  (std::vector<std::wstring>{L"Kayıt", L"Dosya", L"Çalma", L"Görüntü", L"Dosya",
                                             L"Yardım", L"Analiz", L"Ortam Yürütücü", L"Klavye",
                                             L"Porte", L"Volume", L"Kaydedilen Süre:    0:00"}));
        OpenOptions(dialog, [&](HWND options) {
            EXPECT_FALSE(
                ::IsWindowEnabled(dialog.FloatingFrame(FloatingWindow::MediaPlayer).Handle()));
            HWND combo = ::GetDlgItem(options, IDC_OPTIONS_MIDI_INPUT);
            HWND set = ::GetDlgItem(options, IDC_OPTIONS_SET);
            EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
            EXPECT_FALSE(::IsWindowEnabled(set));
            guitest::TakeShot(options, "options_tr");
            ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
            guitest::TakeShot(options, "options_midi_tr");
            ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);

            Choose(options, IDC_OPTIONS_MIDI_INPUT, 0);
            EXPECT_TRUE(::IsWindowEnabled(set));
            // A click on Set (the button posts its command, so the loop runs until it came):
            // the old device closed, the chosen one open and started.
            guitest::Click(set);
            guitest::PumpUntil([&] { return run.MidiIn()->opens == 2; });
            RecordingMidiIn* midiIn = run.MidiIn();
            EXPECT_EQ(midiIn->closes * 10 + midiIn->opens, 12);
            EXPECT_EQ(midiIn->openedDevice, 0);
            EXPECT_TRUE(midiIn->started);

            Choose(options, IDC_OPTIONS_LANGUAGE, 0);
            Choose(options, IDC_OPTIONS_VIEW, 5);
            Choose(options, IDC_OPTIONS_LAYOUT, 1);
            guitest::TakeShot(options, "options_en");
            ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
            guitest::TakeShot(options, "options_midi_en");
            ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
            EXPECT_EQ(Texts(dialog), (std::vector<std::wstring>{
                                         L"Record", L"File", L"Replay", L"View", L"File", L"Help",
                                         L"Analysis", L"Media Player", L"Keyboard", L"Staff",
                                         L"Volume", L"Recorded So Far:    0:00"}));
            EXPECT_EQ(TextOf(options), LoadText(IDS_OPTIONS, guitest::kEnglish));
            EXPECT_EQ(dialog.Results().HistoryLength(), 10u);
            EXPECT_NE(KeyOfC4(dialog), "S");
            ::PostMessageW(options, WM_COMMAND, IDC_OPTIONS_CANCEL, 0);
        });
        EXPECT_TRUE(::IsWindowEnabled(dialog.FloatingFrame(FloatingWindow::MediaPlayer).Handle()));
        EXPECT_EQ(Texts(dialog), turkish);
        EXPECT_EQ(KeyOfC4(dialog), "S");  // single row

        OpenOptions(dialog, [](HWND options) {
            Choose(options, IDC_OPTIONS_VIEW, 1);
            Choose(options, IDC_OPTIONS_MIDI_VOLUME, 0);
            ::CheckDlgButton(options, IDC_OPTIONS_DOCKING, BST_UNCHECKED);
            ::CheckDlgButton(options, IDC_OPTIONS_AUTO_ADVANCE, BST_CHECKED);
            ::CheckDlgButton(options, IDC_OPTIONS_PLAY_ALONG, BST_CHECKED);
            ::PostMessageW(options, WM_COMMAND, IDC_OPTIONS_OK, 0);
        });
        EXPECT_EQ(dialog.Results().HistoryLength(), 1u);
        EXPECT_TRUE(dialog.KeyboardWindow()->PlayAlongSwitch().Latched());
        run.Close(dialog);
    });
    AppOptions stored;
    stored.Load();
    // View 1, volume 0, docking off, the other two on (the defaults differ in each).
    EXPECT_EQ(stored.analysisView * 10 + stored.midiVolume, 10);
    EXPECT_EQ(stored.docking * 10 + stored.autoAdvance + stored.playAlong, 2);
    EXPECT_STREQ(stored.midiInputName, "USB MIDI Keyboard");
}

}  // namespace
}  // namespace melvora

// The options window opened by the main controls window's File -> Options command under
// Wine: live choices re-label and reconfigure the open windows, Cancel undoes them, OK keeps
// them and options.dat holds them at the next start.
#include "app/win32/floating_frame_dlg.h"
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

}  // namespace
}  // namespace melvora

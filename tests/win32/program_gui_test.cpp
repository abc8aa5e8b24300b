// The program's own windows under Wine: the start-up layout, snapping, docking, minimise and
// restore, the deck driven through the real dialog with the simulated
// sound card, the File menu, help, the sung pitch, the piano keys and the close procedure.
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

#include "music/midi_message.h"
#include "music/win32/staff_dlg.h"
#include "transport/deck_operations.h"
#include "ui/help_topic.h"
#include "ui/win32/help_launcher.h"
#include "ui/win32/new_deck_button.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::PumpUntil;
using guitest::ScreenRectOf;
using guitest::TextOf;
const auto Floating = guitest::ProgramRun::Floating;

// The floating windows by index (see FloatingWindowAt).
enum { kAnalysis, kPlayer, kKeyboard, kStaff, kVolume };

// Moves a window as a user's drag does: its position handling (snapping) runs.
void DragTo(HWND window, int x, int y) {
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// True when `test` holds for every floating window (by index).
bool Every(const std::function<bool(int)>& test) {
    bool all = true;
    for (int i = 0; i < kFloatingWindowCount; ++i) {
        all = test(i) && all;  // runs for each, for the tests that record as they go
    }
    return all;
}

class ProgramGui : public ::testing::Test {
  protected:
    ProgramGui() { Options().language = guitest::kTurkish; }
    guitest::ProgramRun run_{"program"};
};

// The windows on the 1024-pixel strip with the program's icon; minimise and restore show
// exactly the shown windows; File > Exit with nothing recorded asks nothing and removes the
// working file. (The owner dialog stays hidden, so the task bar button and Alt+Tab show the
// main window's icon.)
TEST_F(ProgramGui, StartsOnThe1024PixelStripMinimisesAndExitsWithoutAQuestion) {
    RECT main = {}, w[5] = {};
    bool allVisible = true, workingFileWhileRunning = false, hidden = false, restored = false;
    LRESULT big = 0, small = 0;
    const INT_PTR result = run_.Run([&](CControlsDlg& dialog) {
        main = ScreenRectOf(dialog.Handle());
        for (int i = 0; i < 5; ++i) {
            w[i] = ScreenRectOf(Floating(dialog, i));
            allVisible = allVisible && ::IsWindowVisible(Floating(dialog, i));
        }
        big = ::SendMessageW(dialog.Handle(), WM_GETICON, ICON_BIG, 0);
        small = ::SendMessageW(dialog.Handle(), WM_GETICON, ICON_SMALL, 0);
        workingFileWhileRunning = run_.Exists("tmp.wav");
        auto visible = [&](int i) { return !!::IsWindowVisible(Floating(dialog, i)); };
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_VIEW_MEDIA_PLAYER, 0);  // hide the player
        ::SendMessageW(dialog.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        hidden = PumpUntil([&] { return Every([&](int i) { return !visible(i); }); });
        ::SendMessageW(dialog.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
        restored = PumpUntil([&] {
            return Every([&](int i) { return visible(i) == (i != kPlayer); }) &&
                   !dialog.Windows().IsShown(kPlayer);
        });
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_EXIT, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(allVisible);
    EXPECT_TRUE(hidden) << "a floating window stayed on the screen while minimised";
    EXPECT_TRUE(restored) << "restore did not show exactly the shown windows";
    const int left = 1024 - (main.right - main.left);
    const int upper = (w[kPlayer].bottom - w[kPlayer].top) + (main.bottom - main.top);
    const int volumeWidth = w[kVolume].right - w[kVolume].left;
    // Expected left, top, right, bottom; -1 where the size is the window's own.
    const int expected[6][4] = {{left, 0, 1024, -1},
                                {0, upper, 1024, upper + 152},
                                {left, main.bottom - main.top, -1, -1},
                                {0, 0, -1, upper},
                                {volumeWidth, 0, left, upper},
                                {0, upper + 152, 1024, upper + 152 + 198}};
    const RECT got[6] = {main, w[kStaff], w[kPlayer], w[kVolume], w[kAnalysis], w[kKeyboard]};
    for (int i = 0; i < 6; ++i) {
        const LONG sides[4] = {got[i].left, got[i].top, got[i].right, got[i].bottom};
        for (int k = 0; k < 4; ++k) {
            if (expected[i][k] >= 0) {
                EXPECT_EQ(sides[k], expected[i][k]) << "window " << i << " side " << k;
            }
        }
    }
    const LPARAM program = reinterpret_cast<LPARAM>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MELVORA), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    EXPECT_NE(program, 0);
    EXPECT_EQ(big, program);
    EXPECT_NE(small, 0);
    EXPECT_EQ(run_.Boxes(), 0);
    EXPECT_TRUE(workingFileWhileRunning);
    EXPECT_FALSE(run_.Exists("tmp.wav"));
}

// The media player is dropped 9 pixels under the main window, then the main window moves.
// With snapping on the player joins the main window; with docking on every floating window
// joined to it follows it. The distances and the hidden-window rules are the window set's
// own tests; these show that the real windows' moves reach it with the options.
TEST_F(ProgramGui, PlayerDroppedUnderTheMainWindowThenTheMainWindowMoved) {
    const std::pair<int, int> cases[] = {{1, 1}, {1, 0}, {0, 1}};  // docking, snapping
    for (const auto& [docking, snapping] : cases) {
        SCOPED_TRACE(::testing::Message() << "docking " << docking << " snapping " << snapping);
        Options().docking = static_cast<uint8_t>(docking);
        Options().snapping = static_cast<uint8_t>(snapping);
        auto follows = [&](int i) { return docking && (i != kPlayer || snapping); };
        RECT main = {}, dropped = {}, before[5] = {}, after[5] = {};
        run_.Run([&](CControlsDlg& dialog) {
            HWND player = Floating(dialog, kPlayer);
            DragTo(player, 300, 700);  // away from everything first
            main = ScreenRectOf(dialog.Handle());
            DragTo(player, main.left + 40, main.bottom + 9);
            dropped = ScreenRectOf(player);
            for (int i = 0; i < 5; ++i) {
                before[i] = ScreenRectOf(Floating(dialog, i));
            }
            DragTo(dialog.Handle(), main.left - 100, main.top + 60);
            PumpUntil([&] {
                return Every([&](int i) {
                    after[i] = ScreenRectOf(Floating(dialog, i));
                    return after[i].left == before[i].left - (follows(i) ? 100 : 0);
                });
            });
            DragTo(dialog.Handle(), main.left, main.top);  // back, for the next case
            run_.Close(dialog);
        });
        EXPECT_EQ(dropped.left, main.left + 40);
        EXPECT_EQ(dropped.top, snapping ? main.bottom : main.bottom + 9);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(after[i].left, before[i].left - (follows(i) ? 100 : 0)) << i;
            EXPECT_EQ(after[i].top, before[i].top + (follows(i) ? 60 : 0)) << i;
        }
    }
}

// Enabled Rec, Rew, Play, Eject; pressed look of Rec and Play.
using DeckState = std::array<bool, 6>;

DeckState ReadDeck(CControlsDlg& dialog) {
    auto enabled = [&](DeckButton b) {
        return ::IsWindowEnabled(dialog.DeckButtonControl(b)->Handle()) != FALSE;
    };
    return DeckState{enabled(DeckButton::Rec),
                     enabled(DeckButton::Rew),
                     enabled(DeckButton::Play),
                     enabled(DeckButton::Eject),
                     dialog.DeckButtonControl(DeckButton::Rec)->Latched(),
                     dialog.DeckButtonControl(DeckButton::Play)->Latched()};
}

// A take and its replay through the real deck: its buttons in each mode, the time display,
// the replay reaching the speaker and its end showing the stopped deck (the transport's side
// of it is the deck operations' own test). Cancel on the save question keeps the program
// running; No closes it and leaves the take in the working file.
TEST_F(ProgramGui, DeckThroughATakeItsReplayAndTheSaveQuestion) {
    const DeckState kIdle = {true, false, false, true, false, false};
    const DeckState kRecording = {true, false, false, false, true, false};
    const DeckState kStopped = {true, true, true, true, false, false};
    const DeckState kReplaying = {false, true, true, false, false, true};
    std::vector<DeckState> seen;
    std::wstring recordingText;
    int boxesAfterCancel = -1;
    bool aliveAfterCancel = false;
    guitest::Sing(run_.Card(), 440.0, 0.0);
    std::atomic<int64_t> played{0};
    run_.Card().SetPlaybackSink([&](const int16_t*, size_t count) { played += count; });
    const INT_PTR result = run_.Run([&](CControlsDlg& dialog) {
        // Clicks `button` (none: only waits) until the deck shows `expected`; notes what it shows.
        auto click = [&](DeckButton* button, const DeckState& expected) {
            if (button != nullptr) {
                guitest::Click(dialog.DeckButtonControl(*button)->Handle());
            }
            PumpUntil([&] { return ReadDeck(dialog) == expected; });
            seen.push_back(ReadDeck(dialog));
        };
        DeckButton rec = DeckButton::Rec, play = DeckButton::Play;
        click(nullptr, kIdle);
        click(&rec, kRecording);
        // At least a second of take, so that the replay outlasts the device's buffers and its
        // pressed Play can be seen, however slow the card's clock.
        PumpUntil([&] { return guitest::ProgramRun::ShowsASecond(dialog); });
        recordingText = TextOf(::GetDlgItem(dialog.Handle(), IDC_TIME_TEXT));
        click(&rec, kStopped);
        click(&play, kReplaying);
        click(nullptr, kStopped);  // the end of the take pauses the replay by itself
        const int boxesBefore = run_.Boxes();
        run_.Close(dialog, IDCANCEL);
        PumpUntil([&] {
            return run_.Boxes() > boxesBefore &&
                   guitest::FindThreadWindow(guitest::IsMessageBox) == nullptr;
        });
        boxesAfterCancel = run_.Boxes();
        aliveAfterCancel = ::IsWindowVisible(dialog.Handle()) && ::IsWindowEnabled(dialog.Handle());
        run_.Close(dialog, IDNO);
    });
    EXPECT_EQ(seen, (std::vector<DeckState>{kIdle, kRecording, kStopped, kReplaying, kStopped}));
    EXPECT_EQ(recordingText.rfind(L"Kaydedilen Süre:", 0), 0u) << recordingText.c_str();
    EXPECT_GT(played.load(), 0) << "the replay did not reach the speaker";
    EXPECT_EQ(boxesAfterCancel, 1);
    EXPECT_TRUE(aliveAfterCancel);
    EXPECT_EQ(run_.BoxTexts().size(), 2u)
        << (run_.Boxes() > 0 ? run_.BoxTexts().back() : std::wstring()).c_str();
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(run_.Exists("tmp.wav"));
}

// What the File popup and the open dialog show, and the save dialog's answer: the typed name
// with its extension. Which items are enabled or checked in which state is the command state's
// own test; this shows the real popup gets it.
TEST_F(ProgramGui, FileMenuAndFileDialogsSpeakTheUsersLanguage) {
    int itemCount = 0;
    std::wstring firstText, exercisesText, fileType;
    UINT exercisesState = static_cast<UINT>(-1);
    bool chosen = true, saved = false;
    std::string path, savePath;
    run_.Run([&](CControlsDlg& dialog) {
        {
            guitest::WindowWatch popup(
                [](HWND hwnd) { return guitest::HasClass(hwnd, L"#32768"); },
                [&](HWND hwnd) {
                    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(hwnd, MN_GETHMENU, 0, 0));
                    itemCount = ::GetMenuItemCount(menu);
                    wchar_t text[128] = {};
                    ::GetMenuStringW(menu, 0, text, 128, MF_BYPOSITION);
                    firstText = text;
                    exercisesState = ::GetMenuState(menu, ID_EXERCISES, MF_BYCOMMAND);
                    ::GetMenuStringW(menu, ID_EXERCISES, text, 128, MF_BYCOMMAND);
                    exercisesText = text;
                    ::EndMenu();
                });
            ::SendMessageW(dialog.Handle(), WM_COMMAND, IDC_FILE_MENU_BUTTON, 0);
        }
        // The open dialog, found by its file type list (cmb1).
        guitest::WindowWatch open([](HWND hwnd) { return ::GetDlgItem(hwnd, 0x470) != nullptr; },
                                  [&](HWND box) {
                                      fileType = TextOf(::GetDlgItem(box, 0x470));
                                      ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
                                  });
        chosen = dialog.AskOpenPath(&path);
        guitest::WindowWatch save([](HWND hwnd) { return ::GetDlgItem(hwnd, 0x47c) != nullptr; },
                                  [&](HWND box) {
                                      const std::wstring typed = Utf8ToWide(run_.Path("Şarkı"));
                                      ::SetDlgItemTextW(box, 0x47c, typed.c_str());  // cmb13
                                      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                                  });
        saved = dialog.AskSavePath(&savePath);
        run_.Close(dialog);
    });
    // New, Open, Save, the exercises, separator, Options, separator, Exit.
    EXPECT_EQ(itemCount, 8);
    EXPECT_EQ(firstText, L"&Yeni");
    ASSERT_NE(exercisesState, static_cast<UINT>(-1)) << "no exercises item";
    EXPECT_EQ(exercisesState & MF_GRAYED, 0u);  // enabled like New and Open
    EXPECT_EQ(exercisesText, LoadText(IDS_TIP_NEW_EXERCISE, guitest::kTurkish));
    EXPECT_FALSE(chosen);
    EXPECT_EQ(fileType, L"Wave Dosyaları (*.wav)");
    EXPECT_TRUE(saved);
    EXPECT_EQ(savePath, run_.Path("Şarkı.wav"));
}

#ifdef MELVORA_HELP_FILE_BESIDE
bool IsHelpWindow(HWND window) {
    return guitest::HasClass(window, L"HH Parent");
}

// Both languages' topics open from the help file; a missing file opens nothing. Help windows
// belong to the HTML Help control, not to the window that opened them: closing the program
// closes them as well, even those that no window of the program owns.
TEST_F(ProgramGui, HelpWindowsOpenInBothLanguagesAndCloseWithTheProgram) {
    wchar_t exe[MAX_PATH] = {};
    const std::wstring path(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
    const std::wstring help = path.substr(0, path.find_last_of(L'\\') + 1) + L"Melvora.chm";
    const std::wstring copy = Utf8ToWide(run_.Path("Melvora.chm"));
    ASSERT_TRUE(::CopyFileW(help.c_str(), copy.c_str(), FALSE));
    bool opened[2] = {};
    run_.Run([&](CControlsDlg& dialog) {
        for (int language : {guitest::kEnglish, guitest::kTurkish}) {
            HWND window = OpenHelpTopic(nullptr, HelpTopic("ses.htm", language));
            opened[language] = window != nullptr && IsHelpWindow(window);
        }
        EXPECT_EQ(OpenHelpTopic(nullptr, "Missing.chm::/en/ana.htm"), nullptr);
        run_.Close(dialog);
    });
    EXPECT_TRUE(opened[guitest::kEnglish] && opened[guitest::kTurkish]);
    EXPECT_TRUE(PumpUntil([] { return guitest::FindThreadWindow(IsHelpWindow) == nullptr; }, 2000));
    ::DeleteFileW(copy.c_str());
}
#endif

// The microphone is analysed from the start: the sung A3 reaches the results and the staff,
// and play-along sounds it. Once the windows are gone no result reaches their views.
TEST_F(ProgramGui, TheSungPitchReachesTheAnalysisAndTheStaffAndPlayAlongSoundsIt) {
    Options().playAlong = 1;
    guitest::Sing(run_.Card(), 220.0, 0.5);  // A3
    ResultRecord newest;
    float staffPitch = 0.0f;
    bool playedAlong = false;
    auto heard = [&] {
        const std::vector<uint32_t> sent = run_.journal.Messages();
        return std::find(sent.begin(), sent.end(), midi::NoteOn(57, 88)) != sent.end();
    };
    run_.Run(
        [&](CControlsDlg& dialog) {
            PumpUntil([&] {
                newest = dialog.Results().ReadNewest();
                staffPitch = dialog.StaffWindow()->Staff().Pitch();
                return std::fabs(newest.pitchHz - 220.0f) < 5.0f &&
                       std::fabs(staffPitch - 220.0f) < 5.0f && heard();
            });
            playedAlong = heard();
            run_.Close(dialog);
        },
        [&](CControlsDlg& dialog) {
            // The close left the worker parked; a result handed on now, as an
            // abandoned worker would, must find no view: no play-along note, no pitch
            // on the staff, no repaint of a destroyed window.
            ASSERT_TRUE(dialog.Deck()->Transport().IsPaused());
            const float pitchBefore = dialog.StaffWindow()->Staff().Pitch();
            run_.journal.Clear();
            AnalysisResult sung;
            sung.level = 0.5f;
            sung.pitchHz = 440.0f;
            for (int i = 0; i < 100; ++i) {
                dialog.Results().Publish(sung);
            }
            guitest::PumpMessages(100);
            EXPECT_EQ(run_.journal.Messages(), std::vector<uint32_t>{});
            EXPECT_EQ(dialog.StaffWindow()->Staff().Pitch(), pitchBefore);
        });
    EXPECT_NEAR(newest.pitchHz, 220.0f, 5.0f);
    EXPECT_EQ(newest.note.octave, 3);
    EXPECT_EQ(newest.note.semitone, 9);
    EXPECT_NEAR(staffPitch, 220.0f, 5.0f);
    EXPECT_TRUE(playedAlong) << "play-along did not sound A3";
}

// Steps run one at a time from a timer of the program's own message loop, so that what they
// type is routed as typed keys are (the modal loop's pre-translation through the window
// chain). A step answers true when it is done; otherwise it is asked again at the next tick.
struct LoopSteps {
    std::vector<std::function<bool()>> steps;
    size_t next = 0;
    DWORD stepStart = 0;
};
LoopSteps* g_steps = nullptr;

void CALLBACK StepTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    LoopSteps* run = g_steps;
    if (run == nullptr) {
        ::KillTimer(nullptr, timer);
        return;
    }
    // A step that never gets done is given up after the deadline; the checks tell.
    const bool late = ::GetTickCount() - run->stepStart > static_cast<DWORD>(guitest::kDeadlineMs);
    if (run->next < run->steps.size() && (run->steps[run->next]() || late)) {
        ++run->next;
        run->stepStart = ::GetTickCount();
    }
    if (run->next >= run->steps.size()) {
        ::KillTimer(nullptr, timer);
        g_steps = nullptr;
    }
}

void TypeKey(WORD virtualKey, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof(input));
}

// Keys typed while any floating window, or a control of the player or the volume window, has
// the focus play the piano.
TEST_F(ProgramGui, KeysTypedInAnyFloatingWindowPlayThePiano) {
    struct Case {
        FloatingWindow window;
        int control;  // the control that has the focus; 0: the window itself
        std::vector<WORD> keys;
        std::vector<uint32_t> expected;
    };
    const std::vector<uint32_t> c4 = {midi::NoteOn(60, 88), midi::NoteOff(60)};
    const std::vector<Case> cases = {
        {FloatingWindow::Analysis, 0, {'W'}, c4},
        {FloatingWindow::Keyboard, 0, {'W'}, c4},
        {FloatingWindow::Staff, 0, {'W'}, c4},
        {FloatingWindow::MediaPlayer, IDC_PLAYER_POSITION, {'W'}, c4},
        // F5 moves the PC keys an octave up (all notes off first); "3" is a black key.
        {FloatingWindow::Volume,
         IDC_VOLUME_VAD_SLIDER,
         {VK_F5, '3'},
         {midi::AllNotesOff(), midi::NoteOn(73, 88), midi::NoteOff(73)}},
    };
    std::vector<std::vector<uint32_t>> heard(cases.size());
    std::vector<bool> focused(cases.size(), false);
    LoopSteps steps;
    run_.Run([&](CControlsDlg& dialog) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            HWND frame = dialog.FloatingFrame(c.window).Handle();
            HWND control = c.control != 0 ? ::GetDlgItem(frame, c.control) : frame;
            steps.steps.push_back([&, i, frame, control] {
                ::SetForegroundWindow(frame);
                ::SetFocus(control);
                // A dialog hands its own focus on to its first control.
                const HWND got = ::GetFocus();
                focused[i] = got == control || (control == frame && ::IsChild(frame, got));
                run_.journal.Clear();
                return focused[i];
            });
            steps.steps.push_back([&, i] {
                for (WORD key : cases[i].keys) {
                    TypeKey(key, true);
                    TypeKey(key, false);
                }
                return true;
            });
            steps.steps.push_back([&, i] {
                heard[i] = run_.journal.Messages();
                return heard[i].size() >= cases[i].expected.size();
            });
        }
        steps.steps.push_back([&] {
            run_.Close(dialog);
            return true;
        });
        steps.stepStart = ::GetTickCount();
        g_steps = &steps;
        ::SetTimer(nullptr, 0, 50, &StepTimer);
    });
    g_steps = nullptr;
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_TRUE(focused[i]) << "case " << i;
        EXPECT_EQ(heard[i], cases[i].expected) << "case " << i;
    }
}

}  // namespace
}  // namespace melvora

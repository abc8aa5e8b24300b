// The program's own windows under Wine: the start-up layout, snapping, docking, minimise and
// restore, the language switch, the deck driven through the real dialog with the simulated
// sound card, and the close procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/win32/controls_dlg.h"
#include "app/win32/floating_frame_dlg.h"
#include "music/midi_message.h"
#include "music/shared_midi_output.h"
#include "music/win32/keyboard_dlg.h"
#include "music/win32/staff_dlg.h"
#include "platform/program_directory.h"
#include "platform/recording_midi_in.h"
#include "platform/recording_midi_out.h"
#include "platform/string_table.h"
#include "platform/wave_port_simulated.h"
#include "ui/win32/help_launcher.h"
#include "ui/help_topic.h"
#include "transport/deck_operations.h"
#include "transport/replay_reader.h"
#include "ui/message_box_layout.h"
#include "ui/win32/new_deck_button.h"
#include "win32/gui_test_support.h"
#include "resource_ids.h"
#include "string_ids.h"

namespace melvora {
namespace {

constexpr int kAnalysis = 0;
constexpr int kPlayer = 1;
constexpr int kKeyboard = 2;
constexpr int kStaff = 3;
constexpr int kVolume = 4;

RECT ScreenRectOf(HWND window) {
    RECT r = {};
    ::GetWindowRect(window, &r);
    return r;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// Moves a window as a user's drag does: its position handling (snapping) runs.
void DragTo(HWND window, int x, int y) {
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    guitest::PumpMessages(30);
}

// The script of one run of the main controls window.
struct ProgramRun {
    CControlsDlg* dialog = nullptr;
    std::function<void(CControlsDlg&)> script;
    DWORD scriptEndTick = 0;
    bool ran = false;
    bool scriptDone = false;
};
ProgramRun* g_run = nullptr;

void CALLBACK RunTimer(HWND, UINT, UINT_PTR, DWORD) {
    ProgramRun* run = g_run;
    if (run == nullptr || run->dialog->Handle() == nullptr ||
        !::IsWindowVisible(run->dialog->Handle())) {
        return;
    }
    if (!run->ran) {
        run->ran = true;
        run->script(*run->dialog);
        run->scriptEndTick = ::GetTickCount();
        run->scriptDone = true;
        return;
    }
    // A script that left the window open fails its test instead of hanging the suite. Counted
    // from the script's end: this timer also fires inside the script's own waits.
    if (run->scriptDone && ::GetTickCount() - run->scriptEndTick > 30000) {
        run->dialog->EndDialog(-2);
    }
}

// Answers the next skinned message box whose caption is `caption` with `answer`.
struct Answer {
    std::wstring caption;
    int answer = IDCANCEL;
    std::atomic<int> answered{0};
};
Answer* g_answer = nullptr;
UINT_PTR g_answerTimer = 0;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found) {
    if (::IsWindowVisible(hwnd) && g_answer != nullptr && TextOf(hwnd) == g_answer->caption) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_answer == nullptr) {
        return;
    }
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
    if (box != nullptr) {
        ::KillTimer(nullptr, timer);
        g_answerTimer = 0;
        ++g_answer->answered;
        // The box's button with that answer.
        const MessageBoxLayout layout = LayoutMessageBox(MB_YESNOCANCEL, 100, 20);
        for (int i = 0; i < layout.buttonCount; ++i) {
            if (layout.buttons[i].result == g_answer->answer) {
                ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(layout.buttons[i].controlId, BN_CLICKED),
                               0);
            }
        }
    }
}

class ProgramGui : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"melvora_program_" +
                  std::to_wstring(::GetCurrentProcessId()) + L"_" +
                  std::to_wstring(::GetTickCount());
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        char narrow[MAX_PATH] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, folder_.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
        SetProgramDirectoryOverride(narrow);
        Options() = AppOptions();
        Options().language = guitest::kTurkish;
        card_ = std::make_unique<SimulatedSoundCard>(SimulatedSoundCard::ClockMode::kRealTime);
        owner_ = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }

    void TearDown() override {
        ::DestroyWindow(owner_);
        card_.reset();
        SetProgramDirectoryOverride("");
        Options() = AppOptions();
        ::DeleteFileW((folder_ + L"\\tmp.wav").c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }

    // Runs the main controls window modally; `script` runs once the window is up, inside its
    // modal loop, and must close it. Returns the dialog's result.
    // `afterClose` runs once the window is gone, before the dialog object goes.
    INT_PTR RunProgram(const std::function<void(CControlsDlg&)>& script,
                       const std::function<void(CControlsDlg&)>& afterClose = nullptr) {
        CControlsDlg::Audio audio;
        audio.capturePort = card_->MakeCapturePort();
        audio.playbackPort = card_->MakePlaybackPort();
        // No MIDI device under Wine: the recording output stands in for it.
        audio.midiOut = std::make_unique<RecordingMidiOut>(midiJournal_);
        audio.midiIn = std::make_unique<RecordingMidiIn>();
        CControlsDlg dialog(owner_, std::move(audio));
        ProgramRun run;
        run.dialog = &dialog;
        run.script = script;
        g_run = &run;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &RunTimer);
        const INT_PTR result = dialog.DoModal();
        ::KillTimer(nullptr, timer);
        if (afterClose) {
            afterClose(dialog);
        }
        // A close that asked nothing leaves the answering timer behind; left running, it
        // would answer (and count) the boxes of later tests and pile up with every test.
        if (g_answerTimer != 0) {
            ::KillTimer(nullptr, g_answerTimer);
            g_answerTimer = 0;
        }
        g_answer = nullptr;
        g_run = nullptr;
        EXPECT_TRUE(run.ran) << "the window never came up";
        return result;
    }

    // Closes the window; the save question, if it comes, is answered with `answer`.
    static void Close(CControlsDlg& dialog, int answer = IDNO) {
        static Answer pending;
        pending.caption = LoadText(IDS_SAVE, Options().UiLanguage());
        pending.answer = answer;
        pending.answered = 0;
        g_answer = &pending;
        if (g_answerTimer == 0) {
            g_answerTimer = ::SetTimer(nullptr, 0, 50, &AnswerTimer);
        }
        ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    }

    static HWND Floating(CControlsDlg& dialog, int index) {
        FloatingWindow window = FloatingWindow::Analysis;
        return FloatingWindowAt(index, &window) ? dialog.FloatingFrame(window).Handle() : nullptr;
    }

    bool FileExists(const wchar_t* name) const {
        return ::GetFileAttributesW((folder_ + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::wstring folder_;
    std::unique_ptr<SimulatedSoundCard> card_;
    RecordingMidiOut::Journal midiJournal_;
    HWND owner_ = nullptr;
};

TEST_F(ProgramGui, StartUpPlacesTheWindowsOnThe1024PixelStrip) {
    RECT main = {}, w[5] = {};
    bool allVisible = true;
    const INT_PTR result = RunProgram([&](CControlsDlg& dialog) {
        main = ScreenRectOf(dialog.Handle());
        for (int i = 0; i < 5; ++i) {
            w[i] = ScreenRectOf(Floating(dialog, i));
            allVisible = allVisible && ::IsWindowVisible(Floating(dialog, i));
        }
        Close(dialog);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(allVisible);
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
}

// With docking on every floating window follows the main window; with it off none does.
class ProgramGuiDocking : public ProgramGui, public ::testing::WithParamInterface<int> {};

TEST_P(ProgramGuiDocking, MovingTheMainWindow) {
    Options().docking = GetParam();
    RECT before[5] = {}, after[5] = {};
    RunProgram([&](CControlsDlg& dialog) {
        for (int i = 0; i < 5; ++i) {
            before[i] = ScreenRectOf(Floating(dialog, i));
        }
        const RECT main = ScreenRectOf(dialog.Handle());
        DragTo(dialog.Handle(), main.left - 100, main.top + 60);
        for (int i = 0; i < 5; ++i) {
            after[i] = ScreenRectOf(Floating(dialog, i));
        }
        Close(dialog);
    });
    const int dx = GetParam() ? -100 : 0, dy = GetParam() ? 60 : 0;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(after[i].left, before[i].left + dx) << i;
        EXPECT_EQ(after[i].top, before[i].top + dy) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(OnOff, ProgramGuiDocking, ::testing::Values(0, 1));

struct SnapCase {
    bool snapping;
    int gapPixels;
    bool expectSnapped;
};

class ProgramGuiSnap : public ProgramGui, public ::testing::WithParamInterface<SnapCase> {};

TEST_P(ProgramGuiSnap, MediaPlayerDroppedUnderTheMainWindow) {
    const SnapCase c = GetParam();
    Options().snapping = c.snapping ? 1 : 0;
    RECT main = {}, dropped = {}, followed = {};
    RunProgram([&](CControlsDlg& dialog) {
        HWND player = Floating(dialog, kPlayer);
        DragTo(player, 300, 700);  // away from everything first
        main = ScreenRectOf(dialog.Handle());
        DragTo(player, main.left + 40, main.bottom + c.gapPixels);
        dropped = ScreenRectOf(player);
        DragTo(dialog.Handle(), main.left - 50, main.top + 20);
        followed = ScreenRectOf(player);
        Close(dialog);
    });
    EXPECT_EQ(dropped.left, main.left + 40);
    if (c.expectSnapped) {
        EXPECT_EQ(dropped.top, main.bottom);
        EXPECT_EQ(followed.left, dropped.left - 50);
        EXPECT_EQ(followed.top, dropped.top + 20);
    } else {
        EXPECT_EQ(dropped.top, main.bottom + c.gapPixels);
        EXPECT_EQ(followed.left, dropped.left);
        EXPECT_EQ(followed.top, dropped.top);
    }
}

// The distances and the hidden-window rules are the window set's own tests; these show that
// the real windows' moves reach it with the option.
INSTANTIATE_TEST_SUITE_P(Distances, ProgramGuiSnap,
                         ::testing::Values(SnapCase{true, 9, true}, SnapCase{false, 9, false}));

TEST_F(ProgramGui, MinimiseAndRestoreShowExactlyTheShownWindows) {
    bool whileMinimised[5] = {}, restored[5] = {};
    bool playerShownFlag = true;
    RunProgram([&](CControlsDlg& dialog) {
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_VIEW_MEDIA_PLAYER,
                       0);  // hide the media player
        ::SendMessageW(dialog.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        guitest::PumpMessages(50);
        for (int i = 0; i < 5; ++i) {
            whileMinimised[i] = ::IsWindowVisible(Floating(dialog, i)) != FALSE;
        }
        ::SendMessageW(dialog.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
        guitest::PumpMessages(50);
        for (int i = 0; i < 5; ++i) {
            restored[i] = ::IsWindowVisible(Floating(dialog, i)) != FALSE;
        }
        playerShownFlag = dialog.Windows().IsShown(kPlayer);
        Close(dialog);
    });
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(whileMinimised[i]) << i;
        EXPECT_EQ(restored[i], i != kPlayer) << i;
    }
    EXPECT_FALSE(playerShownFlag);
}

TEST_F(ProgramGui, LanguageSwitchChangesTheTexts) {
    // Groups, menu buttons, window captions (analysis, player, keyboard, staff, volume), time.
    std::vector<std::wstring> seen[2];
    RunProgram([&](CControlsDlg& dialog) {
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 1) {
                Options().language = guitest::kEnglish;
                dialog.ApplyLanguage();
            }
            for (int g = 0; g < 3; ++g) {
                seen[pass].push_back(TextOf(::GetDlgItem(dialog.Handle(), IDC_RECORD_GROUP + g)));
            }
            for (int g = 0; g < 3; ++g) {
                seen[pass].push_back(dialog.MenuButton(g)->Text());
            }
            for (int i = 0; i < 5; ++i) {
                seen[pass].push_back(TextOf(Floating(dialog, i)));
            }
            seen[pass].push_back(TextOf(::GetDlgItem(dialog.Handle(), IDC_TIME_TEXT)));
        }
        Close(dialog);
    });
    ASSERT_EQ(seen[0].size(), 12u);
    EXPECT_EQ(seen[0],
              (std::vector<std::wstring>{L"Kayıt", L"Çalma", L"Dosya", L"Dosya", L"Görüntü",
                                         L"Yardım", L"Analiz", seen[0][7], L"Klavye", L"Porte",
                                         seen[0][10], L"Kaydedilen Süre:    0:00"}));
    EXPECT_EQ(seen[1],
              (std::vector<std::wstring>{L"Record", L"Replay", L"File", L"File", L"View", L"Help",
                                         L"Analysis", L"Media Player", L"Keyboard", L"Staff",
                                         L"Volume", L"Recorded So Far:    0:00"}));
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

TEST_F(ProgramGui, DeckButtonsFollowTheModeThroughRecordAndReplay) {
    DeckState idle = {}, recording = {}, stopped = {}, replaying = {}, paused = {};
    std::wstring recordingText;
    int played = 0;
    card_->SetCaptureSource([](int16_t* samples, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            samples[i] = static_cast<int16_t>((i % 100) * 100);
        }
    });
    std::atomic<int64_t> playedSamples{0};
    card_->SetPlaybackSink([&](const int16_t*, size_t count) { playedSamples += count; });
    RunProgram([&](CControlsDlg& dialog) {
        auto click = [&](DeckButton b) {
            guitest::Click(dialog.DeckButtonControl(b)->Handle());
            guitest::PumpMessages(20);
        };
        idle = ReadDeck(dialog);
        click(DeckButton::Rec);
        recording = ReadDeck(dialog);
        // At least a second of take, so that the replay below outlasts the device's buffers
        // and its pressed Play can be seen; the card's clock is slow on a loaded machine.
        guitest::PumpMessages(1500);
        HWND time = ::GetDlgItem(dialog.Handle(), IDC_TIME_TEXT);
        guitest::PumpUntil(
            [&] {
                const std::wstring text = TextOf(time);
                return text.size() >= 4 && text.compare(text.size() - 4, 4, L"0:00") != 0;
            },
            guitest::kDeadlineMs);
        recordingText = TextOf(time);
        click(DeckButton::Rec);
        stopped = ReadDeck(dialog);
        CNewDeckButton* play = dialog.DeckButtonControl(DeckButton::Play);
        guitest::Click(play->Handle());
        guitest::PumpUntil([&] { return play->Latched(); }, guitest::kDeadlineMs);
        replaying = ReadDeck(dialog);
        // Until the replay reached the speaker, or the end of the take paused it.
        guitest::PumpUntil([&] { return playedSamples.load() > 0 || !play->Latched(); },
                           guitest::kDeadlineMs);
        // Paused by hand, unless the end of the take paused it already.
        if (play->Latched()) {
            click(DeckButton::Play);
        }
        guitest::PumpUntil([&] { return !play->Latched(); }, guitest::kDeadlineMs);
        paused = ReadDeck(dialog);
        played = static_cast<int>(playedSamples.load());
        Close(dialog, IDNO);
    });
    EXPECT_EQ(idle, (DeckState{true, false, false, true, false, false}));
    EXPECT_EQ(recording, (DeckState{true, false, false, false, true, false}));
    EXPECT_EQ(stopped, (DeckState{true, true, true, true, false, false}));
    EXPECT_EQ(replaying, (DeckState{false, true, true, false, false, true}));
    EXPECT_EQ(paused, stopped);
    EXPECT_EQ(recordingText.rfind(L"Kaydedilen Süre:", 0), 0u) << recordingText.c_str();
    // The replay reached the speaker.
    EXPECT_GT(played, 0);
    // No was answered: the recording stays in the working file.
    EXPECT_TRUE(FileExists(L"tmp.wav"));
}

// The worker's end of the replay arrives as a transport event (not as clicks on Play and Rew)
// and leaves the replay paused at its first frame.
TEST_F(ProgramGui, TheEndOfAReplayPausesItAtItsStart) {
    bool unlatchedByItself = false;
    TransportMode mode = TransportMode::Idle;
    int position = -1;
    bool endOfFile = true;
    RunProgram([&](CControlsDlg& dialog) {
        guitest::Click(dialog.DeckButtonControl(DeckButton::Rec)->Handle());
        guitest::PumpMessages(400);
        guitest::Click(dialog.DeckButtonControl(DeckButton::Rec)->Handle());
        guitest::PumpMessages(20);
        CNewDeckButton* play = dialog.DeckButtonControl(DeckButton::Play);
        guitest::Click(play->Handle());
        guitest::PumpMessages(20);
        for (int waited = 0; waited < 5000 && play->Latched(); waited += 20) {
            guitest::PumpMessages(20);
        }
        unlatchedByItself = !play->Latched();
        AudioTransport& transport = dialog.Deck()->Transport();
        mode = transport.Mode();
        position = transport.Reader() != nullptr ? transport.Reader()->PositionFrame() : -1;
        endOfFile = transport.EndOfFile();
        Close(dialog, IDNO);
    });
    EXPECT_TRUE(unlatchedByItself);
    EXPECT_EQ(mode, TransportMode::ReplayPaused);
    EXPECT_EQ(position, 0);
    EXPECT_FALSE(endOfFile);
}

TEST_F(ProgramGui, CancelOnTheSaveQuestionKeepsTheProgramRunning) {
    bool aliveAfterCancel = false;
    int questions = 0;
    const INT_PTR result = RunProgram([&](CControlsDlg& dialog) {
        guitest::Click(dialog.DeckButtonControl(DeckButton::Rec)->Handle());
        guitest::PumpMessages(300);
        guitest::Click(dialog.DeckButtonControl(DeckButton::Rec)->Handle());
        guitest::PumpMessages(50);
        Close(dialog, IDCANCEL);
        guitest::PumpMessages(1500);
        questions += g_answer->answered;
        aliveAfterCancel = dialog.Handle() != nullptr && ::IsWindowVisible(dialog.Handle());
        Close(dialog, IDNO);
        guitest::PumpMessages(100);
        questions += g_answer->answered;
    });
    EXPECT_EQ(questions, 2);
    EXPECT_TRUE(aliveAfterCancel);
    EXPECT_EQ(result, 1);
}

TEST_F(ProgramGui, ClosingWithNothingRecordedAsksNothingAndRemovesTheWorkingFile) {
    bool existedWhileRunning = false;
    const INT_PTR result = RunProgram([&](CControlsDlg& dialog) {
        existedWhileRunning = FileExists(L"tmp.wav");
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_EXIT, 0);  // File > Exit
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(existedWhileRunning);
    EXPECT_FALSE(FileExists(L"tmp.wav"));
}

// What the File popup showed while it was open. Which items are enabled or checked in which
// state is the command state's own test; this shows the real popup gets it.
struct PopupSeen {
    int itemCount = 0;
    std::wstring firstText;
    UINT exercisesState = static_cast<UINT>(-1);
    std::wstring exercisesText;
};
PopupSeen* g_popup = nullptr;

BOOL CALLBACK FindPopup(HWND hwnd, LPARAM found) {
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (::IsWindowVisible(hwnd) && lstrcmpW(className, L"#32768") == 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK PopupTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = nullptr;
    ::EnumWindows(&FindPopup, reinterpret_cast<LPARAM>(&popup));
    if (popup == nullptr || g_popup == nullptr) {
        return;
    }
    ::KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    g_popup->itemCount = ::GetMenuItemCount(menu);
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, 0, text, 128, MF_BYPOSITION);
    g_popup->firstText = text;
    g_popup->exercisesState = ::GetMenuState(menu, ID_EXERCISES, MF_BYCOMMAND);
    ::GetMenuStringW(menu, 33072, text, 128, MF_BYCOMMAND);
    g_popup->exercisesText = text;
    ::EndMenu();
}

TEST_F(ProgramGui, FileMenuCarriesTheExercisesEnabledInTheUsersLanguage) {
    PopupSeen seen;
    g_popup = &seen;
    RunProgram([&](CControlsDlg& dialog) {
        ::SetTimer(nullptr, 0, 50, &PopupTimer);
        ::SendMessageW(dialog.Handle(), WM_COMMAND, 1073, 0);  // the File menu button
        Close(dialog);
    });
    g_popup = nullptr;
    // New, Open, Save, the exercises, separator, Options, separator, Exit.
    EXPECT_EQ(seen.itemCount, 8);
    EXPECT_EQ(seen.firstText, L"&Yeni");
    ASSERT_NE(seen.exercisesState, static_cast<UINT>(-1)) << "no exercises item";
    EXPECT_EQ(seen.exercisesState & MF_GRAYED, 0u);  // enabled like New and Open
    EXPECT_EQ(seen.exercisesText, LoadText(129, guitest::kTurkish));
}

// The owner dialog stays hidden, so the task bar button and Alt+Tab show the main window's
// icon: the program's own, in both sizes.
TEST_F(ProgramGui, TheMainWindowCarriesTheProgramIcon) {
    LRESULT big = 0, small = 0;
    RunProgram([&](CControlsDlg& dialog) {
        big = ::SendMessageW(dialog.Handle(), WM_GETICON, ICON_BIG, 0);
        small = ::SendMessageW(dialog.Handle(), WM_GETICON, ICON_SMALL, 0);
        Close(dialog);
    });
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const LPARAM program = reinterpret_cast<LPARAM>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_MELVORA), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    EXPECT_NE(program, 0);
    EXPECT_EQ(big, program);
    EXPECT_NE(small, 0);
}

#ifdef MELVORA_HELP_FILE_BESIDE
BOOL CALLBACK CountHelpWindows(HWND hwnd, LPARAM count) {
    wchar_t className[32] = {};
    ::GetClassNameW(hwnd, className, 32);
    if (::IsWindowVisible(hwnd) && lstrcmpW(className, L"HH Parent") == 0) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

int VisibleHelpWindows() {
    int count = 0;
    ::EnumWindows(&CountHelpWindows, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Help windows belong to the HTML Help control, not to the window that opened them: closing
// the program closes them as well, even one that no window of the program owns.
TEST_F(ProgramGui, HelpWindowsCloseWithTheProgram) {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring helpFile = exe;
    helpFile = helpFile.substr(0, helpFile.find_last_of(L'\\') + 1) + L"Melvora.chm";
    ASSERT_TRUE(::CopyFileW(helpFile.c_str(), (folder_ + L"\\Melvora.chm").c_str(), FALSE));
    int whileRunning = 0;
    RunProgram([&](CControlsDlg& dialog) {
        OpenHelpTopic(nullptr, HelpTopic("ses.htm", guitest::kTurkish));
        guitest::PumpUntil([] { return VisibleHelpWindows() > 0; }, guitest::kDeadlineMs);
        whileRunning = VisibleHelpWindows();
        Close(dialog);
    });
    guitest::PumpUntil([] { return VisibleHelpWindows() == 0; }, 500);
    EXPECT_EQ(whileRunning, 1);
    EXPECT_EQ(VisibleHelpWindows(), 0);
    ::DeleteFileW((folder_ + L"\\Melvora.chm").c_str());
}
#endif

// The open dialog found by its file type list (cmb1), and the list's text.
struct FileDialogSeen {
    HWND owner = nullptr;
    std::wstring fileType;
    bool found = false;
};
FileDialogSeen* g_fileDialog = nullptr;

BOOL CALLBACK FindFileDialog(HWND hwnd, LPARAM found) {
    if (::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, 0x470) != nullptr) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK FileDialogTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindFileDialog, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr || g_fileDialog == nullptr) {
        return;
    }
    ::KillTimer(nullptr, timer);
    g_fileDialog->found = true;
    g_fileDialog->fileType = TextOf(::GetDlgItem(box, 0x470));
    ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(ProgramGui, TheFileDialogListsFileTypesInTheUsersLanguage) {
    FileDialogSeen seen;
    g_fileDialog = &seen;
    bool chosen = true;
    RunProgram([&](CControlsDlg& dialog) {
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &FileDialogTimer);
        std::string path;
        chosen = dialog.AskOpenPath(&path);
        ::KillTimer(nullptr, timer);
        Close(dialog);
    });
    g_fileDialog = nullptr;
    EXPECT_TRUE(seen.found);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(seen.fileType, L"Wave Dosyaları (*.wav)");
}

TEST_F(ProgramGui, TheMicrophoneIsAnalysedFromTheStart) {
    // Half a second of silence, then a steady 220 Hz tone.
    std::atomic<int64_t> position{0};
    card_->SetCaptureSource([&](int16_t* samples, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const int64_t n = position++;
            samples[i] =
                n < 22050
                    ? 0
                    : static_cast<int16_t>(8000.0 * std::sin(2.0 * 3.14159265358979 * 220.0 *
                                                             static_cast<double>(n) / 44100.0));
        }
    });
    ResultRecord newest;
    RunProgram([&](CControlsDlg& dialog) {
        guitest::PumpUntil(
            [&] {
                newest = dialog.Results().ReadNewest();
                return std::fabs(newest.pitchHz - 220.0f) < 5.0f;
            },
            guitest::kDeadlineMs);
        Close(dialog);
    });
    EXPECT_NEAR(newest.pitchHz, 220.0f, 5.0f);
    EXPECT_EQ(newest.note.octave, 3);
    EXPECT_EQ(newest.note.semitone, 9);
}

TEST_F(ProgramGui, TheStaffFollowsTheSungPitchAndPlayAlongSoundsIt) {
    Options().playAlong = 1;
    // Half a second of silence, then a steady A3 (220 Hz).
    std::atomic<int64_t> position{0};
    card_->SetCaptureSource([&](int16_t* samples, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const int64_t n = position++;
            samples[i] =
                n < 22050
                    ? 0
                    : static_cast<int16_t>(8000.0 * std::sin(2.0 * 3.14159265358979 * 220.0 *
                                                             static_cast<double>(n) / 44100.0));
        }
    });
    float staffPitch = 0.0f;
    RunProgram([&](CControlsDlg& dialog) {
        for (int waited = 0; waited < 8000; waited += 100) {
            guitest::PumpMessages(100);
            staffPitch = dialog.StaffWindow()->Staff().Pitch();
            const std::vector<uint32_t> sent = midiJournal_.Messages();
            if (std::fabs(staffPitch - 220.0f) < 5.0f &&
                std::find(sent.begin(), sent.end(), midi::NoteOn(57, 88)) != sent.end()) {
                break;
            }
        }
        Close(dialog);
    });
    EXPECT_NEAR(staffPitch, 220.0f, 5.0f);
    const std::vector<uint32_t> sent = midiJournal_.Messages();
    EXPECT_NE(std::find(sent.begin(), sent.end(), midi::NoteOn(57, 88)), sent.end());
}

// Hands the key messages of `window` to its pre-translation, as the modal loop does, then
// dispatches what is left.
void PumpKeys(HWND window) {
    MSG message;
    while (::PeekMessageW(&message, window, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        CWnd* target = CWnd::FromHandle(message.hwnd);
        if (target == nullptr || !target->PreTranslateMessage(&message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    guitest::PumpMessages(30);
}

TEST_F(ProgramGui, KeysTypedInAnyFloatingWindowPlayThePiano) {
    std::vector<std::vector<uint32_t>> heard;
    RunProgram([&](CControlsDlg& dialog) {
        for (FloatingWindow window :
             {FloatingWindow::Keyboard, FloatingWindow::Staff, FloatingWindow::MediaPlayer,
              FloatingWindow::Volume, FloatingWindow::Analysis}) {
            HWND hwnd = dialog.FloatingFrame(window).Handle();
            midiJournal_.Clear();
            // Through the window's message pre-translation, as the program's loop hands
            // typed keys on.
            ::PostMessageW(hwnd, WM_KEYDOWN, 'W', 0x00110001);
            PumpKeys(hwnd);
            ::PostMessageW(hwnd, WM_KEYUP, 'W', 0xC0110001);
            PumpKeys(hwnd);
            heard.push_back(midiJournal_.Messages());
        }
        Close(dialog);
    });
    const std::vector<uint32_t> c4 = {midi::NoteOn(60, 88), midi::NoteOff(60)};
    ASSERT_EQ(heard.size(), 5u);
    for (const auto& messages : heard) {
        EXPECT_EQ(messages, c4);
    }
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

TEST_F(ProgramGui, KeysTypedWhileThePlayerOrTheVolumeWindowHasTheFocusPlayThePiano) {
    struct Case {
        FloatingWindow window;
        int control;  // the control that has the focus
        std::vector<WORD> keys;
        std::vector<uint32_t> expected;
    };
    const std::vector<Case> cases = {
        {FloatingWindow::MediaPlayer,
         IDC_PLAYER_POSITION,
         {'W'},
         {midi::NoteOn(60, 88), midi::NoteOff(60)}},
        // F5 moves the PC keys an octave up (all notes off first); "3" is a black key.
        {FloatingWindow::Volume,
         IDC_VOLUME_VAD_SLIDER,
         {VK_F5, '3'},
         {midi::AllNotesOff(), midi::NoteOn(73, 88), midi::NoteOff(73)}},
    };
    std::vector<std::vector<uint32_t>> heard(cases.size());
    std::vector<bool> focused(cases.size(), false);
    LoopSteps steps;
    RunProgram([&](CControlsDlg& dialog) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            HWND frame = dialog.FloatingFrame(c.window).Handle();
            HWND control = ::GetDlgItem(frame, c.control);
            steps.steps.push_back([&, i, frame, control] {
                ::SetForegroundWindow(frame);
                ::SetFocus(control);
                focused[i] = ::GetFocus() == control;
                midiJournal_.Clear();
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
                heard[i] = midiJournal_.Messages();
                return heard[i].size() >= cases[i].expected.size();
            });
        }
        steps.steps.push_back([&] {
            Close(dialog);
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

TEST_F(ProgramGui, OnceTheWindowsAreGoneNoResultReachesTheirViews) {
    Options().playAlong = 1;
    RunProgram([](CControlsDlg& dialog) { Close(dialog); },
               [&](CControlsDlg& dialog) {
                   // The close left the worker parked; a result handed on now, as an
                   // abandoned worker would, must find no view: no play-along note, no pitch
                   // on the staff, no repaint of a destroyed window.
                   ASSERT_TRUE(dialog.Deck()->Transport().IsPaused());
                   const float staffPitch = dialog.StaffWindow()->Staff().Pitch();
                   midiJournal_.Clear();
                   AnalysisResult sung;
                   sung.level = 0.5f;
                   sung.pitchHz = 440.0f;
                   for (int i = 0; i < 100; ++i) {
                       dialog.Results().Publish(sung);
                   }
                   guitest::PumpMessages(100);
                   EXPECT_EQ(midiJournal_.Messages(), std::vector<uint32_t>{});
                   EXPECT_EQ(dialog.StaffWindow()->Staff().Pitch(), staffPitch);
               });
}

}  // namespace
}  // namespace melvora

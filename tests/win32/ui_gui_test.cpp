// The skinned windows and controls under Wine: the floating window frame and its title bar,
// the modal loop's key handling, the message box and the about box, the deck buttons, the
// skinned slider and bitmap strips, the resource string table and the tool tip relay.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/paint_dc.h"
#include "platform/win32/tool_tip.h"
#include "platform/win32/trackbar.h"
#include "ui/win32/about_dlg.h"
#include "ui/win32/bitmap_strip.h"
#include "ui/win32/floating_dlg.h"
#include "ui/win32/my_message_dlg.h"
#include "ui/win32/my_title_bar.h"
#include "ui/win32/new_deck_button.h"
#include "ui/win32/skin_slider.h"
#include "ui/win32/skin_thumb.h"
#include "ui/win32/tool_tip_relay.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::HostWindow;
using guitest::kEnglish;
using guitest::kTurkish;

// A floating window on the about box's template with the full title row. It records the
// system commands its boxes send instead of acting on them, and takes the letter keys before
// they are dispatched, as the piano windows do. Run modally, its Close box ends it.
class TestFloatingDlg : public CFloatingDlg {
  public:
    explicit TestFloatingDlg(HWND modalOwner = nullptr)
        : CFloatingDlg(IDD_ABOUT, modalOwner), modal_(modalOwner != nullptr) {}
    std::vector<WPARAM> sysCommands, taken;
    std::vector<bool> activations;
    int moves = 0, keysInDialogProc = 0;

  protected:
    BOOL OnInitDialog() override {
        TakeOwnerIcon();
        ::SetWindowTextW(Handle(), L"Görüntü");
        CreateTitleRow(kCloseButton | kHelpButton | kMinimizeButton);
        return TRUE;
    }
    bool PreTranslateMessage(MSG* message) override {
        if (message->message == WM_KEYDOWN && message->wParam >= 'A' && message->wParam <= 'Z') {
            taken.push_back(message->wParam);
            return true;
        }
        return CFloatingDlg::PreTranslateMessage(message);
    }
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        keysInDialogProc += message == WM_KEYDOWN ? 1 : 0;
        if (message == WM_SYSCOMMAND && !modal_) {
            sysCommands.push_back(wParam & 0xFFF0);
            return TRUE;
        }
        return CFloatingDlg::DialogProc(message, wParam, lParam);
    }
    void OnActivated(bool active) override { activations.push_back(active); }
    void OnWindowPosChanging(WINDOWPOS*) override { ++moves; }
    void OnCloseBox() override {
        if (modal_) {
            EndDialog(IDCANCEL);
        } else {
            CFloatingDlg::OnCloseBox();
        }
    }

  private:
    bool modal_;
};

// Its title row along the top from the right, the owner's icon, the boxes' system commands,
// moves reported (snapping hangs on them), and the alternate boxes while inactive.
TEST(FloatingDlgGuiTest, TitleRowBoxesMovesAndTheInactiveLook) {
    HostWindow owner;
    ASSERT_TRUE(owner.Open(-1000, -1000, 50, 50, L"Owner", true));
    TestFloatingDlg dialog;
    ASSERT_TRUE(dialog.CreateModeless(owner.Handle()));
    ::SetWindowPos(dialog.Handle(), nullptr, 400, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.Show(SW_SHOW);
    ::SetActiveWindow(dialog.Handle());
    RECT client = dialog.ClientRect();
    RECT close = guitest::WindowRectInParent(dialog.CloseBox().Handle());
    RECT help = guitest::WindowRectInParent(dialog.HelpBox().Handle());
    RECT minimize = guitest::WindowRectInParent(dialog.MinimizeBox().Handle());
    RECT title = guitest::WindowRectInParent(dialog.TitleBar().Handle());
    EXPECT_EQ(close.right, client.right);
    EXPECT_EQ(close.left, client.right - 18);
    EXPECT_EQ(help.left, client.right - 36);
    EXPECT_EQ(minimize.left, client.right - 54);
    EXPECT_EQ(title.left, 0);
    EXPECT_EQ(title.right, client.right - 54);
    for (const RECT& r : {close, help, minimize, title}) {
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.bottom, 29);
    }
    HICON ownerIcon =
        reinterpret_cast<HICON>(::SendMessageW(owner.Handle(), WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(ownerIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(dialog.Handle(), WM_GETICON, ICON_BIG, 0)),
              ownerIcon);
    guitest::Click(dialog.CloseBox().Handle());
    guitest::Click(dialog.MinimizeBox().Handle());
    guitest::PumpUntil([&] { return dialog.sysCommands.size() >= 2; });
    ASSERT_EQ(dialog.sysCommands.size(), 2u);
    EXPECT_EQ(dialog.sysCommands[0], static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(dialog.sysCommands[1], static_cast<WPARAM>(SC_MINIMIZE));
    const int moves = dialog.moves;
    ::SetWindowPos(dialog.Handle(), nullptr, 420, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_GT(dialog.moves, moves);
    EXPECT_TRUE(guitest::PumpUntil([&] { return !dialog.CloseBox().Latched(); }));
    HostWindow other;
    ASSERT_TRUE(other.Open(700, 700, 60, 40, L"Other"));
    ::SetActiveWindow(other.Handle());
    EXPECT_TRUE(guitest::PumpUntil([&] {
        return dialog.CloseBox().Latched() && dialog.HelpBox().Latched() &&
               dialog.MinimizeBox().Latched();
    }));
    ::UpdateWindow(dialog.HelpBox().Handle());
    EXPECT_EQ(dialog.HelpBox().LastPaint().bitmapSlot, kSlotAltUp);
    ASSERT_FALSE(dialog.activations.empty());
    EXPECT_FALSE(dialog.activations.back());
    ::SetActiveWindow(dialog.Handle());
    EXPECT_TRUE(guitest::PumpUntil([&] { return !dialog.CloseBox().Latched(); }));
    EXPECT_TRUE(dialog.activations.back());
}

TEST(ModalLoopGuiTest, KeysToControlsReachTheDialogBeforeDispatch) {
    HostWindow owner;
    ASSERT_TRUE(owner.Open(50, 50, 200, 100, L"Owner"));
    TestFloatingDlg dialog(owner.Handle());
    bool ownerEnabledDuring = true;
    INT_PTR result = guitest::RunModal([&]() { return dialog.DoModal(); },
                                       [&](HWND hwnd) {
                                           ownerEnabledDuring = ::IsWindowEnabled(owner.Handle());
                                           // Posted to a child: the title bar.
                                           HWND title = ::GetDlgItem(hwnd, IDC_TITLE_BAR);
                                           ::PostMessageW(title, WM_KEYDOWN, 'K', 1);
                                           ::PostMessageW(hwnd, WM_KEYDOWN, 'Q', 1);
                                           // Queued behind the keys: the dialog's own loop
                                           // handles them first.
                                           ::PostMessageW(hwnd, WM_COMMAND, IDC_CLOSE_BOX, 0);
                                       });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(dialog.taken, (std::vector<WPARAM>{'K', 'Q'}));
    EXPECT_EQ(dialog.keysInDialogProc, 0);
}

// Mouse messages become the parent's caption messages (at screen coordinates) and keys go to
// the parent as they are; the active and inactive looks reach the screen; a long caption is
// drawn shortened (how, is the shortening rule's own test).
TEST(TitleBarGuiTest, CaptionMessagesToTheParentItsLooksAndAShortenedCaption) {
    HostWindow host;
    CMyTitleBar bar;
    ASSERT_TRUE(host.Open(80, 80, 420, 120, L"Melvora"));
    // Caption messages are only recorded: a real one would start a move loop.
    host.swallow = [](UINT message) {
        return message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK;
    };
    ASSERT_TRUE(bar.Create(host.Handle(), RECT{0, 0, 300, 29}, 1065));
    bar.SetFloatingWindowLook();
    auto Paint = [&] {
        bar.Invalidate(true);
        ::UpdateWindow(bar.Handle());
    };
    Paint();
    const UINT pairs[][2] = {{WM_LBUTTONDOWN, WM_NCLBUTTONDOWN},
                             {WM_LBUTTONUP, WM_NCLBUTTONUP},
                             {WM_LBUTTONDBLCLK, WM_NCLBUTTONDBLCLK},
                             {WM_RBUTTONDOWN, WM_NCRBUTTONDOWN},
                             {WM_RBUTTONUP, WM_NCRBUTTONUP},
                             {WM_RBUTTONDBLCLK, WM_NCRBUTTONDBLCLK},
                             {WM_MOUSEMOVE, WM_NCMOUSEMOVE},
                             {WM_KEYDOWN, WM_KEYDOWN},
                             {WM_KEYUP, WM_KEYUP}};
    POINT screen = {12, 7};
    ::ClientToScreen(bar.Handle(), &screen);
    for (const auto& pair : pairs) {
        const bool key = pair[0] == pair[1];
        host.received.clear();
        ::SendMessageW(bar.Handle(), pair[0], key ? 'A' : 0, MAKELPARAM(12, 7));
        std::vector<HostWindow::Received> got = host.Of(pair[1]);
        ASSERT_EQ(got.size(), 1u) << pair[0];
        EXPECT_EQ(got[0].wParam, key ? static_cast<WPARAM>('A') : static_cast<WPARAM>(HTCAPTION));
        if (!key) {
            EXPECT_EQ(static_cast<short>(LOWORD(got[0].lParam)), screen.x);
            EXPECT_EQ(static_cast<short>(HIWORD(got[0].lParam)), screen.y);
        }
    }
    ::SetActiveWindow(host.Handle());
    Paint();
    EXPECT_TRUE(bar.LastPaintActive());
    // Once the drawing reached the screen it is not the host's background.
    guitest::Frame active;
    EXPECT_TRUE(guitest::PumpUntil([&] {
        active = guitest::Grab(bar.Handle());
        return !active.Near(150, 14, 204, 224, 247, 0);
    }));
    HostWindow other;
    ASSERT_TRUE(other.Open(600, 600, 100, 50, L"Other"));
    ::SetActiveWindow(other.Handle());
    Paint();
    EXPECT_FALSE(bar.LastPaintActive());
    EXPECT_TRUE(guitest::PumpUntil([&] { return guitest::Grab(bar.Handle()).rgb != active.rgb; }));
    const std::wstring caption = L"Ortam Yürütücü ve Görüntü Penceresi";
    ::SetWindowTextW(host.Handle(), caption.c_str());
    bar.Resize(90, 29);
    Paint();
    const std::wstring drawn = bar.LastDrawnCaption();
    ASSERT_GT(drawn.size(), 4u);
    EXPECT_EQ(drawn.substr(drawn.size() - 3), L"...");
    EXPECT_EQ(bar.ShortenToWidth(caption, 90 - 10), drawn);
}

// What the script saw of the open box.
struct Seen {
    std::vector<std::wstring> texts, laidOut;  // shown, and the layout's in the language
    std::vector<INT_PTR> results;              // of the buttons, as laid out
    int type = -1;                             // the button set laid out
    INT_PTR closeResult = 0;
    bool buttonsVisible = true;
    bool placedAsLaidOut = true;  // title bar, Close box and buttons where its layout says
    int inkPixels = 0;            // dark pixels in the text area on the screen
    RECT client = {};
    RECT window = {};
    std::wstring caption;
    HICON icon = nullptr;
};

// Opens the box, records it, then clicks button `press` (the Close box for -1, Escape for -2).
INT_PTR OpenAndPress(const std::wstring& text, unsigned int type, int language, int press,
                     Seen* seen, HWND parent = nullptr) {
    return guitest::RunModal(
        [&]() { return ShowMessageBox(text, L"Melvora", type, parent, language); },
        [&](HWND dialog) {
            auto* box = dynamic_cast<CMyMessageDlg*>(CWnd::FromHandle(dialog));
            ASSERT_NE(box, nullptr);
            auto placed = [&](int id, const LayoutRect& r) {
                const RECT got = guitest::WindowRectInParent(::GetDlgItem(dialog, id));
                return got.left == r.left && got.top == r.top && got.right - got.left == r.width &&
                       got.bottom - got.top == r.height;
            };
            const MessageBoxLayout& layout = box->Layout();
            seen->type = layout.type;
            seen->closeResult = layout.closeResult;
            seen->placedAsLaidOut =
                placed(IDC_TITLE_BAR, layout.titleBar) && placed(IDC_CLOSE_BOX, layout.closeBox);
            for (int i = 0; i < 3; ++i) {
                HWND b = ::GetDlgItem(dialog, IDC_MESSAGE_BUTTON_1 + i);
                if (b != nullptr) {
                    seen->texts.push_back(box->Button(i).Text());
                    seen->results.push_back(layout.buttons[i].result);
                    seen->laidOut.push_back(LoadText(layout.buttons[i].stringId, language));
                    seen->buttonsVisible = seen->buttonsVisible && ::IsWindowVisible(b);
                    seen->placedAsLaidOut = seen->placedAsLaidOut &&
                                            placed(IDC_MESSAGE_BUTTON_1 + i, layout.buttonRects[i]);
                }
            }
            seen->client = guitest::ClientRectOf(dialog);
            seen->window = guitest::ScreenRectOf(dialog);
            seen->caption = guitest::TextOf(dialog);
            seen->icon = reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
            // The text, black on the background, once the drawing reached the screen.
            guitest::PumpUntil(
                [&] {
                    seen->inkPixels = guitest::Grab(dialog).CountNear(
                        7, 36, seen->client.right - 7, seen->client.bottom - 37, 0, 0, 0, 80);
                    return seen->inkPixels > 20;
                },
                5000);
            if (press == -2) {
                ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            } else {
                guitest::Click(
                    ::GetDlgItem(dialog, press < 0 ? IDC_CLOSE_BOX : IDC_MESSAGE_BUTTON_1 + press));
            }
        });
}

// Each button, the Close box and Escape of every type: the texts, the layout, the text on the
// screen and the answer. Types above five show OK only; the upper flags (icon, default
// button) choose nothing.
TEST(MessageBoxGuiTest, ButtonsTextsLayoutAndResultsOfEveryType) {
    for (const unsigned int type : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 0x4u | 0x20u | 0x100u}) {
        for (const int language : {kEnglish, kTurkish}) {
            // The first run (Escape) finds how many buttons there are to press.
            for (int press = -2, buttons = 0; press < buttons; ++press) {
                SCOPED_TRACE(::testing::Message()
                             << "type " << type << " language " << language << " press " << press);
                Seen seen;
                const INT_PTR result = OpenAndPress(L"Do you wish to save your recordings?", type,
                                                    language, press, &seen);
                buttons = static_cast<int>(seen.results.size());
                // Which buttons and texts a type has is the layout's own test; here: the box lays
                // out its type and shows them, in the language asked for, and answers as laid out.
                EXPECT_EQ(seen.type, MessageBoxButtonSet(type));
                EXPECT_EQ(seen.texts, seen.laidOut);
                EXPECT_TRUE(seen.buttonsVisible);
                EXPECT_TRUE(seen.placedAsLaidOut);
                EXPECT_GT(seen.inkPixels, 20) << "no text on the screen";
                EXPECT_EQ(seen.caption, L"Melvora");
                EXPECT_EQ(result, press < 0 ? seen.closeResult : seen.results[press]);
            }
        }
    }
}

// A long single line wraps (every line of it drawn) and the box grows in height; a box is
// centred over its owner and takes its icon.
TEST(MessageBoxGuiTest, WrapsALongLineAndCentresOverItsOwnerWithItsIcon) {
    HostWindow owner;
    ASSERT_TRUE(owner.Open(100, 100, 600, 400, L"Owner", true));
    Seen shortSeen, longSeen;
    EXPECT_EQ(OpenAndPress(L"Short", 0, kEnglish, 0, &shortSeen, owner.Handle()), IDOK);
    OpenAndPress(
        L"This is a rather long single line of text that cannot fit in two "
        L"hundred and fifty pixels, so the box must wrap it onto several lines.",
        0, kEnglish, 0, &longSeen);
    // Width is capped by the wrap width (250) plus the margins (14).
    EXPECT_LE(longSeen.client.right, 250 + 14);
    EXPECT_GT(longSeen.client.right, shortSeen.client.right);
    EXPECT_GE(longSeen.client.bottom, shortSeen.client.bottom + 2 * 12);
    EXPECT_GT(longSeen.inkPixels, 5 * shortSeen.inkPixels);
    EXPECT_NE(shortSeen.icon, nullptr);
    const RECT o = guitest::ScreenRectOf(owner.Handle());
    EXPECT_NEAR((shortSeen.window.left + shortSeen.window.right) / 2, (o.left + o.right) / 2, 2);
    EXPECT_NEAR((shortSeen.window.top + shortSeen.window.bottom) / 2, (o.top + o.bottom) / 2, 2);
}

// Its texts in both languages, its picture, the skinned title bar in place of the system
// caption, and its answers: OK, and the Close box like Cancel.
TEST(AboutDlgGuiTest, TextsOfBothLanguagesAndItsAnswers) {
    struct Case {
        int language, pressId;
        INT_PTR result;
        const wchar_t *caption, *ok;
    };
    for (const Case& c : {Case{kEnglish, IDC_ABOUT_OK, IDOK, L"About Melvora", L"OK"},
                          Case{kTurkish, IDC_CLOSE_BOX, IDCANCEL, L"Melvora Hakkında", L"Tamam"}}) {
        SCOPED_TRACE(c.language);
        const INT_PTR result = guitest::RunModal(
            [&]() { return CAboutDlg(nullptr, c.language).DoModal(); },
            [&](HWND dialog) {
                auto* about = dynamic_cast<CAboutDlg*>(CWnd::FromHandle(dialog));
                ASSERT_NE(about, nullptr);
                EXPECT_EQ(guitest::TextOf(dialog), c.caption);
                const std::wstring text = guitest::TextOf(::GetDlgItem(dialog, IDC_ABOUT_TEXT));
                EXPECT_EQ(text, LoadText(IDS_ABOUT_TEXT, c.language));
                EXPECT_EQ(about->OkButton().Text(), c.ok);
                EXPECT_TRUE(about->Picture().IsLoaded());
                EXPECT_NE(::GetDlgItem(dialog, IDC_TITLE_BAR), nullptr);
                EXPECT_EQ(::GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION, 0);
                guitest::Click(::GetDlgItem(dialog, c.pressId));
            });
        EXPECT_EQ(result, c.result);
    }
}

constexpr UINT kButtonId = IDC_REC;

// A host window with one skinned button at (20, 20).
class DeckButtonGuiTest : public ::testing::Test {
  protected:
    void Open(const char* skin, bool sizeToBitmap = true) {
        ASSERT_TRUE(host.Open(60, 60, 320, 160, L"Deck"));
        RECT r = {20, 20, 95, 43};
        ASSERT_TRUE(button.Create(host.Handle(), r, kButtonId, skin, sizeToBitmap));
        host.received.clear();
    }
    int Commands() const {
        const std::vector<HostWindow::Received> commands = host.Of(WM_COMMAND);
        return static_cast<int>(std::count_if(commands.begin(), commands.end(), [&](auto& m) {
            return LOWORD(m.wParam) == kButtonId &&
                   reinterpret_cast<HWND>(m.lParam) == button.Handle();
        }));
    }
    // What the screen shows of a button, once its drawing got there (not only the host's
    // background).
    static std::vector<uint8_t> OnScreen(CNewDeckButton& b) {
        ::UpdateWindow(b.Handle());
        guitest::Frame f;
        guitest::PumpUntil([&] {
            f = guitest::Grab(b.Handle());
            return f.CountNear(0, 0, f.width, f.height, 204, 224, 247, 0) < f.width * f.height;
        });
        return f.rgb;
    }

    HostWindow host;
    CNewDeckButton button;
};

// A press inside, then moves (outside = over the host), then the release at the last point.
struct PressCase {
    std::vector<POINT> movesWhilePressed;
    DeckButtonState stateBeforeRelease;
    int commands;
};

TEST_F(DeckButtonGuiTest, HoverImageAndOneCommandOnlyWhenReleasedInside) {
    const PressCase cases[] = {{{}, DeckButtonState::kPressed, 1},
                               {{{150, 60}}, DeckButtonState::kPressedOutside, 0},
                               {{{150, 60}, {6, 6}}, DeckButtonState::kPressed, 1}};
    Open("RECORD");
    // The hover image reaches the screen (which image each look takes is the paint rule's).
    const std::vector<uint8_t> up = OnScreen(button);
    guitest::MouseMove(button.Handle(), 5, 5);
    ::UpdateWindow(button.Handle());
    EXPECT_EQ(button.LastPaint().bitmapSlot, kSlotHover);
    EXPECT_TRUE(guitest::PumpUntil([&]() { return OnScreen(button) != up; }, guitest::kDeadlineMs));
    for (const PressCase& c : cases) {
        SCOPED_TRACE(c.movesWhilePressed.size());
        host.received.clear();
        guitest::MouseMove(button.Handle(), 5, 5);
        EXPECT_EQ(button.State(), DeckButtonState::kHover);
        EXPECT_EQ(::GetCapture(), button.Handle());
        guitest::MouseDown(button.Handle(), 5, 5);
        POINT last = {5, 5};
        for (POINT p : c.movesWhilePressed) {
            guitest::MouseMove(button.Handle(), p.x, p.y);
            last = p;
        }
        EXPECT_EQ(button.State(), c.stateBeforeRelease);
        EXPECT_EQ(::GetCapture(), button.Handle());
        guitest::MouseUp(button.Handle(), last.x, last.y);
        guitest::PumpMessages(0);  // what the release posted
        EXPECT_EQ(Commands(), c.commands);
        EXPECT_EQ(button.State(), DeckButtonState::kNormal);
        EXPECT_NE(::GetCapture(), button.Handle());
        guitest::MouseMove(button.Handle(), -30, -10);  // away, for the next case
    }
    // Leaving while hovered releases the mouse.
    guitest::MouseMove(button.Handle(), 5, 5);
    guitest::MouseMove(button.Handle(), -30, -10);
    EXPECT_EQ(button.State(), DeckButtonState::kNormal);
    EXPECT_NE(::GetCapture(), button.Handle());
}

// A text button: the placeholder's size kept without sizeToBitmap, and its text reaching the
// screen.
TEST_F(DeckButtonGuiTest, TextReachesTheScreen) {
    Open("EMPTY_BUTTON", false);
    EXPECT_EQ(button.ClientRect().right, 75);
    EXPECT_EQ(button.ClientRect().bottom, 23);
    EXPECT_EQ(guitest::TextOf(button.Handle()), L"OpenGL");
    const std::vector<uint8_t> plain = OnScreen(button);
    button.SetText(L"İptal");
    button.Invalidate(true);
    EXPECT_TRUE(
        guitest::PumpUntil([&]() { return OnScreen(button) != plain; }, guitest::kDeadlineMs));
    EXPECT_EQ(button.Text(), L"İptal");
}

// Every family loads exactly its variants from the resources and takes the size of its up
// bitmap. (Which variant each look paints is the paint rule's own test.)
TEST_F(DeckButtonGuiTest, EveryFamilyLoadsItsVariantsAndTakesTheSizeOfItsUpBitmap) {
    const std::vector<int> box = {kSlotUp,    kSlotHover,    kSlotDown,
                                  kSlotAltUp, kSlotAltHover, kSlotAltDown};
    const std::vector<int> deck = {kSlotUp,    kSlotHover,    kSlotDown,   kSlotDisabled,
                                   kSlotAltUp, kSlotAltHover, kSlotAltDown};
    const std::pair<const char*, std::vector<int>> families[] = {
        {"CLOSE", box},
        {"HELP", box},
        {"MINIMIZE", box},
        {"MAXIMIZE", box},
        {"PLAY", deck},
        {"PAUSE", deck},
        {"STOP", deck},
        {"RECORD", deck},
        {"REWIND", deck},
        {"EJECT", deck},
        {"MENU", {kSlotUp, kSlotHover, kSlotDown, kSlotAltUp}},
        {"EMPTY_BUTTON", {kSlotUp, kSlotDown, kSlotDisabled}},
        {"SMALL_BUTTON", {kSlotUp, kSlotDown, kSlotDisabled}}};
    ASSERT_TRUE(host.Open(40, 500, 200, 80, L"Family"));
    for (const auto& [skin, slots] : families) {
        SCOPED_TRACE(skin);
        CNewDeckButton family;
        ASSERT_TRUE(family.Create(host.Handle(), RECT{20, 20, 30, 30}, 1001, skin, true));
        for (int slot = 0; slot < kDeckSlotCount; ++slot) {
            EXPECT_EQ(family.HasBitmap(slot),
                      std::find(slots.begin(), slots.end(), slot) != slots.end())
                << DeckSlotSuffix(slot);
        }
        HBITMAP up = ::LoadBitmapA(::GetModuleHandleW(nullptr), (std::string(skin) + "U").c_str());
        ASSERT_NE(up, nullptr);
        EXPECT_EQ(family.ClientRect().right, BitmapSize(up).cx);
        EXPECT_EQ(family.ClientRect().bottom, BitmapSize(up).cy);
        ::DeleteObject(up);
    }
}

// The wheel never moves it (an unskinned trackbar would, or hand it to its parent); the
// channel's size, the thumb window following the position, its frames following the mouse,
// and a click on it reaching the trackbar.
TEST(SkinSliderGuiTest, WheelChannelSizeThumbWindowAndItsFrames) {
    HostWindow host;
    CSkinSlider slider;
    ASSERT_TRUE(host.Open(100, 300, 420, 120, L"Slider"));
    HWND skinned = ::CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ, 10,
                                     20, 300, 30, host.Handle(), reinterpret_cast<HMENU>(1017),
                                     ::GetModuleHandleW(nullptr), nullptr);
    CTrackbar(skinned).SetRange(0, 1000, false);
    CTrackbar(skinned).SetPos(500);
    ASSERT_TRUE(slider.Attach(host.Handle(), 1017));
    ASSERT_TRUE(slider.SetChannel(348, 349));
    host.received.clear();
    for (short notches : {-3, 1}) {
        EXPECT_EQ(::SendMessageW(skinned, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * notches),
                                 MAKELPARAM(150, 35)),
                  TRUE);
        EXPECT_EQ(CTrackbar(skinned).Pos(), 500);
    }
    EXPECT_TRUE(host.Of(WM_MOUSEWHEEL).empty());
    // The control takes the size of the "before" image.
    HBITMAP before = ::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(349));
    const SIZE size = BitmapSize(before);
    ::DeleteObject(before);
    EXPECT_EQ(slider.ClientRect().right, size.cx);
    EXPECT_EQ(slider.ClientRect().bottom, size.cy);
    ASSERT_TRUE(slider.SetThumb(351, 12, 22));
    EXPECT_FALSE(slider.SetThumb(351, 12, 22));  // only once
    ASSERT_NE(slider.Thumb(), nullptr);
    RECT t = slider.Thumb()->ClientRect();
    EXPECT_EQ(t.right, 12);
    EXPECT_EQ(t.bottom, 22);
    EXPECT_EQ(::SendMessageW(skinned, TBM_GETTHUMBLENGTH, 0, 0), 14);  // trunc(1.2 x 12)
    EXPECT_NE(::GetWindowLongW(skinned, GWL_STYLE) & TBS_FIXEDLENGTH, 0);

    int centres[2] = {};
    int positions[2] = {100, 900};
    for (int i = 0; i < 2; ++i) {
        CTrackbar(skinned).SetPos(positions[i]);
        slider.Invalidate(true);
        ::UpdateWindow(skinned);
        RECT native = CTrackbar(skinned).ThumbRect();
        RECT placed = slider.SkinThumbRect();
        centres[i] = (placed.left + placed.right) / 2;
        EXPECT_NEAR(centres[i], (native.left + native.right) / 2, 1) << positions[i];
        EXPECT_EQ(placed.top, 0);
    }
    EXPECT_GT(centres[1], centres[0] + 100);
    CSkinThumb* skinThumb = slider.Thumb();
    ASSERT_EQ(skinThumb->Strip().FrameCount(), 3);
    EXPECT_EQ(skinThumb->Frame(), 0);
    ::SendMessageW(skinThumb->Handle(), WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(skinThumb->Frame(), 1);
    ::SendMessageW(skinThumb->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(skinThumb->Frame(), 0);
    CTrackbar(skinned).SetPos(500);
    slider.Invalidate(true);
    ::UpdateWindow(skinned);
    // A click on the channel far right of the thumb pages the trackbar; the same click
    // arriving through the thumb window (forwarded) must be handled by the trackbar too.
    HWND thumb = slider.Thumb()->Handle();
    ::SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 11));
    ::SendMessageW(thumb, WM_LBUTTONUP, 0, MAKELPARAM(6, 11));
    guitest::PumpUntil([&] { return slider.Thumb()->Frame() == 1; }, 2000);
    EXPECT_EQ(slider.Thumb()->Frame(), 1);     // released over the thumb: hover frame
    EXPECT_EQ(CTrackbar(skinned).Pos(), 500);  // clicking the thumb itself does not page
}

TEST(BitmapStripGuiTest, FramesAlongTheLongerSideAndDrawingAFrame) {
    CBitmapStrip horizontal;
    ASSERT_TRUE(
        horizontal.Load(IDB_THUMB_HORIZONTAL, 12, 22));  // 36 x 22: three frames side by side
    EXPECT_FALSE(horizontal.Vertical());
    EXPECT_EQ(horizontal.FrameCount(), 3);
    CBitmapStrip whole;
    ASSERT_TRUE(whole.Load(IDB_ABOUT_PICTURE));
    EXPECT_EQ(whole.FrameCount(), 1);
    EXPECT_EQ(whole.FrameWidth(), whole.Width());
    CBitmapStrip missing;
    EXPECT_FALSE(missing.Load(9999));
    EXPECT_EQ(missing.FrameCount(), 0);
    // Drawing draws the asked frame only.
    CBitmapStrip& strip = horizontal;
    HDC screen = ::GetDC(nullptr);
    HDC target = ::CreateCompatibleDC(screen);
    HBITMAP canvas = ::CreateCompatibleBitmap(screen, 12, 22);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(target, canvas);
    const RECT all = {0, 0, 12, 22};
    for (int frame = 0; frame < 4; ++frame) {  // the fourth is beyond the strip: draws nothing
        ::FillRect(target, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        strip.DrawFrame(target, frame, 0, 0);
        int same = 0;
        for (int i = 0; i < 12 * 22; ++i) {
            const COLORREF expected =
                frame < 3 ? ::GetPixel(strip.Dc(), frame * 12 + i % 12, i / 12) : RGB(0, 0, 0);
            same += ::GetPixel(target, i % 12, i / 12) == expected ? 1 : 0;
        }
        EXPECT_EQ(same, 12 * 22) << frame;
    }
    ::SelectObject(target, old);
    ::DeleteObject(canvas);
    ::DeleteDC(target);
}

// The resource string table as the program reads it (provider installed in main); which entry
// a language takes is the string table's own test.
TEST(ResourceStringTableTest, TurkishLettersMissingEntriesAndLongTexts) {
    EXPECT_EQ(LoadText(313, kTurkish), L"Çıkış");
    EXPECT_EQ(LoadText(999, kEnglish), L"");
    EXPECT_EQ(LoadText(70000, kEnglish), L"");  // beyond the resource numbers
    // Long texts are not cut below 256 characters.
    std::wstring about = LoadText(258, kTurkish);
    EXPECT_GT(about.size(), 100u);
    EXPECT_LE(about.size(), 256u);
    EXPECT_NE(about.find(L"Şarkı"), std::wstring::npos);
}

// Records the messages relayed to a tool tip.
class RelayRecorder : public CWnd {
  public:
    std::vector<MSG> relayed;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TTM_RELAYEVENT && lParam != 0) {
            relayed.push_back(*reinterpret_cast<const MSG*>(lParam));
        }
        return Default(message, wParam, lParam);
    }
};

TEST(ToolTipRelayGuiTest, DisabledControlGetsTheMouseMove) {
    HostWindow dialog;
    ASSERT_TRUE(dialog.Open(300, 300, 300, 100, L"Relay"));
    CNewDeckButton rec;
    RECT r = {40, 20, 80, 50};
    ASSERT_TRUE(rec.Create(dialog.Handle(), r, 1006, "RECORD", false));
    rec.Enable(false);
    CToolTip tip;
    ASSERT_TRUE(tip.Create(dialog.Handle()));
    ASSERT_TRUE(tip.AddTool(rec.Handle(), L"Kaydet / Kaydı Durdur"));
    RelayRecorder recorder;
    ASSERT_TRUE(recorder.Subclass(tip.Handle()));

    MSG msg = {};
    msg.hwnd = dialog.Handle();
    msg.message = WM_MOUSEMOVE;
    msg.lParam = MAKELPARAM(50, 30);
    RelayToolTipMessage(&msg, dialog.Handle(), {rec.Handle()}, tip);
    ASSERT_EQ(recorder.relayed.size(), 1u);
    EXPECT_EQ(recorder.relayed[0].hwnd, rec.Handle());
    EXPECT_EQ(LOWORD(recorder.relayed[0].lParam), 10);
    EXPECT_EQ(HIWORD(recorder.relayed[0].lParam), 10);
    // The message itself is dispatched as it came.
    EXPECT_EQ(msg.hwnd, dialog.Handle());
    EXPECT_EQ(msg.lParam, MAKELPARAM(50, 30));

    msg.lParam = MAKELPARAM(200, 30);  // over no control
    RelayToolTipMessage(&msg, dialog.Handle(), {rec.Handle()}, tip);
    ASSERT_EQ(recorder.relayed.size(), 2u);
    EXPECT_EQ(recorder.relayed[1].hwnd, dialog.Handle());
    recorder.Detach();
}

}  // namespace
}  // namespace melvora

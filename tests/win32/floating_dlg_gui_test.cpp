// The floating window frame under Wine: its title row and boxes, activation, the modal loop's
// key handling, and the skinned title bar.
#include "ui/win32/floating_dlg.h"
#include "ui/win32/my_title_bar.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

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

class FloatingDlgGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(owner.Open(-1000, -1000, 50, 50, L"Owner", true));
        ASSERT_TRUE(dialog.CreateModeless(owner.Handle()));
        ::SetWindowPos(dialog.Handle(), nullptr, 400, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dialog.Show(SW_SHOW);
        ::SetActiveWindow(dialog.Handle());
    }
    guitest::HostWindow owner;
    TestFloatingDlg dialog;
};

TEST_F(FloatingDlgGuiTest, TitleRowBoxesMovesAndTheInactiveLook) {
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
    // The boxes send their system commands; moves are reported (snapping hangs on them).
    guitest::Click(dialog.CloseBox().Handle());
    guitest::Click(dialog.MinimizeBox().Handle());
    guitest::PumpUntil([&] { return dialog.sysCommands.size() >= 2; });
    ASSERT_EQ(dialog.sysCommands.size(), 2u);
    EXPECT_EQ(dialog.sysCommands[0], static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(dialog.sysCommands[1], static_cast<WPARAM>(SC_MINIMIZE));
    const int moves = dialog.moves;
    ::SetWindowPos(dialog.Handle(), nullptr, 420, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_GT(dialog.moves, moves);
    // An inactive window shows the alternate boxes.
    EXPECT_TRUE(guitest::PumpUntil([&] { return !dialog.CloseBox().Latched(); }));
    guitest::HostWindow other;
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
    guitest::HostWindow owner;
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

using guitest::HostWindow;

class TitleBarGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(80, 80, 420, 120, L"Melvora"));
        // Caption messages are only recorded: a real one would start a move loop.
        host.swallow = [](UINT message) {
            return message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK;
        };
        ASSERT_TRUE(bar.Create(host.Handle(), RECT{0, 0, 300, 29}, 1065));
        bar.SetFloatingWindowLook();
        Paint();
        host.received.clear();
    }
    void Paint() {
        bar.Invalidate(true);
        ::UpdateWindow(bar.Handle());
    }

    HostWindow host;
    CMyTitleBar bar;
};

// The active and inactive looks reach the screen; a long caption is drawn shortened (how, is
// the shortening rule's own test).
TEST_F(TitleBarGuiTest, ActiveAndInactiveLooksAndAShortenedCaption) {
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

// Mouse messages become the parent's caption messages (at screen coordinates); keys go to
// the parent as they are.
TEST_F(TitleBarGuiTest, MouseBecomesCaptionMessagesOfTheParentAndKeysGoToIt) {
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
}

}  // namespace
}  // namespace melvora

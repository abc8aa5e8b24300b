#include "ui/win32/floating_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// A modeless floating window on the about box's template with the full title row; it
// records the system commands its boxes send instead of acting on them.
class TestFloatingDlg : public CFloatingDlg {
  public:
    TestFloatingDlg() : CFloatingDlg(IDD_ABOUT) {}
    std::vector<WPARAM> sysCommands;
    std::vector<bool> activations;
    int moves = 0;

  protected:
    BOOL OnInitDialog() override {
        TakeOwnerIcon();
        ::SetWindowTextW(Handle(), L"Görüntü");
        CreateTitleRow(kCloseButton | kHelpButton | kMinimizeButton);
        return TRUE;
    }
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SYSCOMMAND) {
            sysCommands.push_back(wParam & 0xFFF0);
            return TRUE;
        }
        return CFloatingDlg::DialogProc(message, wParam, lParam);
    }
    void OnActivated(bool active) override { activations.push_back(active); }
    void OnWindowPosChanging(WINDOWPOS*) override { ++moves; }
};

class FloatingDlgGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(owner.Open(-1000, -1000, 50, 50, L"Owner", true));
        ASSERT_TRUE(dialog.CreateModeless(owner.Handle()));
        ::SetWindowPos(dialog.Handle(), nullptr, 400, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dialog.Show(SW_SHOW);
        ::SetActiveWindow(dialog.Handle());
        guitest::PumpMessages(50);
    }
    guitest::HostWindow owner;
    TestFloatingDlg dialog;
};

TEST_F(FloatingDlgGuiTest, TitleRowAlongTheTopFromTheRight) {
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
}

TEST_F(FloatingDlgGuiTest, BoxesSendTheirSystemCommands) {
    guitest::Click(dialog.CloseBox().Handle());
    guitest::Click(dialog.MinimizeBox().Handle());
    guitest::PumpMessages(50);
    ASSERT_EQ(dialog.sysCommands.size(), 2u);
    EXPECT_EQ(dialog.sysCommands[0], static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(dialog.sysCommands[1], static_cast<WPARAM>(SC_MINIMIZE));
    const int moves = dialog.moves;
    ::SetWindowPos(dialog.Handle(), nullptr, 420, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_GT(dialog.moves, moves);  // moves are reported (snapping hangs on them)
}

TEST_F(FloatingDlgGuiTest, InactiveWindowShowsTheAlternateBoxes) {
    EXPECT_FALSE(dialog.CloseBox().Latched());
    guitest::HostWindow other;
    ASSERT_TRUE(other.Open(700, 700, 60, 40, L"Other"));
    ::SetActiveWindow(other.Handle());
    guitest::PumpMessages(50);
    EXPECT_TRUE(dialog.CloseBox().Latched());
    EXPECT_TRUE(dialog.HelpBox().Latched());
    EXPECT_TRUE(dialog.MinimizeBox().Latched());
    ::UpdateWindow(dialog.HelpBox().Handle());
    EXPECT_EQ(dialog.HelpBox().LastPaint().bitmapSlot, kSlotAltUp);
    ASSERT_FALSE(dialog.activations.empty());
    EXPECT_FALSE(dialog.activations.back());
    ::SetActiveWindow(dialog.Handle());
    guitest::PumpMessages(50);
    EXPECT_FALSE(dialog.CloseBox().Latched());
    EXPECT_TRUE(dialog.activations.back());
}

// A modal dialog that takes the letter keys before they are dispatched, as the piano
// windows do.
class KeyTakingDlg : public CFloatingDlg {
  public:
    explicit KeyTakingDlg(HWND owner) : CFloatingDlg(IDD_ABOUT, owner) {}
    std::vector<WPARAM> taken;
    int reachedWindowProc = 0;

  protected:
    BOOL OnInitDialog() override {
        CreateTitleRow(kCloseButton);
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
        if (message == WM_KEYDOWN) {
            ++reachedWindowProc;
        }
        return CFloatingDlg::DialogProc(message, wParam, lParam);
    }
    void OnCloseBox() override { EndDialog(IDCANCEL); }
};

TEST(ModalLoopGuiTest, KeysToControlsReachTheDialogBeforeDispatch) {
    guitest::HostWindow owner;
    ASSERT_TRUE(owner.Open(50, 50, 200, 100, L"Owner"));
    KeyTakingDlg dialog(owner.Handle());
    bool ownerEnabledDuring = true;
    INT_PTR result = guitest::RunModal([&]() { return dialog.DoModal(); },
                                       [&](HWND hwnd) {
                                           ownerEnabledDuring = ::IsWindowEnabled(owner.Handle());
                                           // Posted to a child: the title bar.
                                           HWND title = guitest::Child(hwnd, IDC_TITLE_BAR);
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
    EXPECT_EQ(dialog.reachedWindowProc, 0);
}

}  // namespace
}  // namespace melvora

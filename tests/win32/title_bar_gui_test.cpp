#include "ui/win32/my_title_bar.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::HostWindow;

class TitleBarGuiTest : public ::testing::Test {
  protected:
    void Open(const wchar_t* caption, int barWidth, bool icon) {
        ASSERT_TRUE(host.Open(80, 80, 420, 120, caption, icon));
        // Caption messages are only recorded: a real one would start a move loop.
        host.swallow = [](UINT message) {
            return message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK;
        };
        RECT r = {0, 0, barWidth, 29};
        ASSERT_TRUE(bar.Create(host.Handle(), r, 1065));
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

TEST_F(TitleBarGuiTest, LongCaptionIsShortenedWithEllipsis) {
    const std::wstring caption = L"Ortam Yürütücü ve Görüntü Penceresi";
    Open(caption.c_str(), 90, false);
    const std::wstring drawn = bar.LastDrawnCaption();
    ASSERT_GT(drawn.size(), 4u);
    EXPECT_EQ(drawn.substr(drawn.size() - 3), L"...");
    std::wstring head = drawn.substr(0, drawn.size() - 3);
    EXPECT_EQ(caption.compare(0, head.size(), head), 0);
    EXPECT_LT(head.size(), caption.size());
    EXPECT_EQ(bar.ShortenToWidth(caption, 90 - 10), drawn);
    // One character is never shortened.
    EXPECT_EQ(bar.ShortenToWidth(L"Ç", 0), L"Ç");
}

TEST_F(TitleBarGuiTest, FittingCaptionIsDrawnWholeAfterTheIcon) {
    Open(L"Melvora", 300, true);
    EXPECT_EQ(bar.LastDrawnCaption(), L"Melvora");
    EXPECT_EQ(bar.LastTextX(), ::GetSystemMetrics(SM_CXSMICON) + 10);
}

TEST_F(TitleBarGuiTest, ActiveAndInactiveLooks) {
    Open(L"Melvora", 300, false);
    ::SetActiveWindow(host.Handle());
    Paint();
    EXPECT_TRUE(bar.LastPaintActive());
    // Once the drawing reached the screen it is not the host's background.
    COLORREF activePixel = 0;
    EXPECT_TRUE(guitest::PumpUntil([&] {
        activePixel = guitest::PixelOf(bar.Handle(), 150, 14);
        return activePixel != RGB(204, 224, 247);
    }));
    HostWindow other;
    ASSERT_TRUE(other.Open(600, 600, 100, 50, L"Other"));
    ::SetActiveWindow(other.Handle());
    Paint();
    EXPECT_FALSE(bar.LastPaintActive());
    EXPECT_TRUE(
        guitest::PumpUntil([&] { return guitest::PixelOf(bar.Handle(), 150, 14) != activePixel; }));
}

// Mouse messages become the parent's caption messages (at screen coordinates); keys go to
// the parent as they are.
TEST_F(TitleBarGuiTest, MouseBecomesCaptionMessagesOfTheParentAndKeysGoToIt) {
    Open(L"Melvora", 300, false);
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

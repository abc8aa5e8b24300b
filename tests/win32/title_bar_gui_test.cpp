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
}

TEST_F(TitleBarGuiTest, FittingCaptionIsDrawnWholeAfterTheIcon) {
    Open(L"Melvora", 300, true);
    EXPECT_EQ(bar.LastDrawnCaption(), L"Melvora");
    EXPECT_EQ(bar.LastTextX(), ::GetSystemMetrics(SM_CXSMICON) + 10);
    // One character is never shortened.
    EXPECT_EQ(bar.ShortenToWidth(L"Ç", 0), L"Ç");
}

TEST_F(TitleBarGuiTest, ActiveAndInactiveLooks) {
    Open(L"Melvora", 300, false);
    ::SetActiveWindow(host.Handle());
    Paint();
    guitest::PumpMessages(100);  // the window surface reaches the screen
    EXPECT_TRUE(bar.LastPaintActive());
    COLORREF activePixel = guitest::PixelOf(bar.Handle(), 150, 14);
    HostWindow other;
    ASSERT_TRUE(other.Open(600, 600, 100, 50, L"Other"));
    ::SetActiveWindow(other.Handle());
    guitest::PumpMessages(30);
    Paint();
    guitest::PumpMessages(100);
    EXPECT_FALSE(bar.LastPaintActive());
    EXPECT_TRUE(
        guitest::PumpUntil([&]() { return guitest::PixelOf(bar.Handle(), 150, 14) != activePixel; },
                           guitest::kDeadlineMs));
}

TEST_F(TitleBarGuiTest, MouseBecomesCaptionMessagesOfTheParent) {
    Open(L"Melvora", 300, false);
    const UINT pairs[][2] = {
        {WM_LBUTTONDOWN, WM_NCLBUTTONDOWN},     {WM_LBUTTONUP, WM_NCLBUTTONUP},
        {WM_LBUTTONDBLCLK, WM_NCLBUTTONDBLCLK}, {WM_RBUTTONDOWN, WM_NCRBUTTONDOWN},
        {WM_RBUTTONUP, WM_NCRBUTTONUP},         {WM_RBUTTONDBLCLK, WM_NCRBUTTONDBLCLK},
        {WM_MOUSEMOVE, WM_NCMOUSEMOVE}};
    POINT screen = {12, 7};
    ::ClientToScreen(bar.Handle(), &screen);
    for (const auto& pair : pairs) {
        host.received.clear();
        ::SendMessageW(bar.Handle(), pair[0], 0, MAKELPARAM(12, 7));
        std::vector<HostWindow::Received> got = host.Of(pair[1]);
        ASSERT_EQ(got.size(), 1u) << pair[0];
        EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(HTCAPTION));
        EXPECT_EQ(static_cast<short>(LOWORD(got[0].lParam)), screen.x);
        EXPECT_EQ(static_cast<short>(HIWORD(got[0].lParam)), screen.y);
    }
}

TEST_F(TitleBarGuiTest, KeysGoToTheParent) {
    Open(L"Melvora", 300, false);
    ::SendMessageW(bar.Handle(), WM_KEYDOWN, 'A', 1);
    ::SendMessageW(bar.Handle(), WM_KEYUP, 'A', 1);
    ASSERT_EQ(host.Of(WM_KEYDOWN).size(), 1u);
    EXPECT_EQ(host.Of(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(host.Of(WM_KEYUP).size(), 1u);
}

}  // namespace
}  // namespace melvora

#include "ui/win32/bitmap_strip.h"
#include "ui/win32/skin_thumb.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

TEST(BitmapStripGuiTest, FramesAlongTheLongerSide) {
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
}

TEST(BitmapStripGuiTest, DrawsTheAskedFrameOnly) {
    CBitmapStrip strip;
    ASSERT_TRUE(strip.Load(IDB_THUMB_HORIZONTAL, 12, 22));
    HDC screen = ::GetDC(nullptr);
    HDC target = ::CreateCompatibleDC(screen);
    HBITMAP canvas = ::CreateCompatibleBitmap(screen, 12, 22);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(target, canvas);
    for (int frame = 0; frame < 3; ++frame) {
        RECT all = {0, 0, 12, 22};
        ::FillRect(target, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        strip.DrawFrame(target, frame, 0, 0);
        int same = 0;
        for (int y = 0; y < 22; ++y) {
            for (int x = 0; x < 12; ++x) {
                same += ::GetPixel(target, x, y) == ::GetPixel(strip.Dc(), frame * 12 + x, y);
            }
        }
        EXPECT_EQ(same, 12 * 22) << frame;
    }
    // A frame beyond the strip draws nothing.
    RECT all = {0, 0, 12, 22};
    ::FillRect(target, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    strip.DrawFrame(target, 3, 0, 0);
    EXPECT_EQ(::GetPixel(target, 6, 11), RGB(0, 0, 0));
    ::SelectObject(target, old);
    ::DeleteObject(canvas);
    ::DeleteDC(target);
}

TEST(BitmapStripGuiTest, SecondCopyIsIndependent) {
    CBitmapStrip strip;
    ASSERT_TRUE(strip.Load(IDB_ABOUT_PICTURE));
    ASSERT_TRUE(strip.MakeSecondCopy());
    COLORREF original = ::GetPixel(strip.Dc(), 5, 5);
    EXPECT_EQ(::GetPixel(strip.SecondDc(), 5, 5), original);
    ::SetPixel(strip.SecondDc(), 5, 5, original ^ 0xFFFFFF);
    EXPECT_EQ(::GetPixel(strip.Dc(), 5, 5), original);
}

TEST(SkinThumbGuiTest, ToggleButtonLatchesAndCommandsOnRelease) {
    guitest::HostWindow host;
    ASSERT_TRUE(host.Open(500, 400, 100, 60, L"Thumb"));
    CSkinThumb thumb;
    ASSERT_TRUE(thumb.Create(host.Handle(), 77, IDB_THUMB_HORIZONTAL, 12, 22));
    thumb.SetToggle(true);
    ::SendMessageW(thumb.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_TRUE(thumb.Latched());
    EXPECT_TRUE(host.Of(WM_COMMAND).empty());
    ::SendMessageW(thumb.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_EQ(host.Of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(LOWORD(host.Of(WM_COMMAND)[0].wParam), 77);
    ::SendMessageW(thumb.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(thumb.Frame(), 2);  // latched keeps the pressed frame
    thumb.SetCommandOnPress(true);
    ::SendMessageW(thumb.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_FALSE(thumb.Latched());
    EXPECT_EQ(host.Of(WM_COMMAND).size(), 2u);
    ::SendMessageW(thumb.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(host.Of(WM_COMMAND).size(), 2u);
    EXPECT_EQ(thumb.Frame(), 1);
}

}  // namespace
}  // namespace melvora

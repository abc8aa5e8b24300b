#include <windows.h>

#include <commctrl.h>

#include "platform/win32/paint_dc.h"
#include "platform/win32/trackbar.h"
#include "ui/win32/skin_slider.h"
#include "ui/win32/bitmap_strip.h"
#include "ui/win32/skin_thumb.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::HostWindow;

class SkinSliderGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(100, 300, 420, 120, L"Slider"));
        skinned = ::CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ, 10,
                                    20, 300, 30, host.Handle(), reinterpret_cast<HMENU>(1017),
                                    ::GetModuleHandleW(nullptr), nullptr);
        CTrackbar(skinned).SetRange(0, 1000, false);
        CTrackbar(skinned).SetPos(500);
        ASSERT_TRUE(slider.Attach(host.Handle(), 1017));
        ASSERT_TRUE(slider.SetChannel(348, 349));
    }

    HostWindow host;
    HWND skinned = nullptr;
    CSkinSlider slider;
};

// The wheel never moves it (an unskinned trackbar would, or hand it to its parent).
TEST_F(SkinSliderGuiTest, WheelNeverMovesIt) {
    host.received.clear();
    for (short notches : {-3, 1}) {
        EXPECT_EQ(::SendMessageW(skinned, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * notches),
                                 MAKELPARAM(150, 35)),
                  TRUE);
        EXPECT_EQ(CTrackbar(skinned).Pos(), 500);
    }
    EXPECT_TRUE(host.Of(WM_MOUSEWHEEL).empty());
}

// The channel's size, the thumb window following the position, its frames following the
// mouse, and a click on it reaching the trackbar.
TEST_F(SkinSliderGuiTest, ChannelSizeThumbWindowAndItsFrames) {
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

}  // namespace
}  // namespace melvora

#include <gtest/gtest.h>

#include "app/window_layout.h"

namespace melvora {
namespace {

enum Slot { kAnalysis = 0, kPlayer = 1, kKeyboard = 2, kStaff = 3, kVolume = 4, kMain = 5 };

// The start-up positions for the known sizes are checked with the window set; here other
// sizes, created anywhere, must still tile the strip edge to edge.
TEST(WindowLayoutStrip, WindowsTileTheStripEdgeToEdge) {
    const struct {
        int mainWidth, mainHeight, playerWidth, playerHeight, volumeWidth, volumeHeight;
    } sizes[] = {
        {300, 130, 300, 160, 200, 400}, {222, 85, 222, 120, 96, 1}, {400, 60, 380, 70, 120, 300}};
    for (const auto& z : sizes) {
        SCOPED_TRACE(z.mainWidth);
        const auto s =
            WindowLayout::Strip(ScreenRect::FromPosition(5, 5, z.mainWidth, z.mainHeight),
                                ScreenRect::FromPosition(0, 0, z.playerWidth, z.playerHeight),
                                ScreenRect::FromPosition(-9, 9, z.volumeWidth, z.volumeHeight));
        const int upper = z.mainHeight + z.playerHeight;
        EXPECT_EQ(s[kMain], (ScreenRect{1024 - z.mainWidth, 0, 1024, z.mainHeight}));
        EXPECT_EQ(s[kPlayer], ScreenRect::FromPosition(s[kMain].left, z.mainHeight, z.playerWidth,
                                                       z.playerHeight));
        EXPECT_EQ(s[kVolume], (ScreenRect{0, 0, z.volumeWidth, upper}));
        EXPECT_EQ(s[kAnalysis], (ScreenRect{z.volumeWidth, 0, s[kMain].left, upper}));
        EXPECT_EQ(s[kStaff], (ScreenRect{0, upper, 1024, upper + 152}));
        EXPECT_EQ(s[kKeyboard], (ScreenRect{0, upper + 152, 1024, upper + 350}));
    }
}

TEST(WindowLayoutStrip, NarrowScreensShrinkTheStripToKeepTheMainWindowVisible) {
    EXPECT_EQ(WindowLayout::StripWidthForScreen(1024, 260, 150), 1024);
    EXPECT_EQ(WindowLayout::StripWidthForScreen(1920, 260, 150), 1024);
    EXPECT_EQ(WindowLayout::StripWidthForScreen(0, 260, 150), 1024);  // unknown screen
    EXPECT_EQ(WindowLayout::StripWidthForScreen(800, 260, 150), 800);
    // Never narrower than main + volume + the smallest analysis window...
    EXPECT_EQ(WindowLayout::StripWidthForScreen(320, 260, 150),
              260 + 150 + WindowLayout::kMinAnalysisWidthPixels);
    // ...and never wider than the fixed strip, however big the windows.
    EXPECT_EQ(WindowLayout::StripWidthForScreen(640, 700, 500), 1024);
}

TEST(WindowLayoutRows, TitleButtonsAtTheRightEdgeMenuButtonsFromTheLeft) {
    const auto title = WindowLayout::TitleRow(260);
    EXPECT_EQ(title[0], (ScreenRect{0, 0, 206, 29}));
    EXPECT_EQ(title[1], (ScreenRect{206, 0, 224, 29}));
    EXPECT_EQ(title[2], (ScreenRect{224, 0, 242, 29}));
    EXPECT_EQ(title[3], (ScreenRect{242, 0, 260, 29}));
    const auto narrow = WindowLayout::TitleRow(40);
    EXPECT_EQ(narrow[0].Width(), 0);  // never a negative width
    EXPECT_EQ(narrow[3].right, 40);
    const auto menu = WindowLayout::MenuButtonRow({31, 36, 30});
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[0], (ScreenRect{0, 29, 31, 47}));
    EXPECT_EQ(menu[1], (ScreenRect{31, 29, 67, 47}));
    EXPECT_EQ(menu[2], (ScreenRect{67, 29, 97, 47}));
}

}  // namespace
}  // namespace melvora

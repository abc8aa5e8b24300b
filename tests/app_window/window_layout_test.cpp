#include <gtest/gtest.h>

#include "app/window_layout.h"

namespace melvora {
namespace {

enum Slot { kAnalysis = 0, kPlayer = 1, kKeyboard = 2, kStaff = 3, kVolume = 4, kMain = 5 };

TEST(WindowLayoutStrip, KnownSizesGiveTheStartUpPositions) {
    // Sizes as created; the positions they were created at must not matter.
    const ScreenRect main = ScreenRect::FromPosition(300, 400, 260, 110);
    const ScreenRect player = ScreenRect::FromPosition(17, 5, 260, 95);
    const ScreenRect volume = ScreenRect::FromPosition(-40, 80, 150, 60);
    const auto s = WindowLayout::Strip(main, player, volume);

    EXPECT_EQ(s[kMain], (ScreenRect{764, 0, 1024, 110}));
    EXPECT_EQ(s[kPlayer], (ScreenRect{764, 110, 1024, 205}));
    EXPECT_EQ(s[kVolume], (ScreenRect{0, 0, 150, 205}));
    EXPECT_EQ(s[kAnalysis], (ScreenRect{150, 0, 764, 205}));
    EXPECT_EQ(s[kStaff], (ScreenRect{0, 205, 1024, 357}));
    EXPECT_EQ(s[kKeyboard], (ScreenRect{0, 357, 1024, 555}));
}

struct StripSizes {
    int mainWidth, mainHeight, playerWidth, playerHeight, volumeWidth, volumeHeight;
};

class WindowLayoutStripGrid : public ::testing::TestWithParam<StripSizes> {};

TEST_P(WindowLayoutStripGrid, WindowsTileTheStripWithoutOverlap) {
    const StripSizes z = GetParam();
    const auto s =
        WindowLayout::Strip(ScreenRect::FromPosition(5, 5, z.mainWidth, z.mainHeight),
                            ScreenRect::FromPosition(0, 0, z.playerWidth, z.playerHeight),
                            ScreenRect::FromPosition(9, 9, z.volumeWidth, z.volumeHeight));
    const int upper = z.mainHeight + z.playerHeight;
    EXPECT_EQ(s[kMain].Width(), z.mainWidth);
    EXPECT_EQ(s[kMain].Height(), z.mainHeight);
    EXPECT_EQ(s[kMain].right, 1024);
    EXPECT_EQ(s[kPlayer].left, s[kMain].left);
    EXPECT_EQ(s[kPlayer].top, s[kMain].bottom);
    EXPECT_EQ(s[kPlayer].Width(), z.playerWidth);
    EXPECT_EQ(s[kVolume].Height(), upper);
    EXPECT_EQ(s[kAnalysis].Height(), upper);
    EXPECT_EQ(s[kAnalysis].left, s[kVolume].right);
    EXPECT_EQ(s[kAnalysis].right, s[kMain].left);
    EXPECT_EQ(s[kStaff], (ScreenRect{0, upper, 1024, upper + 152}));
    EXPECT_EQ(s[kKeyboard], (ScreenRect{0, upper + 152, 1024, upper + 350}));

    if (z.playerWidth == z.mainWidth) {
        // The six windows cover the 1024-pixel strip exactly.
        long area = 0;
        for (const ScreenRect& r : s) {
            area += static_cast<long>(r.Width()) * r.Height();
        }
        EXPECT_EQ(area, 1024L * (upper + 350));
    }
    for (int a = 0; a < 6; ++a) {
        for (int b = a + 1; b < 6; ++b) {
            const bool overlap = s[a].left < s[b].right && s[b].left < s[a].right &&
                                 s[a].top < s[b].bottom && s[b].top < s[a].bottom;
            EXPECT_FALSE(overlap) << "windows " << a << " and " << b;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowLayoutStripGrid,
                         ::testing::Values(StripSizes{260, 110, 260, 95, 150, 60},
                                           StripSizes{300, 130, 300, 160, 200, 400},
                                           StripSizes{222, 85, 222, 120, 96, 1},
                                           StripSizes{400, 60, 380, 70, 120, 300}));

TEST(WindowLayoutStripWidth, ScreensOf1024AndWiderKeepTheStrip) {
    EXPECT_EQ(WindowLayout::StripWidthForScreen(1024, 260, 150), 1024);
    EXPECT_EQ(WindowLayout::StripWidthForScreen(1920, 260, 150), 1024);
    // An unknown screen size falls back to the fixed strip.
    EXPECT_EQ(WindowLayout::StripWidthForScreen(0, 260, 150), 1024);
}

TEST(WindowLayoutStripWidth, NarrowScreensShrinkTheStripToKeepTheMainWindowVisible) {
    EXPECT_EQ(WindowLayout::StripWidthForScreen(800, 260, 150), 800);
    // Never narrower than main + volume + the smallest analysis window.
    EXPECT_EQ(WindowLayout::StripWidthForScreen(320, 260, 150),
              260 + 150 + WindowLayout::kMinAnalysisWidthPixels);
    // ...and never wider than the fixed strip, however big the windows.
    EXPECT_EQ(WindowLayout::StripWidthForScreen(640, 700, 500), 1024);
}

TEST(WindowLayoutTitleRow, ThreeButtonsAtTheRightEdge) {
    const auto row = WindowLayout::TitleRow(260);
    EXPECT_EQ(row[0], (ScreenRect{0, 0, 206, 29}));
    EXPECT_EQ(row[1], (ScreenRect{206, 0, 224, 29}));
    EXPECT_EQ(row[2], (ScreenRect{224, 0, 242, 29}));
    EXPECT_EQ(row[3], (ScreenRect{242, 0, 260, 29}));
}

TEST(WindowLayoutTitleRow, TitleBarNeverGetsANegativeWidth) {
    const auto row = WindowLayout::TitleRow(40);
    EXPECT_EQ(row[0].Width(), 0);
    EXPECT_EQ(row[3].right, 40);
}

TEST(WindowLayoutMenuButtons, SideBySideFromTheLeftAtY29) {
    const auto row = WindowLayout::MenuButtonRow({31, 36, 30});
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[0], (ScreenRect{0, 29, 31, 47}));
    EXPECT_EQ(row[1], (ScreenRect{31, 29, 67, 47}));
    EXPECT_EQ(row[2], (ScreenRect{67, 29, 97, 47}));
}

}  // namespace
}  // namespace melvora

#include "views/insta_view_layout.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

using Region = InstaViewLayout::Region;

TEST(InstaViewLayout, SquareRadiusAndMargin) {
    InstaViewLayout layout;
    layout.Resize(600, 300);  // S = min(350, 300)
    EXPECT_EQ(layout.SquareSize(), 300);
    EXPECT_FLOAT_EQ(layout.Radius(), 150.0f);
    EXPECT_FLOAT_EQ(layout.PanelMargin(), 30.0f);
    layout.Resize(330, 400);  // narrower than 350: still a 100-pixel square
    EXPECT_EQ(layout.SquareSize(), 100);
    EXPECT_FLOAT_EQ(layout.PanelMargin(), 0.0f);
    layout.Resize(500, 0);
    EXPECT_EQ(layout.SquareSize(), 100);
}

// 600 x 300: S = 300, R = 150, margin 30; blocks of 58 from y = 30.
TEST(InstaViewLayout, RegionUnderTheMouse) {
    InstaViewLayout layout;
    layout.Resize(600, 300);
    const struct {
        int x, y;
        Region region;
    } cases[] = {{150, 150, Region::kNote},                                 // centre
                 {172, 150, Region::kNote},                                 // 22/150 < 0.15
                 {173, 150, Region::kAnimation},                            // 23/150 > 0.15
                 {10, 299, Region::kAnimation},  {10, 300, Region::kNone},  // below the square
                 {300, 30, Region::kNone},                                  // on the margin
                 {300, 31, Region::kPitch},      {400, 88, Region::kTessim},
                 {400, 146, Region::kJitter},    {599, 261, Region::kShimmer},
                 {400, 262, Region::kNone}};  // the strip below the shimmer block
    for (const auto& c : cases) {
        EXPECT_EQ(layout.HitTest(c.x, c.y), c.region) << c.x << "," << c.y;
    }
}

TEST(InstaViewLayout, ClicksAndToolTips) {
    EXPECT_EQ(InstaViewLayout::MeasureOfRegion(Region::kTessim), 0);
    EXPECT_EQ(InstaViewLayout::MeasureOfRegion(Region::kShimmer), 2);
    EXPECT_EQ(InstaViewLayout::MeasureOfRegion(Region::kPitch), -1);
    EXPECT_EQ(InstaViewLayout::MeasureOfRegion(Region::kNote), -1);
    EXPECT_EQ(InstaViewLayout::ToolTipStringId(Region::kAnimation, 0), 161);
    EXPECT_EQ(InstaViewLayout::ToolTipStringId(Region::kAnimation, 2), 163);
    EXPECT_EQ(InstaViewLayout::ToolTipStringId(Region::kNote, 1), 164);
    EXPECT_EQ(InstaViewLayout::ToolTipStringId(Region::kTessim, 1), 116);
    EXPECT_EQ(InstaViewLayout::ToolTipStringId(Region::kNone, 1), 0);
}

TEST(InstaViewLayout, ValueTexts) {
    EXPECT_EQ(InstaViewLayout::PitchText(220.4f), L"220");
    EXPECT_EQ(InstaViewLayout::PitchText(0.0f), L"  0");
    EXPECT_EQ(InstaViewLayout::PitchText(99.6f), L"100");
    EXPECT_EQ(InstaViewLayout::MeasureText(0.87f), L"0.85");  // rounded down to 0.05
    EXPECT_EQ(InstaViewLayout::MeasureText(0.999f), L"0.95");
    EXPECT_EQ(InstaViewLayout::MeasureText(1.0f), L"1.00");
    EXPECT_EQ(InstaViewLayout::MeasureText(0.0f), L"0.00");
}

}  // namespace
}  // namespace melvora

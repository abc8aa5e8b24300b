#include "views/analysis_style.h"

#include <gtest/gtest.h>

#include <cmath>

#include "views/ring_geometry.h"

namespace melvora {
namespace {

void ExpectColour(const ViewColour& actual, const ViewColour& expected) {
    EXPECT_NEAR(actual.r, expected.r, 1e-6);
    EXPECT_NEAR(actual.g, expected.g, 1e-6);
    EXPECT_NEAR(actual.b, expected.b, 1e-6);
    EXPECT_FLOAT_EQ(actual.a, 1.0f);
}

// Shape parameters of the six styles at v = 0, 0.5, 1 and outside 0..1, worked by hand.
TEST(AnalysisStyle, ShapesAtValue) {
    const struct {
        float v;
        float outer, inner;              // 0.6 +- (1 - v) x 0.35
        int starCopies;                  // trunc(5 v) + 1, at most 5, none below 1
        ViewColour value;                // (1 - v) (1, 0.3, 0) + v (0, 0, 1)
        ViewColour star2;                // (1 - v) (0.7, 0.7, 0.7) + v (0, 1, 0)
        float knifeHalfWidth, knifeTip;  // 0.6 / (v + 1), 0.2 + 0.6 v
    } cases[] = {
        {0.0f, 0.95f, 0.25f, 1, {1.0f, 0.3f, 0.0f}, {0.7f, 0.7f, 0.7f}, 0.6f, 0.2f},
        {0.5f, 0.775f, 0.425f, 3, {0.5f, 0.15f, 0.5f}, {0.35f, 0.85f, 0.35f}, 0.4f, 0.5f},
        {1.0f, 0.6f, 0.6f, 5, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}, 0.3f, 0.8f},
        {0.8f, 0.67f, 0.53f, 5, {0.2f, 0.06f, 0.8f}, {0.14f, 0.94f, 0.14f}, 0.333333f, 0.68f},
        {-0.5f, 1.125f, 0.075f, 0, {1.5f, 0.45f, -0.5f}, {1.05f, 0.55f, 1.05f}, 1.2f, -0.1f},
        {1.5f, 0.425f, 0.775f, 5, {-0.5f, -0.15f, 1.5f}, {-0.35f, 1.15f, -0.35f}, 0.24f, 1.1f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_NEAR(AnalysisStyle::StarOuterRadius(c.v), c.outer, 1e-6);
        EXPECT_NEAR(AnalysisStyle::StarInnerRadius(c.v), c.inner, 1e-6);
        EXPECT_EQ(AnalysisStyle::StarCopies(c.v), c.starCopies);
        ExpectColour(AnalysisStyle::ValueColour(c.v), c.value);
        ExpectColour(AnalysisStyle::Star2Colour(c.v), c.star2);
        AnalysisStyle::Point blade[5];
        AnalysisStyle::KnifeBlade(c.v, blade);
        const float w = c.knifeHalfWidth;
        const float expected[5][2] = {
            {w, -0.95f}, {w, 0.2f}, {0.0f, c.knifeTip}, {-w, 0.2f}, {-w, -0.95f}};
        for (int i = 0; i < 5; ++i) {
            EXPECT_NEAR(blade[i].x, expected[i][0], 1e-6) << i;
            EXPECT_NEAR(blade[i].y, expected[i][1], 1e-6) << i;
        }
    }
}

TEST(AnalysisStyle, HistoryLengthFollowsTheStyle) {
    const int expected[] = {5, 1, 1, 5, 5, 10, 10, 5};  // styles -1 .. 6
    for (int style = -1; style <= 6; ++style) {
        EXPECT_EQ(AnalysisStyle::HistoryLengthFor(style), expected[style + 1]) << style;
    }
}

TEST(AnalysisStyle, AgeFactorAndFade) {
    // Three records of a history of 5: 0.6, 0.8, 1.0 from the oldest.
    EXPECT_FLOAT_EQ(AnalysisStyle::AgeFactor(0, 3, 5), 0.6f);
    EXPECT_FLOAT_EQ(AnalysisStyle::AgeFactor(1, 3, 5), 0.8f);
    EXPECT_FLOAT_EQ(AnalysisStyle::AgeFactor(2, 3, 5), 1.0f);
    EXPECT_FLOAT_EQ(AnalysisStyle::AgeFactor(0, 10, 10), 0.1f);
    // Red faded a quarter of the way from blue: 0.75 blue, 0.25 red.
    ExpectColour(AnalysisStyle::Fade({1, 0, 0, 1}, {0, 0, 1, 1}, 0.25f), {0.25f, 0.0f, 0.75f});
}

TEST(RingGeometry, TablesAndStarOutline) {
    const RingGeometry ring(12);
    EXPECT_FLOAT_EQ(ring.Cos(0), 1.0f);
    EXPECT_FLOAT_EQ(ring.Sin(0), 0.0f);
    EXPECT_NEAR(ring.Cos(4), 0.8660254f, 1e-6);  // 30 degrees
    EXPECT_NEAR(ring.Sin(6), 0.7071068f, 1e-6);  // 45 degrees

    // v = 0: outer 0.95 at k = 0, 6; inner 0.25 at k = 3, 9; four per quadrant, closed.
    const std::vector<RingGeometry::Point> star = ring.StarOutline(0.0f);
    ASSERT_EQ(star.size(), 17u);
    EXPECT_FLOAT_EQ(star[0].x, 0.95f);
    EXPECT_FLOAT_EQ(star[0].y, 0.0f);
    EXPECT_NEAR(star[1].x, 0.25f * 0.9238795f, 1e-6);  // 22.5 degrees
    EXPECT_NEAR(star[1].y, 0.25f * 0.3826834f, 1e-6);
    EXPECT_NEAR(star[4].x, 0.0f, 1e-6);  // quadrant 1 starts on the y axis
    EXPECT_NEAR(star[4].y, 0.95f, 1e-6);
    EXPECT_FLOAT_EQ(star[16].x, star[0].x);
    // v = 1: a circle of radius 0.6.
    for (const RingGeometry::Point& p : ring.StarOutline(1.0f)) {
        EXPECT_NEAR(std::hypot(p.x, p.y), 0.6f, 1e-6);
    }
}

// Cells of semitones as angles (degrees counter-clockwise from +x) of their first and last
// points: C 60..90, then clockwise 30 degrees each, B 90..120.
TEST(RingGeometry, NoteCellsRunClockwiseFromC) {
    const RingGeometry ring(12);
    ASSERT_EQ(ring.PointsPerCell(), 4);
    const float startDegrees[12] = {60, 30, 0, -30, -60, -90, -120, -150, 180, 150, 120, 90};
    for (int s = 0; s < 12; ++s) {
        const std::vector<RingGeometry::RingIndex> cell = ring.CellPoints(s);
        ASSERT_EQ(cell.size(), 5u) << s;
        const RingGeometry::Point first = ring.RingPoint(cell[0].quadrant, cell[0].k, 1.0f);
        const RingGeometry::Point last = ring.RingPoint(cell[4].quadrant, cell[4].k, 1.0f);
        const double toDegrees = 180.0 / 3.14159265358979;
        const double start = std::atan2(first.y, first.x) * toDegrees;
        EXPECT_NEAR(std::remainder(start - startDegrees[s], 360.0), 0.0, 1e-4) << s;
        const double end = std::atan2(last.y, last.x) * toDegrees;
        EXPECT_NEAR(std::remainder(end - (startDegrees[s] + 30.0), 360.0), 0.0, 1e-4) << s;
    }
    // C's zig-zag for v = 0.5: 0.6 at both ends, inner 0.425 at odd, outer 0.775 at even.
    const std::vector<RingGeometry::Point> zig = ring.CellZigZag(0, 0.5f);
    ASSERT_EQ(zig.size(), 5u);
    EXPECT_NEAR(std::hypot(zig[0].x, zig[0].y), 0.6f, 1e-6);
    EXPECT_NEAR(std::hypot(zig[1].x, zig[1].y), 0.425f, 1e-6);
    EXPECT_NEAR(zig[2].x, 0.775f * 0.2588190f, 1e-6);  // 75 degrees
    EXPECT_NEAR(zig[2].y, 0.775f * 0.9659258f, 1e-6);
    EXPECT_NEAR(zig[4].x, 0.0f, 1e-6);
    EXPECT_NEAR(zig[4].y, 0.6f, 1e-6);
    // Empty cells spike between the inner and the outer ring.
    const std::vector<RingGeometry::Point> empty = ring.EmptyCellZigZag(5);
    EXPECT_NEAR(std::hypot(empty[1].x, empty[1].y), 0.25f, 1e-6);
    EXPECT_NEAR(std::hypot(empty[2].x, empty[2].y), 0.95f, 1e-6);
}

TEST(RingGeometry, LowResolutionsGiveCellsWithoutPoints) {
    EXPECT_TRUE(RingGeometry(2).CellPoints(0).empty());
    EXPECT_TRUE(RingGeometry(2).CellZigZag(0, 0.5f).empty());
    EXPECT_EQ(RingGeometry(2).StarOutline(0.5f).size(), 5u);
    EXPECT_TRUE(RingGeometry(0).StarOutline(0.5f).empty());
    EXPECT_EQ(RingGeometry(3).CellPoints(7).size(), 2u);
}

}  // namespace
}  // namespace melvora

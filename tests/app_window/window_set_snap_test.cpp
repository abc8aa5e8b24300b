#include <gtest/gtest.h>

#include <string>

#include "app/window_set.h"
#include "fake_window_host.h"

namespace melvora {
namespace {

constexpr int kMain = WindowSetHost::kMainWindow;
constexpr int kExercise = WindowSetHost::kExerciseWindow;
constexpr int kTarget = 0;
constexpr int kMover = 1;
constexpr int kMoverWidth = 100;
constexpr int kMoverHeight = 80;
const ScreenRect kTargetRect{400, 300, 600, 500};

// One target window (floating window 0) in the middle of the screen, the main window in the
// top left corner out of reach, every other floating window hidden.
class WindowSetSnap : public ::testing::Test {
  protected:
    WindowSetSnap() : set(host) {
        host.Attach(&set);
        host.rects[kMain] = ScreenRect{0, 0, 260, 110};
        host.rects[kTarget] = kTargetRect;
        for (int i = 2; i < 5; ++i) {
            set.SetShown(i, false);
        }
    }

    WindowSet::Position SnapMover(int x, int y, bool snapping) {
        return set.Snap(kMover, WindowSet::Position{x, y, kMoverWidth, kMoverHeight}, false,
                        snapping);
    }

    FakeWindowHost host;
    WindowSet set;
};

enum class Side { kLeftOf, kRightOf, kBelow, kAbove };

struct SnapCase {
    Side side;
    int gapPixels;
    bool snapping;
    bool expectStuck;
};

std::string SnapCaseName(const ::testing::TestParamInfo<SnapCase>& info) {
    static const char* const kSides[] = {"LeftOf", "RightOf", "Below", "Above"};
    const SnapCase& c = info.param;
    const int gap = c.gapPixels;
    return std::string(kSides[static_cast<int>(c.side)]) + (gap < 0 ? "Minus" : "") +
           std::to_string(gap < 0 ? -gap : gap) + (c.snapping ? "SnappingOn" : "SnappingOff");
}

class WindowSetSnapGrid : public WindowSetSnap, public ::testing::WithParamInterface<SnapCase> {};

TEST_P(WindowSetSnapGrid, WindowNearAnEdgeJumpsToItOnlyWithinTheSnapDistance) {
    const SnapCase c = GetParam();
    int x = 450;
    int y = 350;
    int snappedX = x;
    int snappedY = y;
    switch (c.side) {
        case Side::kLeftOf:
            x = kTargetRect.left - kMoverWidth - c.gapPixels;
            snappedX = kTargetRect.left - kMoverWidth;
            snappedY = y;
            break;
        case Side::kRightOf:
            x = kTargetRect.right + c.gapPixels;
            snappedX = kTargetRect.right;
            snappedY = y;
            break;
        case Side::kBelow:
            y = kTargetRect.bottom + c.gapPixels;
            snappedX = x;
            snappedY = kTargetRect.bottom;
            break;
        case Side::kAbove:
            y = kTargetRect.top - kMoverHeight - c.gapPixels;
            snappedX = x;
            snappedY = kTargetRect.top - kMoverHeight;
            break;
    }
    const WindowSet::Position p = SnapMover(x, y, c.snapping);
    EXPECT_EQ(set.Stuck().IsStuck(kMover, kTarget), c.expectStuck);
    EXPECT_EQ(set.Stuck().IsStuck(kTarget, kMover), c.expectStuck);
    if (c.expectStuck) {
        EXPECT_EQ(p.x, snappedX);
        EXPECT_EQ(p.y, snappedY);
    } else {
        EXPECT_EQ(p.x, x);
        EXPECT_EQ(p.y, y);
    }
    EXPECT_EQ(p.widthPixels, kMoverWidth);
    EXPECT_EQ(p.heightPixels, kMoverHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Distances, WindowSetSnapGrid,
    ::testing::Values(
        // Snapping on: anything closer than 10 pixels, on either side of the edge.
        SnapCase{Side::kLeftOf, 9, true, true}, SnapCase{Side::kLeftOf, 10, true, false},
        SnapCase{Side::kLeftOf, -9, true, true}, SnapCase{Side::kRightOf, 9, true, true},
        SnapCase{Side::kRightOf, 1, true, true}, SnapCase{Side::kRightOf, 10, true, false},
        SnapCase{Side::kBelow, 9, true, true}, SnapCase{Side::kBelow, -4, true, true},
        SnapCase{Side::kBelow, 12, true, false}, SnapCase{Side::kAbove, 9, true, true},
        SnapCase{Side::kAbove, 10, true, false},
        // Snapping off: only exact contact.
        SnapCase{Side::kLeftOf, 0, false, true}, SnapCase{Side::kLeftOf, 1, false, false},
        SnapCase{Side::kRightOf, 0, false, true}, SnapCase{Side::kRightOf, 1, false, false},
        SnapCase{Side::kRightOf, 9, false, false}, SnapCase{Side::kBelow, 0, false, true},
        SnapCase{Side::kBelow, 1, false, false}, SnapCase{Side::kAbove, 0, false, true},
        SnapCase{Side::kAbove, 1, false, false}, SnapCase{Side::kAbove, 9, false, false}),
    SnapCaseName);

TEST_F(WindowSetSnap, FarAwayWindowIsNotStuckAndNotMoved) {
    const WindowSet::Position p = SnapMover(800, 800, true);
    EXPECT_EQ(p.x, 800);
    EXPECT_EQ(p.y, 800);
    EXPECT_FALSE(set.Stuck().IsStuck(kMover, kTarget));
    EXPECT_FALSE(set.Stuck().IsStuck(kMover, StuckMatrix::kMainSlot));
}

TEST_F(WindowSetSnap, EdgeWithoutOverlapAlongItDoesNotSnap) {
    // Right next to the target's right edge, but entirely below it.
    const WindowSet::Position p = SnapMover(603, 520, true);
    EXPECT_EQ(p.x, 603);
    EXPECT_FALSE(set.Stuck().IsStuck(kMover, kTarget));
}

TEST_F(WindowSetSnap, LaterTestsSeeThePositionAdjustedByEarlierOnes) {
    // 5 right of the right edge and 3 above the bottom edge. The horizontal snap moves x to
    // 600; only with that x does the window overlap the bottom edge horizontally, so the
    // vertical snap follows into the corner.
    const WindowSet::Position p = SnapMover(605, 497, true);
    EXPECT_EQ(p.x, 600);
    EXPECT_EQ(p.y, 500);
    EXPECT_TRUE(set.Stuck().IsStuck(kMover, kTarget));
}

TEST_F(WindowSetSnap, AdjustmentCarriesOnToTheNextWindow) {
    // Dropped 6 pixels right of the target, the mover snaps left onto its edge (x 600).
    // Window 2 ends at x 602 and its top is 3 pixels under the mover: only with the adjusted
    // x do they overlap horizontally, so the mover then snaps onto window 2's top as well.
    set.SetShown(2, true);
    host.rects[2] = ScreenRect{500, 433, 602, 600};
    const WindowSet::Position p = SnapMover(606, 350, true);
    EXPECT_EQ(p.x, 600);
    EXPECT_EQ(p.y, 433 - kMoverHeight);
    EXPECT_TRUE(set.Stuck().IsStuck(kMover, kTarget));
    EXPECT_TRUE(set.Stuck().IsStuck(kMover, 2));
}

TEST_F(WindowSetSnap, KeepPositionMovesNothingAndKeepsTheMatrix) {
    const WindowSet::Position proposed{800, 800, kMoverWidth, kMoverHeight};
    const WindowSet::Position p = set.Snap(kMover, proposed, true, true);
    EXPECT_EQ(p.x, 800);
    EXPECT_EQ(p.y, 800);
    for (int j = 0; j < 6; ++j) {
        EXPECT_TRUE(set.Stuck().IsStuck(kMover, j)) << j;
    }
}

TEST_F(WindowSetSnap, HiddenWindowIsNeverATarget) {
    set.SetShown(kTarget, false);
    const WindowSet::Position p = SnapMover(kTargetRect.right + 3, 350, true);
    EXPECT_EQ(p.x, kTargetRect.right + 3);
    EXPECT_FALSE(set.Stuck().IsStuck(kMover, kTarget));
    // The other hidden windows lost their construction-time entries with the mover as well.
    for (int j = 2; j < 5; ++j) {
        EXPECT_FALSE(set.Stuck().IsStuck(kMover, j)) << j;
        EXPECT_FALSE(set.Stuck().IsStuck(j, kMover)) << j;
    }
}

TEST_F(WindowSetSnap, HiddenWindowExactlyTouchingIsStillNoTarget) {
    set.SetShown(kTarget, false);
    SnapMover(kTargetRect.right, 350, false);
    EXPECT_FALSE(set.Stuck().IsStuck(kMover, kTarget));
}

TEST_F(WindowSetSnap, WindowWithoutSystemWindowIsClearedEvenWhenShown) {
    host.exists[kTarget] = false;
    SnapMover(kTargetRect.right, 350, true);
    EXPECT_FALSE(set.Stuck().IsStuck(kMover, kTarget));
}

TEST_F(WindowSetSnap, MainWindowIsATarget) {
    const WindowSet::Position p = SnapMover(265, 20, true);
    EXPECT_EQ(p.x, 260);
    EXPECT_TRUE(set.Stuck().IsStuck(kMover, StuckMatrix::kMainSlot));
}

TEST_F(WindowSetSnap, RunningExerciseWindowTakesTheMainWindowsPlace) {
    host.exists[kExercise] = true;
    host.rects[kExercise] = ScreenRect{900, 0, 1100, 200};
    set.SetExerciseRunning(true);
    // Next to the main window: not a target while the exercise runs.
    WindowSet::Position p = SnapMover(265, 20, true);
    EXPECT_EQ(p.x, 265);
    EXPECT_FALSE(set.Stuck().IsStuck(kMover, StuckMatrix::kMainSlot));
    // Next to the exercise window: stuck in the main window's slot.
    p = SnapMover(795, 20, true);
    EXPECT_EQ(p.x, 800);
    EXPECT_TRUE(set.Stuck().IsStuck(kMover, StuckMatrix::kMainSlot));
}

TEST_F(WindowSetSnap, RunningExerciseWithoutWindowClearsTheMainSlot) {
    set.SetExerciseRunning(true);
    SnapMover(260, 20, true);
    EXPECT_FALSE(set.Stuck().IsStuck(kMover, StuckMatrix::kMainSlot));
}

TEST_F(WindowSetSnap, MoverAlwaysTouchesItself) {
    set.Stuck().SetStuck(kMover, kMover, false);
    SnapMover(800, 800, true);
    EXPECT_TRUE(set.Stuck().IsStuck(kMover, kMover));
}

TEST_F(WindowSetSnap, IndexOutsideTheFloatingWindowsIsLeftAlone) {
    const WindowSet::Position p = set.Snap(5, WindowSet::Position{605, 350, 10, 10}, false, true);
    EXPECT_EQ(p.x, 605);
    EXPECT_TRUE(set.Stuck().IsStuck(5, kTarget));
}

}  // namespace
}  // namespace melvora

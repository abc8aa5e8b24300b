#include <gtest/gtest.h>

#include "app/window_set.h"
#include "fake_window_host.h"

namespace melvora {
namespace {

constexpr int kExercise = WindowSetHost::kExerciseWindow;
constexpr int kMainSlot = StuckMatrix::kMainSlot;
constexpr int kTarget = 0;
constexpr int kMover = 1;

// One target window (floating window 0) at (400, 300)-(600, 500), the main window in the top
// left corner out of reach, every other floating window hidden. The mover is 100 x 80.
class WindowSetSnap : public ::testing::Test {
  protected:
    WindowSetSnap() : set(host) {
        host.Attach(&set);
        host.rects[WindowSetHost::kMainWindow] = ScreenRect{0, 0, 260, 110};
        host.rects[kTarget] = ScreenRect{400, 300, 600, 500};
        for (int i = 2; i < 5; ++i) {
            set.SetShown(i, false);
        }
    }
    WindowSet::Position SnapMover(int x, int y, bool snapping) {
        return set.Snap(kMover, WindowSet::Position{x, y, 100, 80}, false, snapping);
    }
    bool Stuck(int other) const { return set.Stuck().IsStuck(kMover, other); }

    FakeWindowHost host;
    WindowSet set;
};

TEST_F(WindowSetSnap, WindowNearAnEdgeJumpsToItOnlyWithinTheSnapDistance) {
    const struct {
        int x, y;
        bool snapping;
        int snappedX, snappedY;
        bool stuck;
    } cases[] = {
        // Snapping on: anything closer than 10 pixels, on either side of the edge.
        {291, 350, true, 300, 350, true},   // left of, 9 away
        {290, 350, true, 290, 350, false},  // left of, 10
        {309, 350, true, 300, 350, true},   // left of, 9 inside
        {609, 350, true, 600, 350, true},   // right of, 9
        {610, 350, true, 610, 350, false},  // right of, 10
        {450, 509, true, 450, 500, true},   // below, 9
        {450, 512, true, 450, 512, false},  // below, 12
        {450, 211, true, 450, 220, true},   // above, 9
        {450, 210, true, 450, 210, false},  // above, 10
        {603, 520, true, 603, 520,
         false},  // next to the right edge, but below it
                  // 5 right and 3 above the bottom: only the x adjusted by the first snap overlaps
                  // the bottom edge, so the vertical snap follows into the corner.
        {605, 497, true, 600, 500, true},
        // Snapping off: only exact contact.
        {300, 350, false, 300, 350, true},
        {299, 350, false, 299, 350, false},
        {450, 500, false, 450, 500, true},
        {450, 501, false, 450, 501, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << " snapping " << c.snapping);
        const WindowSet::Position p = SnapMover(c.x, c.y, c.snapping);
        EXPECT_EQ(p.x, c.snappedX);
        EXPECT_EQ(p.y, c.snappedY);
        EXPECT_EQ(Stuck(kTarget), c.stuck);
        EXPECT_EQ(set.Stuck().IsStuck(kTarget, kMover), c.stuck);
        EXPECT_FALSE(Stuck(kMainSlot));
    }
}

// Keeping the position: no snap even 5 pixels from the target, and the matrix (where the
// hidden window 2 still touches the mover) is left as it is.
TEST_F(WindowSetSnap, KeepPositionMovesNothingAndKeepsTheMatrix) {
    EXPECT_EQ(set.Snap(kMover, WindowSet::Position{605, 350, 100, 80}, true, true).x, 605);
    EXPECT_TRUE(Stuck(2));
}

TEST_F(WindowSetSnap, HiddenOrMissingWindowIsNeverATarget) {
    set.SetShown(kTarget, false);
    EXPECT_EQ(SnapMover(600, 350, false).x, 600);
    EXPECT_FALSE(Stuck(kTarget));
    // The other hidden windows lost their construction-time entries with the mover as well.
    for (int j = 2; j < 5; ++j) {
        EXPECT_FALSE(Stuck(j)) << j;
        EXPECT_FALSE(set.Stuck().IsStuck(j, kMover)) << j;
    }
    set.SetShown(kTarget, true);
    host.exists[kTarget] = false;  // shown, but without its system window
    SnapMover(600, 350, true);
    EXPECT_FALSE(Stuck(kTarget));
}

TEST_F(WindowSetSnap, RunningExerciseWindowTakesTheMainWindowsPlace) {
    EXPECT_EQ(SnapMover(265, 20, true).x, 260);
    EXPECT_TRUE(Stuck(kMainSlot));
    set.SetExerciseRunning(true);
    SnapMover(260, 20, true);  // no exercise window yet: the main slot is cleared
    EXPECT_FALSE(Stuck(kMainSlot));
    host.exists[kExercise] = true;
    host.rects[kExercise] = ScreenRect{900, 0, 1100, 200};
    EXPECT_EQ(SnapMover(265, 20, true).x, 265);
    EXPECT_FALSE(Stuck(kMainSlot));
    EXPECT_EQ(SnapMover(795, 20, true).x, 800);
    EXPECT_TRUE(Stuck(kMainSlot));
}

}  // namespace
}  // namespace melvora

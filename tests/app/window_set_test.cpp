#include <gtest/gtest.h>

#include "app/window_layout.h"
#include "app/window_set.h"
#include "fake_window_host.h"

namespace melvora {
namespace {

constexpr int kMain = WindowSetHost::kMainWindow;
constexpr int kMainSlot = StuckMatrix::kMainSlot;
// The spot of the media player (window 1) under the main window on the strip.
const ScreenRect kPlayerSpot{764, 110, 1024, 205};

// Six windows as the dialogs create them: their templates' sizes, all piled up near the
// screen's corner, then placed as the main controls window does it at start-up: no snapping
// and no docking while placing, the user's settings afterwards.
class WindowSetStart : public ::testing::Test {
  protected:
    WindowSetStart() : set(host) {
        host.Attach(&set);
        host.rects[kMain] = ScreenRect::FromPosition(40, 40, 260, 110);
        host.rects[0] = ScreenRect::FromPosition(10, 10, 300, 200);
        host.rects[1] = ScreenRect::FromPosition(12, 12, 260, 95);
        host.rects[2] = ScreenRect::FromPosition(14, 14, 500, 120);
        host.rects[3] = ScreenRect::FromPosition(16, 16, 500, 100);
        host.rects[4] = ScreenRect::FromPosition(18, 18, 150, 60);
    }
    void Start(bool snapping, bool docking) {
        host.snapping = false;
        host.docking = false;
        set.PlaceAtStart(WindowLayout::kStripWidthPixels);
        host.snapping = snapping;
        host.docking = docking;
    }

    FakeWindowHost host;
    WindowSet set;
};

TEST_F(WindowSetStart, WindowsArePlacedOnTheStripAndStuckAsTheyTouch) {
    Start(true, true);
    EXPECT_EQ(host.rects[kMain], (ScreenRect{764, 0, 1024, 110}));
    EXPECT_EQ(host.rects[1], kPlayerSpot);
    EXPECT_EQ(host.rects[4], (ScreenRect{0, 0, 150, 205}));
    EXPECT_EQ(host.rects[0], (ScreenRect{150, 0, 764, 205}));
    EXPECT_EQ(host.rects[3], (ScreenRect{0, 205, 1024, 357}));
    EXPECT_EQ(host.rects[2], (ScreenRect{0, 357, 1024, 555}));
    const StuckMatrix& m = set.Stuck();
    // Analysis left of main, media player under it; the others only reach it by a chain.
    const bool touchesMain[] = {true, true, false, false, false};
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        EXPECT_EQ(m.IsStuck(i, kMainSlot), touchesMain[i]) << i;
    }
    EXPECT_TRUE(m.IsStuck(0, 4));
    EXPECT_TRUE(m.IsStuck(0, 3));
    EXPECT_TRUE(m.IsStuck(3, 2));
    EXPECT_FALSE(m.IsStuck(4, 2));  // volume and keyboard are a staff apart
}

// With docking, with or without snapping, the whole chain follows; without docking nothing.
TEST_F(WindowSetStart, MovingTheMainWindowMovesTheWholeChainOnlyWithDocking) {
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        const bool docking = c < 2;
        Start(c == 0, docking);
        const auto before = host.rects;
        host.DragMain(764 - 100, 50);
        // The keyboard (2) follows only through the staff (3).
        for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
            EXPECT_EQ(host.rects[i],
                      ScreenRect::FromPosition(before[i].left - (docking ? 100 : 0),
                                               before[i].top + (docking ? 50 : 0),
                                               before[i].Width(), before[i].Height()))
                << i;
        }
    }
    // The offset of the next move counts from where the main window now is.
    host.docking = true;
    const int left = host.rects[1].left;
    host.DragMain(764 - 90, 50);
    EXPECT_EQ(host.rects[1].left, left + 10);
}

TEST_F(WindowSetStart, WindowDraggedAwayStaysBehindUntilDroppedBackAndMinimisingMovesNothing) {
    Start(true, true);
    host.Drag(1, 300, 700);  // media player away from everything
    const ScreenRect player = host.rects[1];
    host.DragMain(700, 0);
    EXPECT_EQ(host.rects[1], player);
    EXPECT_EQ(host.rects[0].left, 150 - 64);  // the analysis window still follows
    host.DragMain(764, 0);
    host.Drag(1, 768, 101);  // 4 right and 9 above its spot under the main window
    EXPECT_EQ(host.rects[1], kPlayerSpot);
    host.DragMain(700, 0);
    EXPECT_EQ(host.rects[1].left, 700);
    // A minimised main window moves nothing and is not remembered where it went.
    const auto before = host.rects;
    const ScreenRect remembered = set.RememberedRect();
    set.Dock(ScreenRect::FromPosition(-32000, -32000, 160, 24), true, true);
    EXPECT_EQ(host.rects, before);
    EXPECT_EQ(set.RememberedRect(), remembered);
}

TEST_F(WindowSetStart, MissingWindowsAreNotMovedButTheMatrixKeepsTheChain) {
    Start(true, true);
    host.exists[3] = false;
    const ScreenRect staff = host.rects[3];
    host.DragMain(764, 100);
    EXPECT_EQ(host.rects[3], staff);
    EXPECT_EQ(host.rects[2].top, 357 + 100);  // the chain through the staff is the matrix's
}

TEST_F(WindowSetStart, ToggleFlipsTheFlagAndTheWindowAndMinimiseHidesTheShownOnes) {
    EXPECT_FALSE(set.IsShown(5));
    EXPECT_FALSE(set.IsShown(-1));
    set.ToggleWindow(2);
    EXPECT_FALSE(set.IsShown(2));
    EXPECT_FALSE(host.visible[2]);
    set.ToggleWindow(2);
    EXPECT_TRUE(set.IsShown(2));
    EXPECT_TRUE(host.visible[2]);
    ASSERT_EQ(host.showCalls.size(), 2u);
    EXPECT_TRUE(host.activations[1]);  // a window the user asked for comes to the front
    set.ToggleWindow(1);
    set.ToggleWindow(4);
    host.showCalls.clear();
    set.MainMinimised(true);
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        EXPECT_FALSE(host.visible[i]) << i;
    }
    EXPECT_EQ(host.showCalls.size(), 3u);  // only the three shown windows were touched
    host.activations.clear();
    set.MainMinimised(false);
    const bool shown[] = {true, false, true, true, false};
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        EXPECT_EQ(host.visible[i], shown[i]) << i;
        EXPECT_EQ(set.IsShown(i), shown[i]) << i;  // the View menu's flags did not change
    }
    // Restoring does not shuffle the activation order by activating each window.
    EXPECT_EQ(host.activations, std::vector<bool>(host.activations.size(), false));
}

TEST_F(WindowSetStart, WindowsAreStackedBehindTheMainInActivationOrder) {
    EXPECT_EQ(set.ActivationOrder(), (std::array<int, 5>{0, 1, 2, 3, 4}));
    const std::pair<int, std::array<int, 5>> steps[] = {{3, {3, 0, 1, 2, 4}},
                                                        {1, {1, 3, 0, 2, 4}},
                                                        {1, {1, 3, 0, 2, 4}},
                                                        {4, {4, 1, 3, 0, 2}},
                                                        {7, {4, 1, 3, 0, 2}}};
    for (const auto& s : steps) {
        set.BringToFront(s.first);
        EXPECT_EQ(set.ActivationOrder(), s.second) << s.first;
    }
    set.StackBehindMain();
    EXPECT_EQ(host.zOrder,
              (std::vector<std::pair<int, int>>{{4, kMain}, {1, 4}, {3, 1}, {0, 3}, {2, 0}}));
    host.zOrder.clear();
    host.exists[0] = false;  // missing windows are left out
    set.StackBehindMain();
    EXPECT_EQ(host.zOrder, (std::vector<std::pair<int, int>>{{4, kMain}, {1, 4}, {3, 1}, {2, 3}}));
}

constexpr int kExercise = WindowSetHost::kExerciseWindow;
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

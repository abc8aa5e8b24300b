#include <gtest/gtest.h>

#include "app/window_layout.h"
#include "app/window_set.h"
#include "fake_window_host.h"

namespace melvora {
namespace {

constexpr int kMain = WindowSetHost::kMainWindow;

// Six windows as the dialogs create them: their templates' sizes, all piled up near the
// screen's corner.
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

    // Start-up as the main controls window does it: no snapping and no docking while the
    // windows are placed, the user's settings afterwards.
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

TEST_F(WindowSetStart, WindowsArePlacedOnTheStrip) {
    Start(true, true);
    EXPECT_EQ(host.rects[kMain], (ScreenRect{764, 0, 1024, 110}));
    EXPECT_EQ(host.rects[1], (ScreenRect{764, 110, 1024, 205}));
    EXPECT_EQ(host.rects[4], (ScreenRect{0, 0, 150, 205}));
    EXPECT_EQ(host.rects[0], (ScreenRect{150, 0, 764, 205}));
    EXPECT_EQ(host.rects[3], (ScreenRect{0, 205, 1024, 357}));
    EXPECT_EQ(host.rects[2], (ScreenRect{0, 357, 1024, 555}));
}

TEST_F(WindowSetStart, StuckMatrixDescribesTheStrip) {
    Start(true, true);
    const StuckMatrix& m = set.Stuck();
    EXPECT_TRUE(m.IsStuck(0, StuckMatrix::kMainSlot));  // analysis left of main
    EXPECT_TRUE(m.IsStuck(1, StuckMatrix::kMainSlot));  // media player under main
    EXPECT_FALSE(m.IsStuck(2, StuckMatrix::kMainSlot));
    EXPECT_FALSE(m.IsStuck(3, StuckMatrix::kMainSlot));
    EXPECT_FALSE(m.IsStuck(4, StuckMatrix::kMainSlot));
    EXPECT_TRUE(m.IsStuck(0, 4));
    EXPECT_TRUE(m.IsStuck(0, 3));
    EXPECT_TRUE(m.IsStuck(3, 2));
    EXPECT_FALSE(m.IsStuck(4, 2));  // volume and keyboard are a staff apart
}

TEST_F(WindowSetStart, MovingTheMainWindowMovesAllOfThem) {
    Start(true, true);
    const auto before = host.rects;
    host.DragMain(764 - 100, 50);
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        EXPECT_EQ(host.rects[i].left, before[i].left - 100) << i;
        EXPECT_EQ(host.rects[i].top, before[i].top + 50) << i;
        EXPECT_EQ(host.rects[i].Width(), before[i].Width()) << i;
    }
}

TEST_F(WindowSetStart, SnappingOffStillGivesTheSameChain) {
    // The strip is exact contact everywhere, so the 1-pixel distance finds the same pairs.
    Start(false, true);
    host.DragMain(700, 20);
    EXPECT_EQ(host.rects[2].left, -64);
    EXPECT_EQ(host.rects[2].top, 357 + 20);
}

TEST_F(WindowSetStart, DockingOffLeavesTheWindowsWhereTheyAre) {
    Start(true, false);
    const auto before = host.rects;
    host.DragMain(600, 300);
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        EXPECT_EQ(host.rects[i], before[i]) << i;
    }
    // The offset of the next move counts from where the main window now is.
    host.docking = true;
    host.DragMain(610, 300);
    EXPECT_EQ(host.rects[1].left, before[1].left + 10);
}

TEST_F(WindowSetStart, WindowDraggedAwayNoLongerFollows) {
    Start(true, true);
    host.Drag(1, 300, 700);  // media player away from everything
    const ScreenRect player = host.rects[1];
    host.DragMain(700, 0);
    EXPECT_EQ(host.rects[1], player);
    EXPECT_EQ(host.rects[0].left, 150 - 64);  // the analysis window still follows
}

TEST_F(WindowSetStart, WindowDroppedBackOntoTheChainFollowsAgain) {
    Start(true, true);
    host.Drag(1, 300, 700);
    host.Drag(1, 768, 106);  // within 9 pixels of the spot under the main window
    EXPECT_EQ(host.rects[1], (ScreenRect{764, 110, 1024, 205}));
    host.DragMain(700, 0);
    EXPECT_EQ(host.rects[1].left, 700);
}

TEST_F(WindowSetStart, WindowOnePixelAwayWithSnappingOffIsLeftBehind) {
    // One pixel right of the analysis window and one below the main window: no contact.
    Start(false, true);
    host.Drag(1, 765, 111);
    EXPECT_EQ(host.rects[1].left, 765);
    EXPECT_EQ(host.rects[1].top, 111);
    host.DragMain(700, 0);
    EXPECT_EQ(host.rects[1].left, 765);
}

TEST_F(WindowSetStart, WindowOnePixelAwayWithSnappingOnIsPulledIn) {
    Start(true, true);
    host.Drag(1, 765, 111);
    EXPECT_EQ(host.rects[1], (ScreenRect{764, 110, 1024, 205}));
    host.DragMain(700, 0);
    EXPECT_EQ(host.rects[1].left, 700);
}

TEST_F(WindowSetStart, ChainThroughOtherWindowsIsFollowed) {
    Start(true, true);
    // The keyboard touches only the staff, the staff only the analysis, media player and
    // volume windows; yet it follows the main window.
    EXPECT_FALSE(set.Stuck().IsStuck(2, StuckMatrix::kMainSlot));
    host.DragMain(764, 200);
    EXPECT_EQ(host.rects[2].top, 357 + 200);
}

TEST_F(WindowSetStart, MinimisedMainWindowMovesNothing) {
    Start(true, true);
    const auto before = host.rects;
    const ScreenRect remembered = set.RememberedRect();
    set.Dock(ScreenRect::FromPosition(-32000, -32000, 160, 24), true, true);
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        EXPECT_EQ(host.rects[i], before[i]) << i;
    }
    EXPECT_EQ(set.RememberedRect(), remembered);
}

TEST_F(WindowSetStart, WindowWithoutSystemWindowIsNotMoved) {
    Start(true, true);
    host.exists[3] = false;
    host.DragMain(764, 100);
    for (int id : host.offsets) {
        EXPECT_NE(id, 3);
    }
    EXPECT_EQ(host.rects[2].top, 357 + 100);  // the chain through the staff is the matrix's
}

TEST_F(WindowSetStart, HiddenWindowLosesItsEntriesWhenAnotherWindowMoves) {
    Start(true, true);
    set.ToggleWindow(3);   // hide the staff
    host.Drag(2, 0, 357);  // the keyboard "moves" onto its own spot
    EXPECT_FALSE(set.Stuck().IsStuck(2, 3));
    EXPECT_FALSE(set.Stuck().IsStuck(3, 2));
    // Without the staff the keyboard has no way to the main window any more.
    host.DragMain(764, 100);
    EXPECT_EQ(host.rects[2].top, 357);
}

class WindowSetBasics : public ::testing::Test {
  protected:
    WindowSetBasics() : set(host) {}
    FakeWindowHost host;
    WindowSet set;
};

TEST_F(WindowSetBasics, EveryWindowShownAtConstruction) {
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        EXPECT_TRUE(set.IsShown(i));
    }
    EXPECT_FALSE(set.IsShown(5));
    EXPECT_FALSE(set.IsShown(-1));
}

TEST_F(WindowSetBasics, ToggleFlipsTheFlagAndTheWindow) {
    set.ToggleWindow(2);
    EXPECT_FALSE(set.IsShown(2));
    EXPECT_FALSE(host.visible[2]);
    set.ToggleWindow(2);
    EXPECT_TRUE(set.IsShown(2));
    EXPECT_TRUE(host.visible[2]);
    ASSERT_EQ(host.showCalls.size(), 2u);
    // A window the user asked for comes to the front.
    EXPECT_TRUE(host.activations[1]);
}

TEST_F(WindowSetBasics, MinimiseHidesAndRestoreShowsExactlyTheShownWindows) {
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
    EXPECT_TRUE(host.visible[0]);
    EXPECT_FALSE(host.visible[1]);
    EXPECT_TRUE(host.visible[2]);
    EXPECT_TRUE(host.visible[3]);
    EXPECT_FALSE(host.visible[4]);
    // Restoring does not shuffle the activation order by activating each window.
    for (bool activated : host.activations) {
        EXPECT_FALSE(activated);
    }
    // The flags are those of the View menu and did not change.
    EXPECT_TRUE(set.IsShown(0));
    EXPECT_FALSE(set.IsShown(1));
    EXPECT_FALSE(set.IsShown(4));
}

TEST_F(WindowSetBasics, ActivationOrderStartsInIndexOrder) {
    const std::array<int, 5> expected{0, 1, 2, 3, 4};
    EXPECT_EQ(set.ActivationOrder(), expected);
}

TEST_F(WindowSetBasics, BringToFrontMovesTheIndexToTheFront) {
    set.BringToFront(3);
    EXPECT_EQ(set.ActivationOrder(), (std::array<int, 5>{3, 0, 1, 2, 4}));
    set.BringToFront(1);
    EXPECT_EQ(set.ActivationOrder(), (std::array<int, 5>{1, 3, 0, 2, 4}));
    set.BringToFront(1);
    EXPECT_EQ(set.ActivationOrder(), (std::array<int, 5>{1, 3, 0, 2, 4}));
    set.BringToFront(4);
    EXPECT_EQ(set.ActivationOrder(), (std::array<int, 5>{4, 1, 3, 0, 2}));
    set.BringToFront(7);
    EXPECT_EQ(set.ActivationOrder(), (std::array<int, 5>{4, 1, 3, 0, 2}));
}

TEST_F(WindowSetBasics, FloatingWindowsAreStackedBehindTheMainInActivationOrder) {
    set.BringToFront(3);
    set.BringToFront(1);
    set.StackBehindMain();
    const std::vector<std::pair<int, int>> expected{{1, kMain}, {3, 1}, {0, 3}, {2, 0}, {4, 2}};
    EXPECT_EQ(host.zOrder, expected);
}

TEST_F(WindowSetBasics, MissingWindowsAreLeftOutOfTheStack) {
    host.exists[0] = false;
    set.StackBehindMain();
    const std::vector<std::pair<int, int>> expected{{1, kMain}, {2, 1}, {3, 2}, {4, 3}};
    EXPECT_EQ(host.zOrder, expected);
}

}  // namespace
}  // namespace melvora

#include "ui/deck_button_tracker.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

// A press inside, then: no move, a move out, or a move out and back in. Only a release
// inside sends the command; the capture is kept until the release either way.
TEST(DeckButtonTrackerTest, ReleaseInsideSendsOneCommandReleaseOutsideNothing) {
    for (int moves = 0; moves < 3; ++moves) {
        SCOPED_TRACE(moves);
        DeckButtonTracker t;
        DeckButtonReaction enter = t.OnMouseMove(true);
        EXPECT_EQ(t.State(), DeckButtonState::kHover);
        EXPECT_TRUE(enter.captureMouse);
        EXPECT_TRUE(enter.repaint);
        DeckButtonReaction down = t.OnButtonDown();
        EXPECT_EQ(t.State(), DeckButtonState::kPressed);
        EXPECT_TRUE(down.activateParent);
        EXPECT_FALSE(down.sendCommand);
        if (moves >= 1) {
            DeckButtonReaction leave = t.OnMouseMove(false);
            EXPECT_EQ(t.State(), DeckButtonState::kPressedOutside);
            EXPECT_TRUE(leave.repaint);
            EXPECT_FALSE(leave.releaseMouse);
        }
        if (moves == 2) {
            t.OnMouseMove(true);
            EXPECT_EQ(t.State(), DeckButtonState::kPressed);
        }
        DeckButtonReaction up = t.OnButtonUp();
        EXPECT_EQ(up.sendCommand, moves != 1);
        EXPECT_TRUE(up.releaseMouse);
        EXPECT_EQ(t.State(), DeckButtonState::kNormal);
    }
}

TEST(DeckButtonTrackerTest, LeavingWhileHoveredReleasesCapture) {
    DeckButtonTracker t;
    t.OnMouseMove(true);
    DeckButtonReaction again = t.OnMouseMove(true);
    EXPECT_FALSE(again.repaint);
    EXPECT_FALSE(again.captureMouse);
    DeckButtonReaction leave = t.OnMouseMove(false);
    EXPECT_TRUE(leave.releaseMouse);
    EXPECT_EQ(t.State(), DeckButtonState::kNormal);
}

TEST(DeckButtonTrackerTest, ButtonDownWithoutHoverDoesNotPress) {
    DeckButtonTracker t;
    DeckButtonReaction down = t.OnButtonDown();
    EXPECT_EQ(t.State(), DeckButtonState::kNormal);
    EXPECT_TRUE(down.activateParent);
    EXPECT_FALSE(t.OnButtonUp().sendCommand);
}

TEST(DeckButtonTrackerTest, LostMouseReturnsToNormalFromEveryState) {
    for (int steps = 0; steps < 4; ++steps) {
        DeckButtonTracker t;
        if (steps >= 1)
            t.OnMouseMove(true);
        if (steps >= 2)
            t.OnButtonDown();
        if (steps >= 3)
            t.OnMouseMove(false);
        DeckButtonReaction lost = t.OnLostMouse();
        EXPECT_EQ(t.State(), DeckButtonState::kNormal) << steps;
        EXPECT_EQ(lost.repaint, steps > 0) << steps;
        EXPECT_FALSE(t.OnButtonUp().sendCommand) << steps;
    }
}

}  // namespace
}  // namespace melvora

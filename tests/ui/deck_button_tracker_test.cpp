#include "ui/deck_button_tracker.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

TEST(DeckButtonTrackerTest, ClickInsideSendsOneCommand) {
    DeckButtonTracker t;
    DeckButtonReaction enter = t.OnMouseMove(true);
    EXPECT_EQ(t.State(), DeckButtonState::kHover);
    EXPECT_TRUE(enter.captureMouse);
    EXPECT_TRUE(enter.repaint);
    DeckButtonReaction down = t.OnButtonDown();
    EXPECT_EQ(t.State(), DeckButtonState::kPressed);
    EXPECT_TRUE(down.activateParent);
    EXPECT_FALSE(down.sendCommand);
    DeckButtonReaction up = t.OnButtonUp();
    EXPECT_TRUE(up.sendCommand);
    EXPECT_TRUE(up.releaseMouse);
    EXPECT_EQ(t.State(), DeckButtonState::kNormal);
}

TEST(DeckButtonTrackerTest, ReleaseOutsideSendsNothingMovingBackInSends) {
    for (bool backIn : {false, true}) {
        DeckButtonTracker t;
        t.OnMouseMove(true);
        t.OnButtonDown();
        DeckButtonReaction leave = t.OnMouseMove(false);
        EXPECT_EQ(t.State(), DeckButtonState::kPressedOutside);
        EXPECT_TRUE(leave.repaint);
        EXPECT_FALSE(leave.releaseMouse);  // keeps the capture to see the release
        if (backIn) {
            t.OnMouseMove(true);
            EXPECT_EQ(t.State(), DeckButtonState::kPressed);
        }
        DeckButtonReaction up = t.OnButtonUp();
        EXPECT_EQ(up.sendCommand, backIn);
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

#include "views/energy_bar_meter.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

// Hand values: L = 2a; below half (2a, 1, 0) at the top, from half (1, 2(1 - a), 0); from
// half on, a green-to-yellow quad under the lower half first.
TEST(EnergyBarMeter, LevelQuadsAndColours) {
    const struct {
        float a;
        int count;
        float top, topRed, topGreen;  // of the last quad
    } cases[] = {{0.25f, 1, 0.5f, 0.5f, 1.0f},
                 {0.5f, 2, 1.0f, 1.0f, 1.0f},
                 {0.75f, 2, 1.5f, 1.0f, 0.5f},
                 {1.2f, 2, 2.4f, 1.0f, -0.4f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a);
        EnergyBarMeter::Quad quads[2];
        ASSERT_EQ(EnergyBarMeter::LevelQuads(c.a, quads), c.count);
        const EnergyBarMeter::Quad& last = quads[c.count - 1];
        EXPECT_FLOAT_EQ(quads[0].bottom, 0.0f);
        EXPECT_FLOAT_EQ(quads[0].top, c.count == 2 ? 1.0f : c.top);
        EXPECT_FLOAT_EQ(last.bottom, c.count == 2 ? 1.0f : 0.0f);
        EXPECT_NEAR(last.top, c.top, 1e-6);
        EXPECT_NEAR(last.topColour.r, c.topRed, 1e-6);
        EXPECT_NEAR(last.topColour.g, c.topGreen, 1e-6);
        EXPECT_FLOAT_EQ(last.topColour.b, 0.0f);
    }
}

TEST(EnergyBarMeter, PeakFallsFasterAndKeepsItsStepWhenCaught) {
    EnergyBarMeter meter;
    EXPECT_FALSE(meter.OnPaint(0.5f));
    EXPECT_FLOAT_EQ(meter.Peak(), 0.5f);
    EXPECT_TRUE(meter.OnPaint(0.2f));
    EXPECT_NEAR(meter.Peak(), 0.495f, 1e-6);
    EXPECT_TRUE(meter.OnPaint(0.2f));
    EXPECT_NEAR(meter.Peak(), 0.485f, 1e-6);
    EXPECT_NEAR(meter.CurrentFallStep(), 0.015f, 1e-6);
    // A rising voice carries the marker; the step it had gathered stays.
    EXPECT_FALSE(meter.OnPaint(0.9f));
    EXPECT_FLOAT_EQ(meter.Peak(), 0.9f);
    EXPECT_NEAR(meter.CurrentFallStep(), 0.015f, 1e-6);
    // Falling below the level puts it on the level and resets the step.
    EXPECT_TRUE(meter.OnPaint(0.89f));
    EXPECT_FLOAT_EQ(meter.Peak(), 0.89f);
    EXPECT_FLOAT_EQ(meter.CurrentFallStep(), 0.005f);
}

// Idle program, last amplitude 0.8, marker at 1.0 and a first paint fall to 0.995: each
// 50 ms tick lowers it by 0.005 in the timer and by the growing step (0.010, 0.015, ...) in
// the paint: 0.98, 0.96, 0.935, 0.905, 0.87, 0.83, then the 7th paint passes 0.8 and sets it
// there; the 8th tick finds it on the level and stops the timer.
TEST(EnergyBarMeter, IdleTimerBringsThePeakDownWithinEightTicks) {
    EnergyBarMeter meter;
    meter.OnPaint(1.0f);
    meter.OnPaint(0.8f);  // the first fall: 0.995, step 0.01
    int ticks = 0;
    while (meter.OnTimer(0.8f)) {
        ++ticks;
        meter.OnPaint(0.8f);
        ASSERT_LT(ticks, 50);
    }
    EXPECT_EQ(ticks, 7);
    EXPECT_FLOAT_EQ(meter.Peak(), 0.8f);
}

TEST(EnergyBarMeter, ClipWarningLightsForASecondAfterANewClip) {
    EnergyBarMeter meter;
    meter.NoteClippedBlocks(7, 1000);  // clips before the bar looked: no warning
    EXPECT_FALSE(meter.ClipLit(1000));
    meter.NoteClippedBlocks(7, 1050);
    EXPECT_FALSE(meter.ClipLit(1050));
    meter.NoteClippedBlocks(8, 1100);
    EXPECT_TRUE(meter.ClipLit(1100));
    EXPECT_TRUE(meter.ClipLit(2099));
    EXPECT_FALSE(meter.ClipLit(2100));
    meter.NoteClippedBlocks(8, 2000);  // no new clip: the hold is not extended
    EXPECT_FALSE(meter.ClipLit(2100));
}

}  // namespace
}  // namespace melvora

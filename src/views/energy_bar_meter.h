#pragma once

#include <cstdint>

#include "views/view_colour.h"

namespace melvora {

// What the energy bar draws and how its peak marker falls, in view units: the bar is 2.0
// high for an amplitude of 1 (full scale) and its colour runs from green at 0 through yellow
// at 0.5 to red at 1. Amplitudes are not clamped; above 1 the bar runs past the top.
// Also keeps the clipping warning: the top of the bar is lit red for a second after the
// input held a sample at full scale.
class EnergyBarMeter {
  public:
    static constexpr float kFallStep = 0.005f;          // first fall of a falling marker
    static constexpr float kFallAcceleration = 0.005f;  // added per fall; also per timer tick
    static constexpr float kFullHeight = 2.0f;
    static constexpr float kPeakHalfThickness = 0.02f;
    static constexpr int kClipHoldMs = 1000;
    // The lit top of the bar while clipping: from this height to kFullHeight.
    static constexpr float kClipBottom = 1.8f;

    // One smoothly shaded quad of the level bar, from `bottom` to `top` (view units).
    struct Quad {
        float bottom = 0.0f;
        float top = 0.0f;
        ViewColour bottomColour;
        ViewColour topColour;
    };

    // The quads of the level bar for amplitude `a`; returns how many (1 or 2) were written.
    static int LevelQuads(float a, Quad quads[2]);
    // The bar's colour at the height of amplitude `a`.
    static ViewColour ColourAt(float a);

    // A paint with the newest amplitude `a`: the marker follows a rising amplitude at once
    // and falls by a growing step while above it. Returns true when the marker was above
    // (so the falling timer should run, outside recording and replay).
    bool OnPaint(float a);
    // A 50 ms timer tick with the newest amplitude: the marker falls by the fixed step.
    // Returns false when it has met the amplitude (the timer can stop).
    bool OnTimer(float a);

    float Peak() const { return peak_; }
    float CurrentFallStep() const { return fallStep_; }

    // The engine's count of clipped blocks, seen at `nowMs`: a change lights the warning
    // for a second. The first count seen only sets the reference.
    void NoteClippedBlocks(uint32_t clippedBlocks, int64_t nowMs);
    bool ClipLit(int64_t nowMs) const { return nowMs < clipUntilMs_; }

  private:
    float peak_ = 0.0f;
    float fallStep_ = kFallStep;
    bool clipSeen_ = false;
    uint32_t clippedBlocks_ = 0;
    int64_t clipUntilMs_ = INT64_MIN;
};

}  // namespace melvora

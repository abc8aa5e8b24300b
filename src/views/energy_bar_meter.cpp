#include "views/energy_bar_meter.h"

namespace melvora {

ViewColour EnergyBarMeter::ColourAt(float a) {
    if (a * kFullHeight < 1.0f) {
        return ViewColour{2.0f * a, 1.0f, 0.0f, 1.0f};
    }
    return ViewColour{1.0f, 2.0f * (1.0f - a), 0.0f, 1.0f};
}

int EnergyBarMeter::LevelQuads(float a, Quad quads[2]) {
    const ViewColour green{0.0f, 1.0f, 0.0f, 1.0f};
    const ViewColour yellow{1.0f, 1.0f, 0.0f, 1.0f};
    const float level = a * kFullHeight;
    if (1.0f <= level) {
        quads[0] = Quad{0.0f, 1.0f, green, yellow};
        quads[1] = Quad{1.0f, level, yellow, ViewColour{1.0f, 2.0f * (1.0f - a), 0.0f, 1.0f}};
        return 2;
    }
    quads[0] = Quad{0.0f, level, green, ViewColour{2.0f * a, 1.0f, 0.0f, 1.0f}};
    return 1;
}

bool EnergyBarMeter::OnPaint(float a) {
    if (!(peak_ > a)) {
        // A rising amplitude carries the marker; its fall step is kept.
        peak_ = a;
        return false;
    }
    peak_ -= fallStep_;
    fallStep_ += kFallAcceleration;
    if (peak_ < a) {
        peak_ = a;
        fallStep_ = kFallAcceleration;
    }
    return true;
}

bool EnergyBarMeter::OnTimer(float a) {
    peak_ -= kFallAcceleration;
    if (!(peak_ > a)) {
        peak_ = a;
        return false;
    }
    return true;
}

void EnergyBarMeter::NoteClippedBlocks(uint32_t clippedBlocks, int64_t nowMs) {
    if (clipSeen_ && clippedBlocks != clippedBlocks_) {
        clipUntilMs_ = nowMs + kClipHoldMs;
    }
    clipSeen_ = true;
    clippedBlocks_ = clippedBlocks;
}

}  // namespace melvora

#pragma once

namespace melvora {

// The engine's result for one block, five 32-bit floats in this order. All 0 when the engine
// is created; overwritten in place by every block.
struct AnalysisResult {
    float level = 0.0f;    // 0..1, normalised log energy of the frame; 0 when gated
    float pitchHz = 0.0f;  // Hz, 0 when there is no pitch or the gate is closed
    float tessim = 0.0f;   // 0..1, share of energy in the higher harmonics
    float jitter = 0.0f;   // 0..1, 1 = perfectly steady pitch
    float shimmer = 0.0f;  // 0..1, 1 = perfectly steady amplitude
};

}  // namespace melvora

#pragma once

#include "analysis/note.h"

namespace melvora {

// A published average of one or more AnalysisResults, as every view reads it.
struct ResultRecord {
    float pitchHz = 0.0f;  // Hz; 0 when unvoiced
    float tessim = 0.0f;   // 0..1
    float level = 0.0f;    // 0..1
    float jitter = 0.0f;   // 0..1, 1 = steady pitch
    float shimmer = 0.0f;  // 0..1, 1 = steady amplitude
    Note note;             // note of pitchHz; A4 when the pitch is 0 or less. Views decide
                           // from the pitch, not from the note, whether a note is sung.
};

}  // namespace melvora

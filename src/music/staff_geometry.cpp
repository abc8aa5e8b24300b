#include "music/staff_geometry.h"

#include <cmath>

#include "analysis/note.h"

namespace melvora {

namespace {

constexpr float kColumnsLeft = 0.05f;
constexpr float kNoteOffsetX = 0.025f;
constexpr float kNoteRise = 0.0504f;
constexpr float kNoteWidth = 0.035f;
constexpr float kNoteHeight = 0.54f;
constexpr float kSharpWidth = 0.015f;
constexpr float kSharpHeight = 0.288f;
constexpr float kNaturalStep = 0.06f;

// Bottom of column `semitone`'s origin: each natural sits half a line spacing above the
// natural before it, and a sharp note at the height of the natural before it.
float ColumnBottom(int semitone) {
    float y = 0.0f;
    for (int i = 0; i < semitone; ++i) {
        y += kNoteRise;
        y += StaffGeometry::HasSharp(i + 1) ? -kNoteRise : kNaturalStep - kNoteRise;
    }
    return y;
}

}  // namespace

KeyQuad StaffGeometry::StaffLine(int k) {
    return {0.0f, 0.28f + 0.12f * static_cast<float>(k), 1.0f,
            0.27f + 0.12f * static_cast<float>(k)};
}

KeyQuad StaffGeometry::LedgerLine() {
    return {0.06625f, 0.16f, 0.10125f, 0.15f};
}

KeyQuad StaffGeometry::Clef() {
    return {0.005f, 0.97f, 0.045f, 0.02f};
}

KeyQuad StaffGeometry::NoteQuad(int semitone) {
    const float left = kColumnsLeft + kColumnWidth * static_cast<float>(semitone) + kNoteOffsetX;
    const float bottom = ColumnBottom(semitone) + kNoteRise;
    return {left, bottom + kNoteHeight, left + kNoteWidth, bottom};
}

KeyQuad StaffGeometry::SharpQuad(int semitone) {
    const float left = kColumnsLeft + kColumnWidth * static_cast<float>(semitone);
    const float bottom = ColumnBottom(semitone);
    return {left, bottom + kSharpHeight, left + kSharpWidth, bottom};
}

float StaffGeometry::MarkerSemitones(float pitchHz) {
    const double c4 = Note{kOctave, 0}.ToFrequency();
    const double octaves = std::log2(static_cast<double>(pitchHz) / c4);
    float s = static_cast<float>(12.0 * (octaves - std::floor(octaves)));
    if (s >= 11.5f) {
        s -= 12.0f;
    }
    return s;
}

bool StaffGeometry::InTune(float semitones, float toleranceSemitones) {
    return semitones - std::floor(semitones) <= toleranceSemitones ||
           std::ceil(semitones) - semitones <= toleranceSemitones;
}

void StaffGeometry::PickingColour(int semitone, float rgba[4]) {
    static constexpr float kLevels[3] = {0.33f, 0.66f, 0.99f};
    rgba[0] = rgba[1] = rgba[2] = 0.0f;
    rgba[3] = 1.0f;
    if (semitone < 0 || semitone >= kNotes) {
        return;
    }
    const float level = kLevels[semitone % 3];
    switch (semitone / 3) {
        case 0:
            rgba[0] = level;
            break;
        case 1:
            rgba[1] = level;
            break;
        case 2:
            rgba[2] = level;
            break;
        default:
            rgba[1] = level;
            rgba[2] = level;
            break;
    }
}

int StaffGeometry::PickedSemitone(const float rgba[4]) {
    for (int i = 0; i < kNotes; ++i) {
        float colour[4];
        PickingColour(i, colour);
        bool close = true;
        for (int c = 0; c < 4; ++c) {
            close = close && std::fabs(colour[c] - rgba[c]) < 0.1f;
        }
        if (close) {
            return i;
        }
    }
    return -1;
}

}  // namespace melvora

#pragma once

#include "music/key_shape.h"

namespace melvora {

// Where the staff view draws things, in unit coordinates (the client area is the unit square,
// origin lower left): the five lines, the clef, twelve note columns C4..B4 (a sharp sign
// before the five black-key notes), the sung-pitch marker and its note name; and the
// colour picking that finds the note under the mouse.
class StaffGeometry {
  public:
    static constexpr int kNotes = 12;
    static constexpr int kOctave = 4;
    static constexpr float kColumnWidth = 0.077f;
    static constexpr float kMarkerWidth = 0.021f;
    static constexpr float kNameHeightHigh = 0.7875f;
    static constexpr float kNameHeightLow = 0.0375f;
    // The tolerance when the options hold none that makes sense [0.15 semitone].
    static constexpr float kDefaultToleranceSemitones = 0.15f;

    static bool HasSharp(int semitone) { return key_shape::IsBlackSemitone(semitone); }

    // Staff line k (0..4) and the ledger line of C, as quads with top > bottom.
    static KeyQuad StaffLine(int k);
    static KeyQuad LedgerLine();
    static KeyQuad Clef();
    // The note head and stem of column `semitone`, and its sharp sign (only for sharps).
    static KeyQuad NoteQuad(int semitone);
    static KeyQuad SharpQuad(int semitone);

    // The marker's position in semitones above C4, folded into -0.5 .. 11.5: a pitch just
    // below C (of any octave) sits just left of the first column, not at the last.
    static float MarkerSemitones(float pitchHz);
    static float MarkerCentreX(float semitones) { return 0.0855f + kColumnWidth * semitones; }
    // Within `toleranceSemitones` of a whole semitone (either side).
    static bool InTune(float semitones, float toleranceSemitones);
    // Baseline of the note name: at the top for octaves up to 6, at the bottom above.
    static float NameBaseline(int octave) { return octave <= 6 ? kNameHeightHigh : kNameHeightLow; }

    // Picking colour of a column (alpha 1), and the column whose colour is within 0.1 of
    // `rgba` in every component, or -1 (the white background hits nothing).
    static void PickingColour(int semitone, float rgba[4]);
    static int PickedSemitone(const float rgba[4]);
};

}  // namespace melvora

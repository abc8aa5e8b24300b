#pragma once

#include <cstdint>
#include <vector>

namespace melvora {

// How well a sung try matched a melody: which note each voiced stretch belongs to, how far
// from it the voice was, and the share of the voiced time within +-50 cents of its note.
//
// Alignment: the try's pitch track is cut into voiced runs (a gap shorter than
// kBridgedGapMs counts as voiced, so consonants and tracker drop-outs do not split a note).
// A clock runs from the first voiced frame and only while the voice sounds, so a late start
// and breaths do not move the melody along; the melody's sung notes (rests left out) are
// spread over the voiced time in proportion to their durations, which absorbs a slower or
// faster tempo. Each boundary between two notes is then moved, within a quarter of the
// shorter note, to the frame where the voice actually changes note.
//
// A whole try sung an octave (or two) away from the melody is scored against the melody
// transposed by those octaves and reported as such, not as 1200 cents off.
class TryScorer {
  public:
    // Deviations at most this far count as in tune [50 cents].
    static constexpr double kInTuneCents = 50.0;
    // Unvoiced gaps shorter than this do not stop the voiced clock [150 ms].
    static constexpr double kBridgedGapMs = 150.0;

    struct NoteScore {
        int key = 0;                // MIDI key of the melody note (before any octave shift)
        double expectedHz = 0.0;    // of the key transposed by the try's octave shift
        double sungMedianHz = 0.0;  // median of the voiced frames assigned; 0 when none
        double cents = 0.0;         // median deviation from expectedHz; 0 when none
        double inTuneShare = 0.0;   // 0..1 of its voiced frames within +-kInTuneCents
        int voicedFrames = 0;
        int firstFrame = -1;  // frames of the track assigned to it, -1 when none
        int lastFrame = -1;
    };

    struct Score {
        std::vector<NoteScore> notes;  // one per sung melody note, rests left out
        int octaveShift = 0;           // whole try sung this many octaves away (-1 below)
        double inTuneShare = 0.0;      // over all voiced frames assigned to a note
        double meanCents = 0.0;        // mean signed deviation of those frames
        int voicedFrames = 0;          // assigned voiced frames; 0 = nothing sung
        // Per frame of the track: index into notes, or -1 (unvoiced or before the voice).
        std::vector<int> frameNote;
        std::vector<float> framePitchHz;  // the track as scored
        double framePeriodMs = 0.0;
    };

    struct MelodyNote {
        int key = 0;  // MIDI key; negative = rest
        int32_t durationMs = 0;
    };

    // `pitchHz`: one value per frame, every `framePeriodMs` milliseconds, 0 = no pitch.
    static Score Rate(const std::vector<MelodyNote>& melody, const std::vector<float>& pitchHz,
                      double framePeriodMs);

    // Frequency of a MIDI key, A4 (69) = 440 Hz.
    static double KeyHz(double key);
    // 1200 * log2(hz / referenceHz).
    static double Cents(double hz, double referenceHz);
};

}  // namespace melvora

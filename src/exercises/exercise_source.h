#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exercises/exercise_note.h"

namespace melvora {

// The readable description of an exercise, from which the ".exc" file is generated
// (data/Exercises/src/README.md has the same for exercise writers):
//
//   # a comment line (only whole lines are comments)
//   title: Five-note scale
//   description: Text shown in the chooser.\nA second line.
//   introduction: Text shown before the first step.
//   instrument: 0       <- optional: General MIDI program 0-127, or "none"
//   velocity: 90        <- optional: velocity of the notes that follow [100]
//
//   step: Low voices    <- starts a step; the value is the step's text
//   instrument: 73      <- optional, after "step": that step's program, or "none"
//   notes: C3/500 D3/500 rest/250 E3/1000/110 ...
//
// (The "<-" remarks are not part of the format.) A note is KEY/DURATION_MS[/VELOCITY]; KEY
// is a note name with its octave (C4 is middle C, 60; sharps "C#4", flats "Db4"), a MIDI
// key number 0-127, or "rest". Values may use "\n" for a line break and "\\" for a
// backslash. Several "notes:" lines add to the same step.
class ExerciseSource {
  public:
    struct Step {
        std::string text;
        int instrument = -1;  // -1: no byte written; 255 "none"; else 0..127
        std::vector<ExerciseNote> notes;
    };

    std::string title;
    std::string description;
    std::string introduction;
    int instrument = -1;  // -1 absent, 255 "none", else 0..127
    std::vector<Step> steps;

    // Reads the description; on failure returns false and `error` names the line.
    bool Parse(const std::string& text, std::string* error);

    // The ".exc" file bytes.
    std::vector<uint8_t> Encode() const;

    // "C4" -> 60, "A#3"/"Bb3" -> 58, "rest" -> -1, "64" -> 64. False when not a key.
    static bool ParseKey(const std::string& token, int* key);
};

}  // namespace melvora

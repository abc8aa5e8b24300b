#pragma once

#include <cstdint>
#include <string>

namespace melvora {

// An equal-tempered note (A4 = 440 Hz scale, C0 = 16.352 Hz): the octave (C4 is middle C)
// and the semitone within it, 0 = C ... 11 = B. MIDI key = 12 x (octave + 1) + semitone.
struct Note {
    int32_t octave = 4;
    int32_t semitone = 9;

    // The nearest note to `frequencyHz`, the boundary between two neighbouring semitones
    // being their arithmetic (not geometric) midpoint; a frequency exactly on it goes up.
    // 0 Hz, negative, infinite and NaN frequencies give A4.
    static Note FromFrequency(float frequencyHz);
    // The note of a MIDI key number (60 = C4); keys below 0 give octaves below -1.
    static Note FromMidiKey(int key);

    // 16.352 x 2^(octave + semitone / 12) in Hz (C4 = 261.632, A4 = 440.011).
    double ToFrequency() const;

    // (12 x (octave + 1) + semitone) << 8: ready to be or-ed into a MIDI short message as
    // its first data byte. C4 gives 60 << 8.
    uint32_t MidiKey() const;

    // "A" or "La" (letters or solfege, as the "Represent Notes with Letters" option says),
    // followed by the octave ("A4", "La4") when `withOctave`; empty when the semitone is
    // outside 0..11.
    std::string Name(bool withOctave, bool letters) const;

    // Three lines: the name without octave, the note's frequency with two decimals and the
    // octave in words: "(4th octave)" in English, "(4. oktav)" in Turkish (language 1; any
    // other value is English).
    std::string Label(bool letters, int language) const;

    bool operator==(const Note& other) const {
        return octave == other.octave && semitone == other.semitone;
    }
    bool operator!=(const Note& other) const { return !(*this == other); }
};

}  // namespace melvora

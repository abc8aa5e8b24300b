#pragma once

#include <vector>

#include "analysis/note.h"
#include "music/piano_key.h"

namespace melvora {

// The keys of the piano as slots: 14 per octave (C to E at positions 0-4, a gap at 5, F to B
// at 6-12, a gap at 13), from the lowest to the highest note. A0..C8 gives 103 slots, 88 keys
// and 15 gaps; slot i is centred (i + 1) / 2 white-key widths from the left edge.
class PianoKeyboard {
  public:
    // Highlight kinds.
    static constexpr int kHover = 0;
    static constexpr int kPressed = 1;

    PianoKeyboard(Note lowest = Note{0, 9}, Note highest = Note{8, 0});

    // Slot position of a semitone within its octave (0..12).
    static int SlotPosition(int semitone);
    static int AbsoluteSlot(int octave, int semitone);

    int SlotCount() const { return static_cast<int>(keys_.size()); }
    Note Lowest() const { return lowest_; }
    bool IsKey(int slot) const;
    CPianoKey& Key(int slot) { return keys_[static_cast<size_t>(slot)]; }
    const CPianoKey& Key(int slot) const { return keys_[static_cast<size_t>(slot)]; }

    // The slot of MIDI note `note`, clamped to the keyboard (below A0 gives 0, above C8 the
    // last slot).
    int SlotOfMidiNote(int note) const;
    int MidiNoteOfSlot(int slot) const;

    // Highlights key `slot` in the colour of `kind`; false outside the keyboard.
    bool Press(int slot, int kind);
    bool Release(int slot);
    static void HighlightColour(int kind, bool black, float rgba[4]);

    // Geometry for a client area of `widthPixels` x `heightPixels`: the white-key width fills
    // the width less 5 pixels each side; the keys are 35 pixels shorter than the area.
    float WhiteKeyWidth(int widthPixels) const;
    static float KeyLength(int heightPixels) { return static_cast<float>(heightPixels - 35); }

    // The slot under the point (x, y) in pixels, relative to the keyboard rectangle's top left
    // corner, for keys `whiteKeyWidth` wide and `keyLength` long. Black keys lie over white;
    // points left of the first slot give slot 0, right of the last the last slot.
    int HitTest(float xPixels, float yPixels, float whiteKeyWidth, float keyLength) const;

  private:
    Note lowest_;
    Note highest_;
    std::vector<CPianoKey> keys_;
};

}  // namespace melvora

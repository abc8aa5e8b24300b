#include "music/piano_keyboard.h"

#include <algorithm>

namespace melvora {

PianoKeyboard::PianoKeyboard(Note lowest, Note highest) : lowest_(lowest), highest_(highest) {
    const int first = AbsoluteSlot(lowest.octave, lowest.semitone);
    const int last = AbsoluteSlot(highest.octave, highest.semitone);
    keys_.resize(static_cast<size_t>(std::max(0, last - first + 1)));
    int octave = lowest.octave;
    int semitone = lowest.semitone;
    for (int slot = 0; slot < SlotCount(); ++slot) {
        CPianoKey& key = keys_[static_cast<size_t>(slot)];
        const int position = (first + slot) % 14;
        const bool gap = position == 5 || position == 13;
        if (!gap) {
            octave = (first + slot) / 14;
            semitone = position <= 4 ? position : position - 1;
        }
        key.octave = octave;
        key.semitone = semitone;
        key.shape =
            gap ? KeyShape::Gap : key_shape::ShapeOf(semitone, slot == 0, slot == SlotCount() - 1);
    }
}

int PianoKeyboard::SlotPosition(int semitone) {
    return semitone <= 4 ? semitone : semitone + 1;
}

int PianoKeyboard::AbsoluteSlot(int octave, int semitone) {
    return 14 * octave + SlotPosition(semitone);
}

bool PianoKeyboard::IsKey(int slot) const {
    return slot >= 0 && slot < SlotCount() && Key(slot).shape != KeyShape::Gap;
}

int PianoKeyboard::SlotOfMidiNote(int note) const {
    // Floor division, so that negative notes stay below the keyboard.
    const int octave = (note >= 0 ? note / 12 : (note - 11) / 12) - 1;
    const int semitone = note - (octave + 1) * 12;
    const int first = AbsoluteSlot(lowest_.octave, lowest_.semitone);
    const int last = AbsoluteSlot(highest_.octave, highest_.semitone);
    return std::clamp(AbsoluteSlot(octave, semitone), first, last) - first;
}

int PianoKeyboard::MidiNoteOfSlot(int slot) const {
    const CPianoKey& key = Key(std::clamp(slot, 0, SlotCount() - 1));
    return 12 * (key.octave + 1) + key.semitone;
}

void PianoKeyboard::HighlightColour(int kind, bool black, float rgba[4]) {
    static constexpr float kColours[2][2][4] = {
        {{0.93f, 0.85f, 0.64f, 1.0f}, {0.70f, 1.00f, 0.70f, 1.0f}},  // hover: white, black
        {{0.93f, 0.63f, 0.91f, 1.0f}, {0.70f, 0.70f, 1.00f, 1.0f}},  // pressed
    };
    const float* colour = kColours[kind == kPressed ? 1 : 0][black ? 1 : 0];
    std::copy(colour, colour + 4, rgba);
}

bool PianoKeyboard::Press(int slot, int kind) {
    if (slot < 0 || slot >= SlotCount()) {
        return false;
    }
    CPianoKey& key = Key(slot);
    key.highlighted = true;
    HighlightColour(kind, key.shape == KeyShape::Black, key.highlightColour);
    return true;
}

bool PianoKeyboard::Release(int slot) {
    if (slot < 0 || slot >= SlotCount()) {
        return false;
    }
    Key(slot).highlighted = false;
    return true;
}

float PianoKeyboard::WhiteKeyWidth(int widthPixels) const {
    return 2.0f * static_cast<float>(widthPixels - 10) / static_cast<float>(SlotCount() + 1);
}

int PianoKeyboard::HitTest(float xPixels, float yPixels, float whiteKeyWidth,
                           float keyLength) const {
    const float slotWidth = whiteKeyWidth / 2.0f;
    if (SlotCount() == 0 || slotWidth <= 0.0f || keyLength <= 0.0f) {
        return -1;
    }
    const int k = static_cast<int>(xPixels / slotWidth);
    if (k <= 0) {
        return 0;
    }
    if (k >= SlotCount()) {
        return SlotCount() - 1;
    }
    // Between the centres of slots k - 1 and k. Black keys lie over the white ones, so a
    // black neighbour is tested first, right down to its lower end.
    const float localX = (xPixels - static_cast<float>(k) * slotWidth) / whiteKeyWidth;
    const float localY = yPixels / keyLength;
    const KeyShape left = Key(k - 1).shape;
    const KeyShape right = Key(k).shape;
    if (left == KeyShape::Black && key_shape::Hit(left, localX, localY)) {
        return k - 1;
    }
    if (right == KeyShape::Black && key_shape::Hit(right, localX - 0.5f, localY)) {
        return k;
    }
    if (key_shape::Hit(left, localX, localY)) {
        return k - 1;
    }
    return k;
}

}  // namespace melvora

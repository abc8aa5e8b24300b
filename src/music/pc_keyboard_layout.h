#pragma once

#include <cstdint>
#include <string>

namespace melvora {

class PianoKeyboard;

// The letter and digit keys of the PC keyboard that play the piano, in one of two layouts:
// 1 single row "ASEDRFGYHUJIKL" (14 keys), 2 double row "QW3E4RT6Y7U8IZSXO0PDCVGBHNJM"
// (28 keys). Each character has a slot offset; the slot it plays is
// 14 x PC octave - 12 + offset, so offset 2 is the C of the PC octave.
class PcKeyboardLayout {
  public:
    // Layout option: 2 double row, any other value single row.
    explicit PcKeyboardLayout(int32_t layoutOption);

    const std::string& Keys() const { return keys_; }
    int Offset(size_t entry) const { return offsets_[entry]; }
    static int SlotOfOffset(int offset, int pcOctave) { return 14 * pcOctave - 12 + offset; }

    // The slot played by virtual-key code `virtualKey` in `pcOctave`: the first entry with
    // that character whose slot lies on a keyboard of `slotCount` slots; -1 for none.
    int SlotOf(int virtualKey, int pcOctave, int slotCount) const;

    // Puts each entry's character on the key it plays (the later entry wins where two play the
    // same key); ClearLabels takes every label off.
    void PutLabels(PianoKeyboard& keyboard, int pcOctave) const;
    static void ClearLabels(PianoKeyboard& keyboard);

  private:
    std::string keys_;
    const int* offsets_;
};

}  // namespace melvora

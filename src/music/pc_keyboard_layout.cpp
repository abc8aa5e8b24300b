#include "music/pc_keyboard_layout.h"

#include "music/piano_keyboard.h"

namespace melvora {

namespace {

constexpr char kSingleRow[] = "ASEDRFGYHUJIKL";
constexpr int kSingleRowOffsets[] = {0, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 16};
constexpr char kDoubleRow[] = "QW3E4RT6Y7U8IZSXO0PDCVGBHNJM";
constexpr int kDoubleRowOffsets[] = {0,  2,  3,  4,  5,  6,  8,  9,  10, 11, 12, 13, 14, 16,
                                     17, 18, 16, 17, 18, 19, 20, 22, 23, 24, 25, 26, 27, 28};
static_assert(sizeof(kSingleRowOffsets) / sizeof(int) == sizeof(kSingleRow) - 1,
              "one offset a key");
static_assert(sizeof(kDoubleRowOffsets) / sizeof(int) == sizeof(kDoubleRow) - 1,
              "one offset a key");

}  // namespace

PcKeyboardLayout::PcKeyboardLayout(int32_t layoutOption)
    : keys_(layoutOption == 2 ? kDoubleRow : kSingleRow),
      offsets_(layoutOption == 2 ? kDoubleRowOffsets : kSingleRowOffsets) {}

int PcKeyboardLayout::SlotOf(int virtualKey, int pcOctave, int slotCount) const {
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (static_cast<unsigned char>(keys_[i]) != virtualKey) {
            continue;
        }
        const int slot = SlotOfOffset(offsets_[i], pcOctave);
        if (slot >= 0 && slot < slotCount) {
            return slot;
        }
    }
    return -1;
}

void PcKeyboardLayout::PutLabels(PianoKeyboard& keyboard, int pcOctave) const {
    for (size_t i = 0; i < keys_.size(); ++i) {
        const int slot = SlotOfOffset(offsets_[i], pcOctave);
        if (slot >= 0 && slot < keyboard.SlotCount()) {
            CPianoKey& key = keyboard.Key(slot);
            key.label = std::string(1, keys_[i]);
            key.hasLabel = true;
        }
    }
}

void PcKeyboardLayout::ClearLabels(PianoKeyboard& keyboard) {
    for (int slot = 0; slot < keyboard.SlotCount(); ++slot) {
        keyboard.Key(slot).hasLabel = false;
        keyboard.Key(slot).label.clear();
    }
}

}  // namespace melvora

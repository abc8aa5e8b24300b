#pragma once

#include <array>
#include <functional>
#include <string>

#include "ui/deck_button_tracker.h"

namespace melvora {

// Bitmap slots of a skin (suffixes "U", "H", "D", "X", "CU", "CH", "CD", "CX").
enum DeckSlot {
    kSlotUp = 0,
    kSlotHover = 1,
    kSlotDown = 2,
    kSlotDisabled = 3,
    kSlotAltUp = 4,
    kSlotAltHover = 5,
    kSlotAltDown = 6,
    kSlotAltDisabled = 7,
};

constexpr int kDeckSlotCount = 8;

// The suffix appended to the skin name for a slot.
const char* DeckSlotSuffix(int slot);

struct DeckPaintChoice {
    int bitmapSlot = kSlotUp;  // the bitmap to stretch over the button
    int colourSlot = 0;        // the text colour to use
};

// Picks the bitmap and the text colour of a button from its look (alternate = latched or
// inactive window), whether it is enabled, its mouse state, which bitmaps were loaded and
// which colours were set. Missing bitmaps fall back to other variants, and to "U" last.
DeckPaintChoice ChooseDeckPaint(bool alternate, bool enabled, DeckButtonState state,
                                const std::array<bool, kDeckSlotCount>& bitmapPresent,
                                const std::array<bool, kDeckSlotCount>& colourSet);

struct TextFit {
    bool resize = false;  // false for an empty text: the size stays
    int width = 0;
    int height = 0;
};

// Size of a button that fits its text: the widest line ("\n" splits lines) and the number of
// lines times the text height, both times 1.2, truncated.
TextFit FitToText(const std::wstring& text, const std::function<int(wchar_t)>& charWidth,
                  int textHeight);

}  // namespace melvora

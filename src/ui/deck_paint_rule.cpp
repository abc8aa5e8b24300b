#include "ui/deck_paint_rule.h"

#include <algorithm>
#include <initializer_list>

namespace melvora {
namespace {

// The first slot of `candidates` whose entry in `present` is set, else `fallback`.
int FirstPresent(std::initializer_list<int> candidates,
                 const std::array<bool, kDeckSlotCount>& present, int fallback) {
    for (int slot : candidates) {
        if (present[static_cast<size_t>(slot)]) {
            return slot;
        }
    }
    return fallback;
}

}  // namespace

const char* DeckSlotSuffix(int slot) {
    static const char* const kSuffixes[kDeckSlotCount] = {"U",  "H",  "D",  "X",
                                                          "CU", "CH", "CD", "CX"};
    return slot >= 0 && slot < kDeckSlotCount ? kSuffixes[slot] : "";
}

DeckPaintChoice ChooseDeckPaint(bool alternate, bool enabled, DeckButtonState state,
                                const std::array<bool, kDeckSlotCount>& bitmapPresent,
                                const std::array<bool, kDeckSlotCount>& colourSet) {
    DeckPaintChoice c;
    const bool hover = state == DeckButtonState::kHover;
    const bool pressed = state == DeckButtonState::kPressed;
    if (!alternate) {
        if (!enabled) {
            c.bitmapSlot = FirstPresent({kSlotDisabled}, bitmapPresent, kSlotUp);
            c.colourSlot = FirstPresent({3}, colourSet, 0);
        } else if (hover) {
            c.bitmapSlot = FirstPresent({kSlotHover}, bitmapPresent, kSlotUp);
            c.colourSlot = FirstPresent({1}, colourSet, 0);
        } else if (pressed) {
            c.bitmapSlot = FirstPresent({kSlotDown}, bitmapPresent, kSlotUp);
            c.colourSlot = FirstPresent({2}, colourSet, 0);
        }
        return c;
    }
    if (!enabled) {
        c.bitmapSlot =
            FirstPresent({kSlotAltDisabled, kSlotAltUp, kSlotDisabled}, bitmapPresent, kSlotUp);
        c.colourSlot = FirstPresent({7, 4, 3}, colourSet, 0);
    } else if (hover) {
        c.bitmapSlot =
            FirstPresent({kSlotAltHover, kSlotAltUp, kSlotHover}, bitmapPresent, kSlotUp);
        c.colourSlot = FirstPresent({5, 4, 1}, colourSet, 0);
    } else if (pressed) {
        c.bitmapSlot = FirstPresent({kSlotAltDown, kSlotAltUp, kSlotDown}, bitmapPresent, kSlotUp);
        c.colourSlot = FirstPresent({6, 4, 2}, colourSet, 0);
    } else {
        c.bitmapSlot = FirstPresent({kSlotAltUp}, bitmapPresent, kSlotUp);
        c.colourSlot = FirstPresent({4}, colourSet, 0);
    }
    return c;
}

TextFit FitToText(const std::wstring& text, const std::function<int(wchar_t)>& charWidth,
                  int textHeight) {
    TextFit fit;
    if (text.empty()) {
        return fit;
    }
    int lines = 1;
    int lineWidth = 0;
    int widest = 0;
    for (wchar_t ch : text) {
        if (ch == L'\n') {
            widest = std::max(widest, lineWidth);
            lineWidth = 0;
            ++lines;
            continue;
        }
        lineWidth += charWidth(ch);
    }
    widest = std::max(widest, lineWidth);
    fit.resize = true;
    fit.width = static_cast<int>(widest * 1.2);
    fit.height = static_cast<int>(lines * textHeight * 1.2);
    return fit;
}

}  // namespace melvora

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace melvora {

// Text maths of the views that draw outline-font text, on the glyph metrics the font lists
// were built with. The font has one display list per glyph slot: slots 0..255 are the
// characters U+0000..U+00FF, and the Turkish letters beyond Latin-1 have slots of their
// own, so Turkish labels draw whatever the system's code page is. All sizes are in font
// units (the units of the glyph metrics; the letter height of a 12-point font is about 0.7).
class GlyphTextLayout {
  public:
    // The glyph of a character slot: horizontal advance and the top of its outline above
    // the base line.
    struct GlyphMetric {
        float cellIncX = 0.0f;
        float originY = 0.0f;
    };

    static constexpr int kLatinSlots = 256;
    // Turkish letters outside Latin-1: Ğ ğ İ ı Ş ş, in slots 256..261.
    static constexpr int kExtraSlots = 6;
    static constexpr int kSlotCount = kLatinSlots + kExtraSlots;
    // The character of extra slot i (0..kExtraSlots-1).
    static wchar_t ExtraCharacter(int index);

    // The slot of `ch`; characters without one draw as '?'.
    static uint16_t SlotOf(wchar_t ch);
    // The slots of `text`, ready for glCallLists with GL_UNSIGNED_SHORT.
    static std::vector<uint16_t> Slots(const std::wstring& text);

    // Metrics of slot `slot` (ignored outside 0..kSlotCount-1). All slots start at zero.
    void SetMetric(int slot, const GlyphMetric& metric);
    const GlyphMetric& Metric(int slot) const { return metrics_[slot]; }

    // Sum of the advances of the characters of `text` (0 for an empty text).
    float Width(const std::wstring& text) const;
    // Scale that makes `text` exactly `available` wide (infinite for an empty text; callers
    // do not ask for one).
    float FitScale(const std::wstring& text, float available) const;
    // Offset that centres `text` in `available`: (available - width) x 0.5.
    float CentringOffset(const std::wstring& text, float available) const;
    // Tallest top of the letters A..Z and a..z (0 when the font has none).
    float LetterHeight() const;

  private:
    GlyphMetric metrics_[kSlotCount] = {};
};

}  // namespace melvora

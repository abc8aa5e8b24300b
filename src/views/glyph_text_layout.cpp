#include "views/glyph_text_layout.h"

#include <algorithm>
#include <limits>

namespace melvora {

namespace {

constexpr wchar_t kExtraCharacters[GlyphTextLayout::kExtraSlots] = {
    L'\u011E', L'\u011F', L'\u0130', L'\u0131', L'\u015E', L'\u015F'};

}  // namespace

wchar_t GlyphTextLayout::ExtraCharacter(int index) {
    return index >= 0 && index < kExtraSlots ? kExtraCharacters[index] : L'?';
}

uint16_t GlyphTextLayout::SlotOf(wchar_t ch) {
    if (static_cast<uint32_t>(ch) < static_cast<uint32_t>(kLatinSlots)) {
        return static_cast<uint16_t>(ch);
    }
    for (int i = 0; i < kExtraSlots; ++i) {
        if (kExtraCharacters[i] == ch) {
            return static_cast<uint16_t>(kLatinSlots + i);
        }
    }
    return static_cast<uint16_t>(L'?');
}

std::vector<uint16_t> GlyphTextLayout::Slots(const std::wstring& text) {
    std::vector<uint16_t> slots;
    slots.reserve(text.size());
    for (wchar_t ch : text) {
        slots.push_back(SlotOf(ch));
    }
    return slots;
}

void GlyphTextLayout::SetMetric(int slot, const GlyphMetric& metric) {
    if (slot >= 0 && slot < kSlotCount) {
        metrics_[slot] = metric;
    }
}

float GlyphTextLayout::Width(const std::wstring& text) const {
    float width = 0.0f;
    for (wchar_t ch : text) {
        width += metrics_[SlotOf(ch)].cellIncX;
    }
    return width;
}

float GlyphTextLayout::FitScale(const std::wstring& text, float available) const {
    const float width = Width(text);
    return width != 0.0f ? available / width : std::numeric_limits<float>::infinity();
}

float GlyphTextLayout::CentringOffset(const std::wstring& text, float available) const {
    return (available - Width(text)) * 0.5f;
}

float GlyphTextLayout::LetterHeight() const {
    float height = 0.0f;
    for (int ch = 'A'; ch <= 'Z'; ++ch) {
        height = std::max(height, metrics_[ch].originY);
    }
    for (int ch = 'a'; ch <= 'z'; ++ch) {
        height = std::max(height, metrics_[ch].originY);
    }
    return height;
}

}  // namespace melvora

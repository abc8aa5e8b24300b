#include "views/glyph_text_layout.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

// A small font: 'A' 0.7 wide and 0.72 high, 'b' 0.5 wide and 0.75 high, '4' 0.55 wide and
// 0.71 high (digits do not count for the letter height), '?' 0.4 wide, 'ş' 0.45 wide.
GlyphTextLayout SmallFont() {
    GlyphTextLayout layout;
    layout.SetMetric('A', {0.7f, 0.72f});
    layout.SetMetric('b', {0.5f, 0.75f});
    layout.SetMetric('4', {0.55f, 0.9f});
    layout.SetMetric('?', {0.4f, 0.7f});
    layout.SetMetric(GlyphTextLayout::SlotOf(L'\u015F'), {0.45f, 0.5f});
    return layout;
}

TEST(GlyphTextLayout, SlotsCoverLatin1AndTheTurkishLetters) {
    EXPECT_EQ(GlyphTextLayout::SlotOf(L'A'), 65);
    EXPECT_EQ(GlyphTextLayout::SlotOf(L'\u00FC'), 0xFC);  // ü
    EXPECT_EQ(GlyphTextLayout::SlotOf(L'\u011E'), 256);   // Ğ
    EXPECT_EQ(GlyphTextLayout::SlotOf(L'\u015F'), 261);   // ş
    EXPECT_EQ(GlyphTextLayout::SlotOf(L'\u0131'), 259);   // ı
    EXPECT_EQ(GlyphTextLayout::SlotOf(L'\u20AC'), '?');   // no slot: drawn as '?'
    for (int i = 0; i < GlyphTextLayout::kExtraSlots; ++i) {
        EXPECT_EQ(GlyphTextLayout::SlotOf(GlyphTextLayout::ExtraCharacter(i)),
                  GlyphTextLayout::kLatinSlots + i);
    }
}

// Worked by hand: "A4" = 0.7 + 0.55 = 1.25; fit into 0.3 = 0.24; centre in 10 = 4.375.
// "bAb" = 1.7; into 4.1666665: fit 2.45098, offset 1.2333333.
// "€" has no glyph and measures as '?' (0.4). "aşb": 'a' has no metrics (0) + 0.45 + 0.5.
TEST(GlyphTextLayout, WidthFitAndCentre) {
    const GlyphTextLayout layout = SmallFont();
    const struct {
        const wchar_t* text;
        float available, width, fit, offset;
    } cases[] = {{L"A4", 0.3f, 1.25f, 0.24f, -0.475f},
                 {L"A4", 10.0f, 1.25f, 8.0f, 4.375f},
                 {L"bAb", 4.1666665f, 1.7f, 2.4509803f, 1.2333332f},
                 {L"\u20AC", 1.0f, 0.4f, 2.5f, 0.3f},
                 {L"a\u015Fb", 1.9f, 0.95f, 2.0f, 0.475f},
                 {L"", 10.0f, 0.0f, 0.0f, 5.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " in " << c.available);
        EXPECT_NEAR(layout.Width(c.text), c.width, 1e-6);
        EXPECT_NEAR(layout.CentringOffset(c.text, c.available), c.offset, 1e-6);
        if (c.width > 0.0f) {
            EXPECT_NEAR(layout.FitScale(c.text, c.available), c.fit, 1e-5);
        }
    }
}

TEST(GlyphTextLayout, LetterHeightIsTheTallestLatinLetter) {
    GlyphTextLayout layout = SmallFont();
    EXPECT_FLOAT_EQ(layout.LetterHeight(), 0.75f);  // 'b'; the digit '4' (0.9) is no letter
    layout.SetMetric('z', {0.5f, 0.8f});
    EXPECT_FLOAT_EQ(layout.LetterHeight(), 0.8f);
    layout.SetMetric('[', {0.3f, 1.5f});  // between the two ranges: not scanned
    EXPECT_FLOAT_EQ(layout.LetterHeight(), 0.8f);
    EXPECT_FLOAT_EQ(GlyphTextLayout().LetterHeight(), 0.0f);
}

}  // namespace
}  // namespace melvora

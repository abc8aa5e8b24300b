#include "ui/deck_paint_rule.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace melvora {
namespace {

using Flags = std::array<bool, kDeckSlotCount>;

// Present slots from a list of suffixes such as "U H D CU".
Flags Slots(const std::string& suffixes) {
    Flags f = {};
    std::istringstream words(suffixes);
    for (std::string word; words >> word;) {
        for (int slot = 0; slot < kDeckSlotCount; ++slot) {
            f[static_cast<size_t>(slot)] |= word == DeckSlotSuffix(slot);
        }
    }
    return f;
}

using S = DeckButtonState;

// Each state's bitmap and colour fall back along their chains (alternate: C-slot, then CU or
// colour 4, then the plain slot) to U and colour 0.
TEST(DeckPaintRuleTest, BitmapAndColourFallbacks) {
    const char kAll[] = "U H D X CU CH CD CX";
    const struct {
        const char* bitmaps;
        const char* colours;  // the colour slots set, as digits
        bool alternate, enabled;
        DeckButtonState state;
        int bitmap, colour;
    } cases[] = {{kAll, "0123", false, true, S::kNormal, kSlotUp, 0},
                 {kAll, "0123", false, true, S::kHover, kSlotHover, 1},
                 {"U D X", "03", false, true, S::kHover, kSlotUp, 0},
                 {kAll, "0123", false, true, S::kPressed, kSlotDown, 2},
                 {"U H X", "03", false, true, S::kPressed, kSlotUp, 0},
                 {kAll, "0123", false, true, S::kPressedOutside, kSlotUp, 0},
                 {kAll, "0123", false, false, S::kNormal, kSlotDisabled, 3},
                 {"U H D CU CH CD", "0", false, false, S::kNormal, kSlotUp, 0},
                 {kAll, "01234567", true, true, S::kNormal, kSlotAltUp, 4},
                 {"U D X", "0123", true, true, S::kNormal, kSlotUp, 0},
                 {kAll, "01234567", true, true, S::kHover, kSlotAltHover, 5},
                 {"U H D CU", "01234", true, true, S::kHover, kSlotAltUp, 4},
                 {"U H", "0123", true, true, S::kHover, kSlotHover, 1},
                 {"U", "0", true, true, S::kHover, kSlotUp, 0},
                 {kAll, "01234567", true, true, S::kPressed, kSlotAltDown, 6},
                 {"U H D X CU", "01234", true, true, S::kPressed, kSlotAltUp, 4},
                 {"U D", "0123", true, true, S::kPressed, kSlotDown, 2},
                 {"", "", true, true, S::kPressed, kSlotUp, 0},
                 {kAll, "01234567", true, false, S::kNormal, kSlotAltDisabled, 7},
                 {"U H D X CU CH CD", "01234", true, false, S::kNormal, kSlotAltUp, 4},
                 {"U X", "0123", true, false, S::kNormal, kSlotDisabled, 3},
                 {"U", "0", true, false, S::kHover, kSlotUp, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.bitmaps << " / " << c.colours << " alternate " << c.alternate
                     << " enabled " << c.enabled << " state " << static_cast<int>(c.state));
        Flags colours = {};
        for (const char* d = c.colours; *d != '\0'; ++d) {
            colours[static_cast<size_t>(*d - '0')] = true;
        }
        const DeckPaintChoice choice =
            ChooseDeckPaint(c.alternate, c.enabled, c.state, Slots(c.bitmaps), colours);
        EXPECT_STREQ(DeckSlotSuffix(choice.bitmapSlot), DeckSlotSuffix(c.bitmap));
        EXPECT_EQ(choice.colourSlot, c.colour);
    }
}

TEST(FitToTextTest, WidestLineAndLineCountTimesOnePointTwo) {
    auto width = [](wchar_t) { return 6; };
    TextFit one = FitToText(L"File", width, 13);
    EXPECT_TRUE(one.resize);
    EXPECT_EQ(one.width, 28);   // 24 * 1.2 = 28.8
    EXPECT_EQ(one.height, 15);  // 13 * 1.2 = 15.6
    TextFit two = FitToText(L"Görüntü\nab", width, 13);
    EXPECT_EQ(two.width, 50);   // 42 * 1.2 = 50.4
    EXPECT_EQ(two.height, 31);  // 26 * 1.2 = 31.2
    EXPECT_FALSE(FitToText(L"", width, 13).resize);
}

}  // namespace
}  // namespace melvora

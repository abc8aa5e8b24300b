#include "ui/deck_paint_rule.h"

#include <gtest/gtest.h>

#include <string>

namespace melvora {
namespace {

using Flags = std::array<bool, kDeckSlotCount>;

// Present slots from a list of suffixes such as "U H D CU".
Flags Slots(const std::string& suffixes) {
    Flags f = {};
    size_t start = 0;
    while (start < suffixes.size()) {
        size_t end = suffixes.find(' ', start);
        if (end == std::string::npos)
            end = suffixes.size();
        std::string s = suffixes.substr(start, end - start);
        for (int slot = 0; slot < kDeckSlotCount; ++slot) {
            if (s == DeckSlotSuffix(slot))
                f[static_cast<size_t>(slot)] = true;
        }
        start = end + 1;
    }
    return f;
}

const Flags kDefaultColours = {true, false, false, true, false, false, false, false};

struct PaintCase {
    const char* name;
    const char* bitmaps;
    bool alternate;
    bool enabled;
    DeckButtonState state;
    int expectedBitmap;
};

class DeckPaintBitmaps : public ::testing::TestWithParam<PaintCase> {};

TEST_P(DeckPaintBitmaps, PicksVariant) {
    const PaintCase& c = GetParam();
    DeckPaintChoice choice =
        ChooseDeckPaint(c.alternate, c.enabled, c.state, Slots(c.bitmaps), kDefaultColours);
    EXPECT_EQ(DeckSlotSuffix(choice.bitmapSlot), std::string(DeckSlotSuffix(c.expectedBitmap)));
}

const char kDeck[] = "U H D X CU CH CD";
const char kClose[] = "U H D CU CH CD";
const char kEmpty[] = "U D X";
const char kMenu[] = "U H D CU";
const char kAll[] = "U H D X CU CH CD CX";

using S = DeckButtonState;
INSTANTIATE_TEST_SUITE_P(
    Fallbacks, DeckPaintBitmaps,
    ::testing::Values(
        PaintCase{"deck_normal", kDeck, false, true, S::kNormal, kSlotUp},
        PaintCase{"deck_hover", kDeck, false, true, S::kHover, kSlotHover},
        PaintCase{"deck_pressed", kDeck, false, true, S::kPressed, kSlotDown},
        PaintCase{"deck_pressed_outside", kDeck, false, true, S::kPressedOutside, kSlotUp},
        PaintCase{"deck_disabled", kDeck, false, false, S::kNormal, kSlotDisabled},
        PaintCase{"deck_disabled_hover", kDeck, false, false, S::kHover, kSlotDisabled},
        PaintCase{"close_disabled_has_no_x", kClose, false, false, S::kNormal, kSlotUp},
        PaintCase{"empty_hover_keeps_up", kEmpty, false, true, S::kHover, kSlotUp},
        PaintCase{"empty_pressed", kEmpty, false, true, S::kPressed, kSlotDown},
        PaintCase{"latched_normal", kDeck, true, true, S::kNormal, kSlotAltUp},
        PaintCase{"latched_pressed_outside", kDeck, true, true, S::kPressedOutside, kSlotAltUp},
        PaintCase{"latched_hover", kDeck, true, true, S::kHover, kSlotAltHover},
        PaintCase{"latched_pressed", kDeck, true, true, S::kPressed, kSlotAltDown},
        PaintCase{"latched_disabled_prefers_cx", kAll, true, false, S::kNormal, kSlotAltDisabled},
        PaintCase{"latched_disabled_falls_to_cu", kDeck, true, false, S::kNormal, kSlotAltUp},
        PaintCase{"latched_disabled_falls_to_x", "U X", true, false, S::kNormal, kSlotDisabled},
        PaintCase{"latched_disabled_falls_to_u", "U", true, false, S::kNormal, kSlotUp},
        PaintCase{"menu_latched_hover_uses_cu", kMenu, true, true, S::kHover, kSlotAltUp},
        PaintCase{"menu_latched_pressed_uses_cu", kMenu, true, true, S::kPressed, kSlotAltUp},
        PaintCase{"latched_hover_falls_to_h", "U H", true, true, S::kHover, kSlotHover},
        PaintCase{"latched_pressed_falls_to_d", "U D", true, true, S::kPressed, kSlotDown},
        PaintCase{"empty_latched_normal_stays_u", kEmpty, true, true, S::kNormal, kSlotUp},
        PaintCase{"nothing_loaded", "", true, false, S::kHover, kSlotUp}),
    [](const ::testing::TestParamInfo<PaintCase>& p) { return std::string(p.param.name); });

TEST(DeckPaintColoursTest, DefaultColoursBlackAndGreyDisabled) {
    Flags bitmaps = Slots(kAll);
    EXPECT_EQ(ChooseDeckPaint(false, true, S::kNormal, bitmaps, kDefaultColours).colourSlot, 0);
    EXPECT_EQ(ChooseDeckPaint(false, false, S::kNormal, bitmaps, kDefaultColours).colourSlot, 3);
    // Hover and pressed colours are not set by default: the normal colour stays.
    EXPECT_EQ(ChooseDeckPaint(false, true, S::kHover, bitmaps, kDefaultColours).colourSlot, 0);
    EXPECT_EQ(ChooseDeckPaint(false, true, S::kPressed, bitmaps, kDefaultColours).colourSlot, 0);
    // Latched and disabled: 7, else 4, else 3.
    EXPECT_EQ(ChooseDeckPaint(true, false, S::kNormal, bitmaps, kDefaultColours).colourSlot, 3);
}

TEST(DeckPaintColoursTest, PressedColourUsedWhilePressed) {
    Flags colours = kDefaultColours;
    colours[2] = true;
    Flags bitmaps = Slots(kEmpty);
    EXPECT_EQ(ChooseDeckPaint(false, true, S::kPressed, bitmaps, colours).colourSlot, 2);
    EXPECT_EQ(ChooseDeckPaint(false, true, S::kPressedOutside, bitmaps, colours).colourSlot, 0);
}

TEST(DeckPaintColoursTest, LatchedColourFallbacks) {
    Flags bitmaps = Slots(kAll);
    Flags colours = {true, true, true, true, true, false, false, false};
    EXPECT_EQ(ChooseDeckPaint(true, true, S::kHover, bitmaps, colours).colourSlot, 4);
    EXPECT_EQ(ChooseDeckPaint(true, true, S::kPressed, bitmaps, colours).colourSlot, 4);
    EXPECT_EQ(ChooseDeckPaint(true, false, S::kNormal, bitmaps, colours).colourSlot, 4);
    colours[4] = false;
    EXPECT_EQ(ChooseDeckPaint(true, true, S::kHover, bitmaps, colours).colourSlot, 1);
    EXPECT_EQ(ChooseDeckPaint(true, true, S::kPressed, bitmaps, colours).colourSlot, 2);
    EXPECT_EQ(ChooseDeckPaint(true, true, S::kNormal, bitmaps, colours).colourSlot, 0);
    colours[5] = colours[6] = colours[7] = true;
    EXPECT_EQ(ChooseDeckPaint(true, true, S::kHover, bitmaps, colours).colourSlot, 5);
    EXPECT_EQ(ChooseDeckPaint(true, true, S::kPressed, bitmaps, colours).colourSlot, 6);
    EXPECT_EQ(ChooseDeckPaint(true, false, S::kPressed, bitmaps, colours).colourSlot, 7);
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

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

TEST(DeckPaintRuleTest, BitmapFallbacks) {
    const char kDeck[] = "U H D X CU CH CD";
    const char kEmpty[] = "U D X";
    const char kAll[] = "U H D X CU CH CD CX";
    const struct {
        const char* name;
        const char* bitmaps;
        bool alternate, enabled;
        DeckButtonState state;
        int expectedBitmap;
    } cases[] = {{"deck_normal", kDeck, false, true, S::kNormal, kSlotUp},
                 {"deck_hover", kDeck, false, true, S::kHover, kSlotHover},
                 {"deck_pressed", kDeck, false, true, S::kPressed, kSlotDown},
                 {"deck_pressed_outside", kDeck, false, true, S::kPressedOutside, kSlotUp},
                 {"deck_disabled", kDeck, false, false, S::kNormal, kSlotDisabled},
                 {"close_disabled_has_no_x", "U H D CU CH CD", false, false, S::kNormal, kSlotUp},
                 {"empty_hover_keeps_up", kEmpty, false, true, S::kHover, kSlotUp},
                 {"empty_pressed", kEmpty, false, true, S::kPressed, kSlotDown},
                 {"latched_normal", kDeck, true, true, S::kNormal, kSlotAltUp},
                 {"latched_hover", kDeck, true, true, S::kHover, kSlotAltHover},
                 {"latched_pressed", kDeck, true, true, S::kPressed, kSlotAltDown},
                 {"latched_disabled_prefers_cx", kAll, true, false, S::kNormal, kSlotAltDisabled},
                 {"latched_disabled_falls_to_cu", kDeck, true, false, S::kNormal, kSlotAltUp},
                 {"latched_disabled_falls_to_x", "U X", true, false, S::kNormal, kSlotDisabled},
                 {"latched_disabled_falls_to_u", "U", true, false, S::kNormal, kSlotUp},
                 {"menu_latched_hover_uses_cu", "U H D CU", true, true, S::kHover, kSlotAltUp},
                 {"latched_hover_falls_to_h", "U H", true, true, S::kHover, kSlotHover},
                 {"empty_latched_normal_stays_u", kEmpty, true, true, S::kNormal, kSlotUp},
                 {"nothing_loaded", "", true, false, S::kHover, kSlotUp}};
    for (const auto& c : cases) {
        const DeckPaintChoice choice = ChooseDeckPaint(
            c.alternate, c.enabled, c.state, Slots(c.bitmaps), Flags{true, false, false, true});
        EXPECT_STREQ(DeckSlotSuffix(choice.bitmapSlot), DeckSlotSuffix(c.expectedBitmap)) << c.name;
    }
}

TEST(DeckPaintColoursTest, ColourFallbacks) {
    struct Case {
        const char* colours;  // the colour slots set, as digits
        bool latched, enabled;
        DeckButtonState state;
        int expected;
    };
    const Case cases[] = {
        // Defaults (0 and 3): hover and pressed keep the normal colour, disabled is grey.
        {"03", false, true, S::kNormal, 0},       {"03", false, false, S::kNormal, 3},
        {"03", false, true, S::kHover, 0},        {"03", false, true, S::kPressed, 0},
        {"03", true, false, S::kNormal, 3},  // latched and disabled: 7, else 4, else 3
        {"023", false, true, S::kPressed, 2},     {"023", false, true, S::kPressedOutside, 0},
        {"01234", true, true, S::kHover, 4},      {"01234", true, true, S::kPressed, 4},
        {"01234", true, false, S::kNormal, 4},    {"0123", true, true, S::kHover, 1},
        {"0123", true, true, S::kPressed, 2},     {"0123", true, true, S::kNormal, 0},
        {"0123567", true, true, S::kHover, 5},    {"0123567", true, true, S::kPressed, 6},
        {"0123567", true, false, S::kPressed, 7},
    };
    for (const Case& c : cases) {
        Flags colours = {};
        for (const char* d = c.colours; *d != '\0'; ++d) {
            colours[static_cast<size_t>(*d - '0')] = true;
        }
        EXPECT_EQ(
            ChooseDeckPaint(c.latched, c.enabled, c.state, Slots("U H D X CU CH CD CX"), colours)
                .colourSlot,
            c.expected)
            << c.colours << " latched " << c.latched << " enabled " << c.enabled << " state "
            << static_cast<int>(c.state);
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

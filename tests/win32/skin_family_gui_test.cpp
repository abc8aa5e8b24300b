#include "ui/win32/new_deck_button.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

struct FamilyCase {
    const char* skin;
    std::vector<int> present;  // slots the resources hold
};

class SkinFamilies : public ::testing::TestWithParam<FamilyCase> {};

// Every family loads exactly its variants, and every look the button can take paints the
// variant the fallbacks choose for that family.
TEST_P(SkinFamilies, LoadsItsVariantsAndPaintsEveryState) {
    const FamilyCase& c = GetParam();
    guitest::HostWindow host;
    ASSERT_TRUE(host.Open(40, 500, 200, 80, L"Family"));
    CNewDeckButton button;
    RECT r = {20, 20, 30, 30};
    ASSERT_TRUE(button.Create(host.Handle(), r, 1001, c.skin, true));
    std::array<bool, kDeckSlotCount> present = {};
    for (int slot : c.present) {
        present[static_cast<size_t>(slot)] = true;
    }
    for (int slot = 0; slot < kDeckSlotCount; ++slot) {
        EXPECT_EQ(button.HasBitmap(slot), present[static_cast<size_t>(slot)])
            << c.skin << DeckSlotSuffix(slot);
    }
    const std::array<bool, kDeckSlotCount> colours = {true,  false, false, true,
                                                      false, false, false, false};
    for (bool latched : {false, true}) {
        for (bool enabled : {true, false}) {
            for (DeckButtonState state :
                 {DeckButtonState::kNormal, DeckButtonState::kHover, DeckButtonState::kPressed}) {
                button.SetLatched(latched);
                button.Enable(enabled);
                button.PreviewState(state);
                ::UpdateWindow(button.Handle());
                int expected =
                    ChooseDeckPaint(latched, enabled, state, present, colours).bitmapSlot;
                EXPECT_EQ(button.LastPaint().bitmapSlot, expected)
                    << c.skin << " latched " << latched << " enabled " << enabled << " state "
                    << static_cast<int>(state);
                EXPECT_TRUE(button.HasBitmap(button.LastPaint().bitmapSlot));
            }
        }
    }
}

const std::vector<int> kTitleBox = {kSlotUp,    kSlotHover,    kSlotDown,
                                    kSlotAltUp, kSlotAltHover, kSlotAltDown};
const std::vector<int> kDeck = {kSlotUp,    kSlotHover,    kSlotDown,   kSlotDisabled,
                                kSlotAltUp, kSlotAltHover, kSlotAltDown};
const std::vector<int> kMenu = {kSlotUp, kSlotHover, kSlotDown, kSlotAltUp};
const std::vector<int> kText = {kSlotUp, kSlotDown, kSlotDisabled};

INSTANTIATE_TEST_SUITE_P(
    AllFamilies, SkinFamilies,
    ::testing::Values(FamilyCase{"CLOSE", kTitleBox}, FamilyCase{"HELP", kTitleBox},
                      FamilyCase{"MINIMIZE", kTitleBox}, FamilyCase{"MAXIMIZE", kTitleBox},
                      FamilyCase{"PLAY", kDeck}, FamilyCase{"PAUSE", kDeck},
                      FamilyCase{"STOP", kDeck}, FamilyCase{"RECORD", kDeck},
                      FamilyCase{"REWIND", kDeck}, FamilyCase{"EJECT", kDeck},
                      FamilyCase{"MENU", kMenu}, FamilyCase{"EMPTY_BUTTON", kText},
                      FamilyCase{"SMALL_BUTTON", kText}),
    [](const ::testing::TestParamInfo<FamilyCase>& p) { return std::string(p.param.skin); });

}  // namespace
}  // namespace melvora

#include <algorithm>

#include "platform/win32/paint_dc.h"
#include "ui/win32/new_deck_button.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::HostWindow;

constexpr UINT kButtonId = IDC_REC;

// A host window with one skinned button at (20, 20).
class DeckButtonGuiTest : public ::testing::Test {
  protected:
    void Open(const char* skin, bool sizeToBitmap = true) {
        ASSERT_TRUE(host.Open(60, 60, 320, 160, L"Deck"));
        RECT r = {20, 20, 95, 43};
        ASSERT_TRUE(button.Create(host.Handle(), r, kButtonId, skin, sizeToBitmap));
        host.received.clear();
    }
    int Commands() const {
        const std::vector<HostWindow::Received> commands = host.Of(WM_COMMAND);
        return static_cast<int>(std::count_if(commands.begin(), commands.end(), [&](auto& m) {
            return LOWORD(m.wParam) == kButtonId &&
                   reinterpret_cast<HWND>(m.lParam) == button.Handle();
        }));
    }
    // What the screen shows of a button, once its drawing got there (not only the host's
    // background).
    static std::vector<uint8_t> OnScreen(CNewDeckButton& b) {
        ::UpdateWindow(b.Handle());
        guitest::Frame f;
        guitest::PumpUntil([&] {
            f = guitest::Grab(b.Handle());
            return f.CountNear(0, 0, f.width, f.height, 204, 224, 247, 0) < f.width * f.height;
        });
        return f.rgb;
    }

    HostWindow host;
    CNewDeckButton button;
};

// A press inside, then moves (outside = over the host), then the release at the last point.
struct PressCase {
    std::vector<POINT> movesWhilePressed;
    DeckButtonState stateBeforeRelease;
    int commands;
};

TEST_F(DeckButtonGuiTest, ClickSendsOneCommandOnlyWhenReleasedInside) {
    const PressCase cases[] = {{{}, DeckButtonState::kPressed, 1},
                               {{{150, 60}}, DeckButtonState::kPressedOutside, 0},
                               {{{150, 60}, {6, 6}}, DeckButtonState::kPressed, 1}};
    Open("RECORD");
    for (const PressCase& c : cases) {
        SCOPED_TRACE(c.movesWhilePressed.size());
        host.received.clear();
        guitest::MouseMove(button.Handle(), 5, 5);
        EXPECT_EQ(button.State(), DeckButtonState::kHover);
        EXPECT_EQ(::GetCapture(), button.Handle());
        guitest::MouseDown(button.Handle(), 5, 5);
        POINT last = {5, 5};
        for (POINT p : c.movesWhilePressed) {
            guitest::MouseMove(button.Handle(), p.x, p.y);
            last = p;
        }
        EXPECT_EQ(button.State(), c.stateBeforeRelease);
        EXPECT_EQ(::GetCapture(), button.Handle());
        guitest::MouseUp(button.Handle(), last.x, last.y);
        guitest::PumpMessages(0);  // what the release posted
        EXPECT_EQ(Commands(), c.commands);
        EXPECT_EQ(button.State(), DeckButtonState::kNormal);
        EXPECT_NE(::GetCapture(), button.Handle());
        guitest::MouseMove(button.Handle(), -30, -10);  // away, for the next case
    }
    // Leaving while hovered releases the mouse.
    guitest::MouseMove(button.Handle(), 5, 5);
    guitest::MouseMove(button.Handle(), -30, -10);
    EXPECT_EQ(button.State(), DeckButtonState::kNormal);
    EXPECT_NE(::GetCapture(), button.Handle());
}

// Which image each look takes is the paint rule's (see the family grid); here: the images
// and the text really reach the screen.
TEST_F(DeckButtonGuiTest, HoverImageAndTextReachTheScreen) {
    Open("EMPTY_BUTTON", false);
    // Without sizeToBitmap the placeholder's size stays (with it, see the family grid).
    EXPECT_EQ(button.ClientRect().right, 75);
    EXPECT_EQ(button.ClientRect().bottom, 23);
    EXPECT_EQ(guitest::TextOf(button.Handle()), L"OpenGL");
    const std::vector<uint8_t> plain = OnScreen(button);
    button.SetText(L"İptal");
    button.Invalidate(true);
    EXPECT_TRUE(
        guitest::PumpUntil([&]() { return OnScreen(button) != plain; }, guitest::kDeadlineMs));
    EXPECT_EQ(button.Text(), L"İptal");
    CNewDeckButton play;
    RECT r = {150, 20, 225, 43};
    ASSERT_TRUE(play.Create(host.Handle(), r, 1001, "PLAY", true));
    const std::vector<uint8_t> up = OnScreen(play);
    guitest::MouseMove(play.Handle(), 5, 5);
    ::UpdateWindow(play.Handle());
    EXPECT_EQ(play.LastPaint().bitmapSlot, kSlotHover);
    EXPECT_TRUE(guitest::PumpUntil([&]() { return OnScreen(play) != up; }, guitest::kDeadlineMs));
}

// Every family loads exactly its variants from the resources and takes the size of its up
// bitmap. (Which variant each look paints is the paint rule's own test.)
TEST_F(DeckButtonGuiTest, EveryFamilyLoadsItsVariantsAndTakesTheSizeOfItsUpBitmap) {
    const std::vector<int> box = {kSlotUp,    kSlotHover,    kSlotDown,
                                  kSlotAltUp, kSlotAltHover, kSlotAltDown};
    const std::vector<int> deck = {kSlotUp,    kSlotHover,    kSlotDown,   kSlotDisabled,
                                   kSlotAltUp, kSlotAltHover, kSlotAltDown};
    const std::pair<const char*, std::vector<int>> families[] = {
        {"CLOSE", box},
        {"HELP", box},
        {"MINIMIZE", box},
        {"MAXIMIZE", box},
        {"PLAY", deck},
        {"PAUSE", deck},
        {"STOP", deck},
        {"RECORD", deck},
        {"REWIND", deck},
        {"EJECT", deck},
        {"MENU", {kSlotUp, kSlotHover, kSlotDown, kSlotAltUp}},
        {"EMPTY_BUTTON", {kSlotUp, kSlotDown, kSlotDisabled}},
        {"SMALL_BUTTON", {kSlotUp, kSlotDown, kSlotDisabled}}};
    ASSERT_TRUE(host.Open(40, 500, 200, 80, L"Family"));
    for (const auto& [skin, slots] : families) {
        SCOPED_TRACE(skin);
        CNewDeckButton family;
        ASSERT_TRUE(family.Create(host.Handle(), RECT{20, 20, 30, 30}, 1001, skin, true));
        for (int slot = 0; slot < kDeckSlotCount; ++slot) {
            EXPECT_EQ(family.HasBitmap(slot),
                      std::find(slots.begin(), slots.end(), slot) != slots.end())
                << DeckSlotSuffix(slot);
        }
        HBITMAP up = ::LoadBitmapA(::GetModuleHandleW(nullptr), (std::string(skin) + "U").c_str());
        ASSERT_NE(up, nullptr);
        EXPECT_EQ(family.ClientRect().right, BitmapSize(up).cx);
        EXPECT_EQ(family.ClientRect().bottom, BitmapSize(up).cy);
        ::DeleteObject(up);
    }
}

}  // namespace
}  // namespace melvora

#include "ui/message_box_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace melvora {
namespace {

TEST(MessageBoxLayoutTest, ButtonsTextsAndResultsOfEveryType) {
    const struct {
        unsigned int type;
        std::vector<int> stringIds, results;
        int closeResult, minimumWidth;
    } cases[] = {{0, {138}, {1}, 1, 75},
                 {1, {138, 139}, {1, 2}, 2, 157},
                 {2, {233, 232, 234}, {3, 4, 5}, 5, 239},
                 {3, {147, 226, 139}, {6, 7, 2}, 2, 239},
                 {4, {147, 226}, {6, 7}, 7, 157},
                 {5, {232, 139}, {4, 2}, 2, 157},
                 {15, {138}, {1}, 1, 75},  // above 5: OK only
                 // Icon and default-button flags in the upper bits do not change the buttons.
                 {0x34u /* MB_YESNO | MB_ICONEXCLAMATION */, {147, 226}, {6, 7}, 7, 157},
                 {0xFFFFFFF1u, {138, 139}, {1, 2}, 2, 157}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const MessageBoxLayout layout = LayoutMessageBox(c.type, 10, 13);
        ASSERT_EQ(layout.buttonCount, static_cast<int>(c.stringIds.size()));
        for (int i = 0; i < layout.buttonCount; ++i) {
            EXPECT_EQ(layout.buttons[i].controlId, 1001 + i);
            EXPECT_EQ(layout.buttons[i].stringId, c.stringIds[static_cast<size_t>(i)]) << i;
            EXPECT_EQ(layout.buttons[i].result, c.results[static_cast<size_t>(i)]) << i;
        }
        EXPECT_EQ(layout.closeResult, c.closeResult);
        EXPECT_EQ(layout.minimumWidth, c.minimumWidth);
        // A short text gets the minimum width of its button set.
        EXPECT_EQ(layout.contentWidth, c.minimumWidth + 14);
    }
}

TEST(MessageBoxLayoutTest, LongSingleLineGrowsInHeightNotWidth) {
    // Wrapped at 250 pixels the text measures 250 x 52 (four lines).
    MessageBoxLayout layout = LayoutMessageBox(0, 250, 52);
    EXPECT_EQ(layout.contentWidth, 264);
    EXPECT_EQ(layout.contentHeight, 52 + 73);
    EXPECT_EQ(layout.windowWidth, 270);
    EXPECT_EQ(layout.windowHeight, 131);
}

TEST(MessageBoxLayoutTest, PlacesTitleCloseAndButtons) {
    MessageBoxLayout three = LayoutMessageBox(2, 100, 13);
    const int w = 253;
    const int h = 13 + 73;
    EXPECT_EQ(three.titleBar.width, w - 18);
    EXPECT_EQ(three.titleBar.height, 29);
    EXPECT_EQ(three.closeBox.left, w - 18);
    EXPECT_EQ(three.closeBox.width, 18);
    EXPECT_EQ(three.buttonRects[0].left, 7);
    EXPECT_EQ(three.buttonRects[1].left, w / 2 - 37);
    EXPECT_EQ(three.buttonRects[2].left, w - 82);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(three.buttonRects[i].top, h - 30);
        EXPECT_EQ(three.buttonRects[i].width, 75);
        EXPECT_EQ(three.buttonRects[i].height, 23);
    }
    MessageBoxLayout one = LayoutMessageBox(0, 10, 13);
    EXPECT_EQ(one.buttonRects[0].left, 89 / 2 - 37);

    MessageBoxLayout two = LayoutMessageBox(4, 10, 13);
    EXPECT_EQ(two.buttonRects[0].left, 7);
    EXPECT_EQ(two.buttonRects[1].left, 171 - 82);
}

}  // namespace
}  // namespace melvora

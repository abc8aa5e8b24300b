#include "ui/message_box_layout.h"

#include <algorithm>

namespace melvora {
namespace {

struct ButtonSet {
    int count;
    MessageBoxButton buttons[3];
    int closeResult;
    int minimumWidth;
};

const ButtonSet kButtonSets[6] = {
    {1, {{1001, kStringOk, kResultOk}, {}, {}}, kResultOk, 75},
    {2,
     {{1001, kStringOk, kResultOk}, {1002, kStringCancel, kResultCancel}, {}},
     kResultCancel,
     157},
    {3,
     {{1001, kStringAbort, kResultAbort},
      {1002, kStringRetry, kResultRetry},
      {1003, kStringIgnore, kResultIgnore}},
     kResultIgnore,
     239},
    {3,
     {{1001, kStringYes, kResultYes},
      {1002, kStringNo, kResultNo},
      {1003, kStringCancel, kResultCancel}},
     kResultCancel,
     239},
    {2, {{1001, kStringYes, kResultYes}, {1002, kStringNo, kResultNo}, {}}, kResultNo, 157},
    {2,
     {{1001, kStringRetry, kResultRetry}, {1002, kStringCancel, kResultCancel}, {}},
     kResultCancel,
     157},
};

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kTitleHeight = 29;
constexpr int kCloseBoxWidth = 18;

}  // namespace

int MessageBoxButtonSet(unsigned int type) {
    unsigned int low = type & 0xFu;
    return low > 5u ? 0 : static_cast<int>(low);
}

MessageBoxLayout LayoutMessageBox(unsigned int type, int textWidth, int textHeight) {
    MessageBoxLayout layout;
    layout.type = MessageBoxButtonSet(type);
    const ButtonSet& set = kButtonSets[layout.type];
    layout.buttonCount = set.count;
    for (int i = 0; i < 3; ++i) {
        layout.buttons[i] = set.buttons[i];
    }
    layout.closeResult = set.closeResult;
    layout.minimumWidth = set.minimumWidth;

    const int w = std::max(textWidth, set.minimumWidth) + 14;
    const int h = textHeight + 73;
    layout.contentWidth = w;
    layout.contentHeight = h;
    layout.windowWidth = w + 6;
    layout.windowHeight = h + 6;
    layout.titleBar = {0, 0, w - kCloseBoxWidth, kTitleHeight};
    layout.closeBox = {w - kCloseBoxWidth, 0, kCloseBoxWidth, kTitleHeight};

    const int y = h - 30;
    const int left = 7;
    const int middle = w / 2 - 37;
    const int right = w - 82;
    int xs[3] = {0, 0, 0};
    if (set.count == 1) {
        xs[0] = middle;
    } else if (set.count == 2) {
        xs[0] = left;
        xs[1] = right;
    } else {
        xs[0] = left;
        xs[1] = middle;
        xs[2] = right;
    }
    for (int i = 0; i < set.count; ++i) {
        layout.buttonRects[i] = {xs[i], y, kButtonWidth, kButtonHeight};
    }
    return layout;
}

}  // namespace melvora

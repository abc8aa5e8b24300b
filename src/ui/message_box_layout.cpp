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
    {1, {{IDC_MESSAGE_BUTTON_1, IDS_OK, kResultOk}, {}, {}}, kResultOk, 75},
    {2,
     {{IDC_MESSAGE_BUTTON_1, IDS_OK, kResultOk},
      {IDC_MESSAGE_BUTTON_2, IDS_CANCEL, kResultCancel},
      {}},
     kResultCancel,
     157},
    {3,
     {{IDC_MESSAGE_BUTTON_1, IDS_ABORT, kResultAbort},
      {IDC_MESSAGE_BUTTON_2, IDS_RETRY, kResultRetry},
      {IDC_MESSAGE_BUTTON_3, IDS_IGNORE, kResultIgnore}},
     kResultIgnore,
     239},
    {3,
     {{IDC_MESSAGE_BUTTON_1, IDS_YES, kResultYes},
      {IDC_MESSAGE_BUTTON_2, IDS_NO, kResultNo},
      {IDC_MESSAGE_BUTTON_3, IDS_CANCEL, kResultCancel}},
     kResultCancel,
     239},
    {2,
     {{IDC_MESSAGE_BUTTON_1, IDS_YES, kResultYes}, {IDC_MESSAGE_BUTTON_2, IDS_NO, kResultNo}, {}},
     kResultNo,
     157},
    {2,
     {{IDC_MESSAGE_BUTTON_1, IDS_RETRY, kResultRetry},
      {IDC_MESSAGE_BUTTON_2, IDS_CANCEL, kResultCancel},
      {}},
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

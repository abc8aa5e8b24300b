#pragma once

#include "resource_ids.h"
#include "string_ids.h"

namespace melvora {

// Dialog result codes, equal to the system's IDOK ... IDNO.
enum DialogResult {
    kResultOk = 1,
    kResultCancel = 2,
    kResultAbort = 3,
    kResultRetry = 4,
    kResultIgnore = 5,
    kResultYes = 6,
    kResultNo = 7,
};

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct MessageBoxButton {
    int controlId = 0;
    int stringId = 0;
    int result = 0;
};

// Everything the message box decides before it draws: its buttons, its answers and where
// each piece goes, from the measured size of the text.
struct MessageBoxLayout {
    int type = 0;  // the button set actually used (0..5)
    int buttonCount = 0;
    MessageBoxButton buttons[3];
    int closeResult = 0;    // the answer of the Close box
    int minimumWidth = 0;   // of the text area for this button set
    int contentWidth = 0;   // W: client width
    int contentHeight = 0;  // H: client height
    int windowWidth = 0;    // W + 6, the window with its modal frame
    int windowHeight = 0;   // H + 6
    LayoutRect titleBar;
    LayoutRect closeBox;
    LayoutRect buttonRects[3];
};

// Text is wrapped at this width in pixels before it is measured.
constexpr int kMessageBoxWrapWidth = 250;

// The button set of a standard message-box type: only the low 4 bits count, and values
// above 5 mean OK only.
int MessageBoxButtonSet(unsigned int type);

// Layout for a text that measured `textWidth` x `textHeight` pixels (wrapped at 250).
MessageBoxLayout LayoutMessageBox(unsigned int type, int textWidth, int textHeight);

}  // namespace melvora

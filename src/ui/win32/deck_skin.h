#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/tool_tip.h"
#include "ui/win32/new_deck_button.h"
#include "ui/win32/skin_slider.h"

namespace melvora {

// The skinning the deck-styled dialogs share: deck buttons over placeholders, menu buttons,
// bitmap sliders, and tool tips from a table of controls and strings.

// A tool tip of a dialog control: the control's id and the string id of its text.
struct ControlTip {
    int controlId;
    int stringId;
};

// Creates a deck button from the skin family `skin` over the dialog's placeholder `id`
// (see CNewDeckButton::CreateOverPlaceholder). With `onTop` the button goes above its
// siblings, such as group boxes created before it. The button is returned even when its
// window could not be made.
std::unique_ptr<CNewDeckButton> MakeDeckButton(HWND dialog, int id, const char* skin,
                                               bool sizeToBitmap, bool onTop);

// The menu buttons' text colours: `normalColour` on the normal look, white on the others.
void SetMenuButtonColours(CNewDeckButton& button, COLORREF normalColour);

// Takes over the dialog's trackbar `id` with the two channel bitmaps and a thumb cut from a
// strip of three frames (normal, hover, pressed), side by side or stacked. False when the
// trackbar is missing.
bool SkinSlider(CSkinSlider& slider, HWND dialog, int id, UINT afterBitmap, UINT beforeBitmap,
                UINT thumbBitmap);

// Creates the dialog's tool tip control with the deck's delays and a tip for each control of
// [first, last) that exists, then activates it. False when the control cannot be made.
bool CreateControlTips(CToolTip& toolTip, HWND dialog, const ControlTip* first,
                       const ControlTip* last, int language);
// Gives the tips of [first, last) the texts of `language` (nothing before CreateControlTips).
void UpdateControlTips(const CToolTip& toolTip, HWND dialog, const ControlTip* first,
                       const ControlTip* last, int language);

}  // namespace melvora

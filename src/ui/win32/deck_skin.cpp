#include "ui/win32/deck_skin.h"

#include "platform/string_table.h"
#include "platform/win32/paint_dc.h"
#include "ui/deck_paint_rule.h"

namespace melvora {

namespace {

constexpr int kThumbFrames = 3;

}  // namespace

std::unique_ptr<CNewDeckButton> MakeDeckButton(HWND dialog, int id, const char* skin,
                                               bool sizeToBitmap, bool onTop) {
    auto button = std::make_unique<CNewDeckButton>();
    if (button->CreateOverPlaceholder(dialog, static_cast<UINT>(id), skin, sizeToBitmap) && onTop) {
        ::SetWindowPos(button->Handle(), HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return button;
}

void SetMenuButtonColours(CNewDeckButton& button, COLORREF normalColour) {
    button.SetTextColour(normalColour, kSlotUp);
    for (int slot = kSlotHover; slot < kDeckSlotCount; ++slot) {
        button.SetTextColour(RGB(255, 255, 255), slot);
    }
}

bool SkinSlider(CSkinSlider& slider, HWND dialog, int id, UINT afterBitmap, UINT beforeBitmap,
                UINT thumbBitmap) {
    if (!slider.Attach(dialog, static_cast<UINT>(id))) {
        return false;
    }
    slider.SetChannel(afterBitmap, beforeBitmap);
    const CBitmapHandle thumb(
        ::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(thumbBitmap)));
    if (thumb) {
        const SIZE size = BitmapSize(thumb.Get());
        const bool stacked = size.cx < size.cy;
        slider.SetThumb(thumbBitmap, stacked ? size.cx : size.cx / kThumbFrames,
                        stacked ? size.cy / kThumbFrames : size.cy);
    }
    return true;
}

bool CreateControlTips(CToolTip& toolTip, HWND dialog, const ControlTip* first,
                       const ControlTip* last, int language) {
    if (!toolTip.Create(dialog)) {
        return false;
    }
    toolTip.SetDelays(60000, 100, 100);
    for (const ControlTip* tip = first; tip != last; ++tip) {
        HWND control = ::GetDlgItem(dialog, tip->controlId);
        if (control != nullptr) {
            toolTip.AddTool(control, LoadText(tip->stringId, language));
        }
    }
    toolTip.Activate(true);
    return true;
}

void UpdateControlTips(const CToolTip& toolTip, HWND dialog, const ControlTip* first,
                       const ControlTip* last, int language) {
    if (toolTip.Handle() == nullptr) {
        return;
    }
    for (const ControlTip* tip = first; tip != last; ++tip) {
        HWND control = ::GetDlgItem(dialog, tip->controlId);
        if (control != nullptr) {
            toolTip.UpdateTipText(control, LoadText(tip->stringId, language));
        }
    }
}

}  // namespace melvora

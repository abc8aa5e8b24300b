#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "platform/win32/paint_dc.h"
#include "platform/win32/wnd.h"
#include "ui/deck_button_tracker.h"
#include "ui/deck_paint_rule.h"
#include "ui/win32/measured_font.h"

namespace melvora {

// A push button drawn from a family of skin bitmaps (name + "U", "H", "D", "X", "CU", "CH",
// "CD", "CX"), with an optional caption. It posts WM_COMMAND(id, window) to its parent when
// it is released over itself after being pressed there.
class CNewDeckButton : public CWnd {
  public:
    CNewDeckButton();
    ~CNewDeckButton() override;

    // `rect` in the parent's client coordinates; with `sizeToBitmap` the button takes the
    // size of its "U" bitmap.
    bool Create(HWND parent, const RECT& rect, UINT id, const std::string& skinName,
                bool sizeToBitmap);
    // Creates the button over the dialog's placeholder control `id` (which is hidden).
    bool CreateOverPlaceholder(HWND dialog, UINT id, const std::string& skinName,
                               bool sizeToBitmap);

    // Text colour of a slot 0..7 (see DeckSlot); marks the slot's colour as set.
    void SetTextColour(COLORREF colour, int slot);
    void SetText(const std::wstring& text);
    const std::wstring& Text() const { return text_; }
    // Resizes the button (without moving it) to 1.2 x its text's size; nothing for no text.
    void FitToText();
    // The alternate ("C") look: latched toggle buttons, inactive windows' title buttons.
    void SetLatched(bool latched);
    bool Latched() const { return alternate_; }
    void Enable(bool enable) const;

    // Shows a mouse state without the mouse (pages that present every look of a skin).
    void PreviewState(DeckButtonState state);

    UINT ControlId() const { return id_; }
    DeckButtonState State() const { return tracker_.State(); }
    bool HasBitmap(int slot) const;
    // What the last WM_PAINT drew (for checks and screenshots).
    DeckPaintChoice LastPaint() const { return lastPaint_; }
    COLORREF LastTextColour() const { return lastTextColour_; }
    int PaintCount() const { return paintCount_; }

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    int OnCreate();
    void OnPaint();
    void OnMouseMove(POINT point);
    void OnLButtonDown();
    void OnLButtonUp();
    void OnLostMouse();
    void Apply(const DeckButtonReaction& reaction);

    HWND parent_ = nullptr;
    UINT id_ = 0;
    std::string skinName_;
    bool sizeToBitmap_ = false;
    std::array<CBitmapHandle, kDeckSlotCount> bitmaps_;
    DeckButtonTracker tracker_;
    bool previewing_ = false;
    DeckButtonState previewState_ = DeckButtonState::kNormal;
    bool alternate_ = false;
    std::wstring text_;
    std::array<COLORREF, kDeckSlotCount> colours_ = {};
    std::array<bool, kDeckSlotCount> colourSet_ = {};
    CMeasuredFont font_;
    DeckPaintChoice lastPaint_;
    COLORREF lastTextColour_ = 0;
    int paintCount_ = 0;
};

}  // namespace melvora

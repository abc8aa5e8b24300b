#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/paint_dc.h"
#include "platform/win32/wnd.h"
#include "ui/win32/measured_font.h"

namespace melvora {

// The caption bar of a skinned window: a stretched background and a right-aligned end
// image (active or inactive look), the parent's icon and its caption, shortened with "..."
// when it does not fit. Mouse messages are handed to the parent as caption (non-client)
// messages, so the bar moves the window and opens its system menu.
class CMyTitleBar : public CWnd {
  public:
    CMyTitleBar() = default;
    ~CMyTitleBar() override;

    bool Create(HWND parent, const RECT& rect, UINT id);
    bool CreateOverPlaceholder(HWND dialog, UINT id);

    // Bitmap resource numbers; 0 keeps the current one.
    void SetBitmaps(UINT activeBackground, UINT inactiveBackground);
    void SetEndImages(UINT activeEnd, UINT inactiveEnd);
    // Caption colours; until called, the system caption colours are used.
    void SetColours(COLORREF activeText, COLORREF inactiveText);
    // The standard look of a floating window (the IDB_TITLE_* backgrounds and ends, white
    // and RGB(100, 120, 160) captions).
    void SetFloatingWindowLook();

    // The caption as it fits in `width` pixels with this bar's font.
    std::wstring ShortenToWidth(const std::wstring& caption, int width) const;
    // What the last WM_PAINT drew (for checks).
    const std::wstring& LastDrawnCaption() const { return lastCaption_; }
    bool LastPaintActive() const { return lastActive_; }
    int LastTextX() const { return lastTextX_; }

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    int OnCreate();
    void OnPaint();
    void Forward(UINT ncMessage, LPARAM lParam) const;
    // Loads bitmap resource `id` into `slot`; 0 keeps what the slot holds.
    static void ReplaceBitmap(CBitmapHandle* slot, UINT id);

    HWND parent_ = nullptr;
    CBitmapHandle activeBackground_;
    CBitmapHandle inactiveBackground_;
    CBitmapHandle activeEnd_;
    CBitmapHandle inactiveEnd_;
    bool useSystemColours_ = true;
    COLORREF activeText_ = 0;
    COLORREF inactiveText_ = 0;
    CMeasuredFont font_;
    int ellipsisWidth_ = 0;
    std::wstring lastCaption_;
    bool lastActive_ = false;
    int lastTextX_ = 0;
};

}  // namespace melvora

#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/wnd.h"
#include "ui/win32/bitmap_strip.h"
#include "ui/win32/skin_thumb.h"

namespace melvora {

// A trackbar of a dialog drawn from bitmaps: the channel left of (above) the thumb from the
// "before" image, the rest from the "after" image, and a bitmap thumb window over the
// trackbar's own thumb. The trackbar keeps doing the dragging; the mouse wheel is ignored so
// that scrolling over a window never moves a position by accident.
class CSkinSlider : public CWnd {
  public:
    CSkinSlider() = default;
    ~CSkinSlider() override;

    // Takes over the dialog's trackbar `id`.
    bool Attach(HWND dialog, UINT id);
    // Loads both channel images and sizes the control to the "before" image.
    bool SetChannel(UINT afterBitmap, UINT beforeBitmap);
    // Once only: creates the thumb window from a strip of frames and sets the trackbar's
    // thumb length to match.
    bool SetThumb(UINT bitmapId, int frameWidth, int frameHeight);
    void ShowThumb(bool show);
    CSkinThumb* Thumb() { return thumb_.get(); }
    // The thumb rectangle the last paint placed the thumb window at.
    RECT SkinThumbRect() const;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void PaintChannel(HDC dc, bool moveThumb);

    std::unique_ptr<CBitmapStrip> after_;
    std::unique_ptr<CBitmapStrip> before_;
    std::unique_ptr<CSkinThumb> thumb_;
    int thumbOffset_ = 0;
};

}  // namespace melvora

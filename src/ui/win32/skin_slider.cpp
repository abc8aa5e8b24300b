#include "ui/win32/skin_slider.h"

#include "platform/win32/paint_dc.h"

#include <commctrl.h>

#include "platform/win32/trackbar.h"

namespace melvora {

CSkinSlider::~CSkinSlider() {
    // The thumb window is a child of the trackbar: destroy it while the trackbar exists.
    thumb_.reset();
    Detach();
}

bool CSkinSlider::Attach(HWND dialog, UINT id) {
    return SubclassDlgItem(id, dialog);
}

bool CSkinSlider::SetChannel(UINT afterBitmap, UINT beforeBitmap) {
    after_ = std::make_unique<CBitmapStrip>();
    before_ = std::make_unique<CBitmapStrip>();
    bool ok = after_->Load(afterBitmap);
    ok = before_->Load(beforeBitmap) && ok;
    if (before_->IsLoaded()) {
        Resize(before_->Width(), before_->Height());
    }
    return ok;
}

bool CSkinSlider::SetThumb(UINT bitmapId, int frameWidth, int frameHeight) {
    if (thumb_ != nullptr || Handle() == nullptr) {
        return false;
    }
    thumb_ = std::make_unique<CSkinThumb>();
    if (!thumb_->Create(Handle(), 0, bitmapId, frameWidth, frameHeight)) {
        thumb_.reset();
        return false;
    }
    thumb_->SetForwardToParent(true);
    LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
    ::SetWindowLongW(Handle(), GWL_STYLE, style | TBS_FIXEDLENGTH);
    RECT client = thumb_->ClientRect();
    bool vertical = (style & TBS_VERT) != 0;
    int length = vertical ? 2 * client.bottom : client.right;
    ::SendMessageW(Handle(), TBM_SETTHUMBLENGTH, static_cast<WPARAM>(length * 1.2), 0);
    return true;
}

void CSkinSlider::ShowThumb(bool show) {
    if (thumb_ != nullptr) {
        thumb_->Show(show ? SW_SHOW : SW_HIDE);
    }
}

RECT CSkinSlider::SkinThumbRect() const {
    RECT r = {0, 0, 0, 0};
    if (thumb_ == nullptr || thumb_->Handle() == nullptr) {
        return r;
    }
    return thumb_->RectInParent();
}

LRESULT CSkinSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(Handle(), &ps);
            PaintChannel(dc, true);
            ::EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_MOUSEMOVE: {
            LRESULT result = Default(message, wParam, lParam);
            const CWindowDC dc(Handle());
            PaintChannel(dc.Get(), false);
            return result;
        }
        case WM_LBUTTONUP:
            Invalidate(true);
            return Default(message, wParam, lParam);
        case WM_MOUSEWHEEL:
            return TRUE;
        case WM_ERASEBKGND:
            return TRUE;
        default:
            return Default(message, wParam, lParam);
    }
}

void CSkinSlider::PaintChannel(HDC dc, bool moveThumb) {
    if (after_ == nullptr || before_ == nullptr || !after_->IsLoaded() || !before_->IsLoaded()) {
        return;
    }
    CTrackbar trackbar(Handle());
    RECT native = trackbar.ThumbRect();
    RECT client = ClientRect();
    const bool vertical = trackbar.IsVertical();
    RECT thumb = native;
    int thumbWidth = 0;
    int thumbHeight = 0;
    if (thumb_ != nullptr) {
        RECT t = thumb_->ClientRect();
        thumbWidth = t.right;
        thumbHeight = t.bottom;
    }
    if (!vertical) {
        thumb.top = thumbOffset_;
        thumb.bottom = thumb.top + thumbHeight;
        // Centred on the trackbar's own thumb, as in the vertical case, so the picture sits
        // where the trackbar takes the clicks.
        thumb.left = native.left - (thumbWidth - RectWidth(native)) / 2;
        thumb.right = thumb.left + thumbWidth;
        // During mouse moves the thumb window has not moved yet: split at its left edge.
        int split = moveThumb ? thumb.right : thumb.left;
        ::BitBlt(dc, 0, 0, split, client.bottom, before_->Dc(), 0, 0, SRCCOPY);
        ::BitBlt(dc, split, 0, client.right - split, client.bottom, after_->Dc(), split, 0,
                 SRCCOPY);
    } else {
        thumb.left = thumbOffset_;
        thumb.right = thumb.left + thumbWidth;
        thumb.top = native.top - (thumbHeight - RectHeight(native)) / 2;
        thumb.bottom = thumb.top + thumbHeight;
        int split = moveThumb ? thumb.bottom : thumb.top;
        ::BitBlt(dc, 0, 0, client.right, split, after_->Dc(), 0, 0, SRCCOPY);
        ::BitBlt(dc, 0, split, client.right, client.bottom - split, before_->Dc(), 0, split,
                 SRCCOPY);
    }
    if (moveThumb && thumb_ != nullptr && thumb_->Handle() != nullptr) {
        ::SetWindowPos(thumb_->Handle(), nullptr, thumb.left, thumb.top, RectWidth(thumb),
                       RectHeight(thumb), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace melvora

#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/unique_handle.h"

namespace melvora {

// The font of a skinned control with the advance widths of its Latin-1 letters measured once
// on the control's screen; letters beyond Latin-1 (Turkish "ş", "ğ", "İ") are measured when
// asked.
class CMeasuredFont {
  public:
    // Takes `font` (null for none) and measures it on `window`.
    void Reset(HWND window, HFONT font);
    HFONT Get() const { return font_.Get(); }
    // Advance width of `ch` in pixels.
    int CharWidth(wchar_t ch) const;
    const TEXTMETRICW& Metrics() const { return metrics_; }

  private:
    HWND window_ = nullptr;
    CFontHandle font_;
    std::array<int, 256> widths_ = {};
    TEXTMETRICW metrics_ = {};
};

}  // namespace melvora

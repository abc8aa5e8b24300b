#pragma once

#include <windows.h>

#include "platform/win32/wnd.h"
#include "ui/win32/bitmap_strip.h"

namespace melvora {

// A small window drawn from a strip of frames (0 normal, 1 hover, 2 pressed): the thumb of
// a skinned slider, or a bitmap button of its own.
class CSkinThumb : public CWnd {
  public:
    CSkinThumb() = default;
    ~CSkinThumb() override;

    bool Create(HWND parent, UINT id, UINT bitmapId, int frameWidth, int frameHeight);
    CBitmapStrip& Strip() { return strip_; }
    int Frame() const { return frame_; }
    void SetLatched(bool latched);
    bool Latched() const { return latched_; }
    void SetToggle(bool toggle) { toggle_ = toggle; }
    // Mouse moves and clicks go on to the parent (with its coordinates), so the slider under
    // the thumb drags itself.
    void SetForwardToParent(bool forward) { forward_ = forward; }
    void SetCommandOnPress(bool onPress) { commandOnPress_ = onPress; }

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnMouseMove(LPARAM lParam);
    void OnMouseHover();
    void OnMouseLeave();
    void OnLButtonDown(LPARAM lParam);
    void OnLButtonUp(LPARAM lParam);
    void ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam) const;
    void SendCommand() const;

    HWND parent_ = nullptr;
    UINT id_ = 0;
    CBitmapStrip strip_;
    int frame_ = 0;
    bool latched_ = false;
    bool toggle_ = false;
    bool forward_ = false;
    bool commandOnPress_ = false;
    bool tracking_ = false;
};

}  // namespace melvora

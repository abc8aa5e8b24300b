#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace melvora {

// An OpenGL view's drawing surface when its window cannot show OpenGL: Wine draws a child
// window with a pixel format into an offscreen X window and never shows it in the top-level
// window, so there the view draws into a pbuffer and copies each frame into its window with
// GDI. The window itself then gets no pixel format. On Windows the window path stays the
// rule; MELVORA_GL_PRESENT=gdi or =window forces either path.
class CGLOffscreenTarget {
  public:
    CGLOffscreenTarget() = default;
    ~CGLOffscreenTarget();
    CGLOffscreenTarget(const CGLOffscreenTarget&) = delete;
    CGLOffscreenTarget& operator=(const CGLOffscreenTarget&) = delete;

    // True when views should draw offscreen: under Wine, or as MELVORA_GL_PRESENT says.
    static bool Wanted();

    // Makes a pbuffer for at least cx x cy pixels on the display of `dc`. False when the
    // driver has no pbuffers (the caller then draws into its window).
    bool Open(HDC dc, int cx, int cy);
    // Makes room for cx x cy pixels; the pbuffer only grows. A context is made current
    // on Dc() again afterwards. False (the old pbuffer kept) when a larger one cannot be made.
    bool Fit(HDC dc, int cx, int cy);
    void Close();

    bool IsOpen() const { return dc_ != nullptr; }
    // The pbuffer's DC, to create the context on and make it current on.
    HDC Dc() const { return dc_; }

    // With the context current on Dc(): copies the lower left cx x cy pixels of the frame
    // into `windowDc` at (0, 0).
    void Present(HDC windowDc, int cx, int cy);

  private:
    HANDLE pbuffer_ = nullptr;
    HDC dc_ = nullptr;
    int format_ = 0;
    int widthPixels_ = 0;
    int heightPixels_ = 0;
    int bgra_ = -1;  // -1 not asked yet, then whether GL reads BGRA itself
    std::vector<uint32_t> pixels_;
};

}  // namespace melvora

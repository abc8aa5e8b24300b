#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace melvora {

// A bitmap resource selected into its own memory DC, seen as a strip of equal frames
// (vertical when the bitmap is narrower than high).
class CBitmapStrip {
  public:
    CBitmapStrip() = default;
    ~CBitmapStrip();
    CBitmapStrip(const CBitmapStrip&) = delete;
    CBitmapStrip& operator=(const CBitmapStrip&) = delete;

    // Loads bitmap `id`; a frame size of 0 means the bitmap's own size. False when the
    // resource is missing.
    bool Load(UINT id, int frameWidth = 0, int frameHeight = 0);
    bool IsLoaded() const { return static_cast<bool>(bitmap_); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_; }
    int FrameCount() const { return frameCount_; }
    bool Vertical() const { return vertical_; }
    HDC Dc() const { return dc_; }
    // A second, independent copy of the image in its own DC (for views that draw over one
    // copy and restore from the other). False when nothing is loaded.
    bool MakeSecondCopy();
    HDC SecondDc() const { return secondDc_; }
    void SetDefaultPosition(int x, int y);

    // Whole image at a position, unscaled.
    void Draw(HDC target, int x, int y) const;
    // Whole image scaled to a size (0 means the image's own size).
    void DrawScaled(HDC target, int x, int y, int width, int height) const;
    // Whole image centred in a box of the given size.
    void DrawCentred(HDC target, int x, int y, int width, int height) const;
    // Frame k at a position; nothing when k is not below the frame count.
    void DrawFrame(HDC target, int frame, int x, int y) const;
    void DrawFrame(HDC target, int frame) const { DrawFrame(target, frame, defaultX_, defaultY_); }

  private:
    void Free();

    CBitmapHandle bitmap_;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    CBitmapHandle secondBitmap_;
    HDC secondDc_ = nullptr;
    HGDIOBJ secondPrevious_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    int frameCount_ = 0;
    bool vertical_ = false;
    int defaultX_ = 0;
    int defaultY_ = 0;
};

}  // namespace melvora

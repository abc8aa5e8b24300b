#include "ui/win32/bitmap_strip.h"

#include "platform/win32/paint_dc.h"

namespace melvora {

CBitmapStrip::~CBitmapStrip() {
    Free();
}

void CBitmapStrip::Free() {
    if (secondDc_ != nullptr) {
        ::SelectObject(secondDc_, secondPrevious_);
        ::DeleteDC(secondDc_);
        secondDc_ = nullptr;
    }
    secondBitmap_.Reset();
    if (dc_ != nullptr) {
        ::SelectObject(dc_, previous_);
        ::DeleteDC(dc_);
        dc_ = nullptr;
    }
    bitmap_.Reset();
    width_ = height_ = frameWidth_ = frameHeight_ = frameCount_ = 0;
}

bool CBitmapStrip::Load(UINT id, int frameWidth, int frameHeight) {
    Free();
    bitmap_.Reset(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
    if (!bitmap_) {
        return false;
    }
    dc_ = ::CreateCompatibleDC(nullptr);
    previous_ = ::SelectObject(dc_, bitmap_.Get());
    SIZE size = BitmapSize(bitmap_.Get());
    width_ = size.cx;
    height_ = size.cy;
    frameWidth_ = frameWidth > 0 ? frameWidth : width_;
    frameHeight_ = frameHeight > 0 ? frameHeight : height_;
    vertical_ = width_ < height_;
    frameCount_ = vertical_ ? height_ / frameHeight_ : width_ / frameWidth_;
    return true;
}

bool CBitmapStrip::MakeSecondCopy() {
    if (dc_ == nullptr) {
        return false;
    }
    if (secondDc_ != nullptr) {
        return true;
    }
    secondBitmap_.Reset(::CreateCompatibleBitmap(dc_, width_, height_));
    if (!secondBitmap_) {
        return false;
    }
    secondDc_ = ::CreateCompatibleDC(dc_);
    secondPrevious_ = ::SelectObject(secondDc_, secondBitmap_.Get());
    ::BitBlt(secondDc_, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    return true;
}

void CBitmapStrip::SetDefaultPosition(int x, int y) {
    defaultX_ = x;
    defaultY_ = y;
}

void CBitmapStrip::Draw(HDC target, int x, int y) const {
    if (dc_ != nullptr) {
        ::BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
    }
}

void CBitmapStrip::DrawScaled(HDC target, int x, int y, int width, int height) const {
    if (dc_ == nullptr) {
        return;
    }
    ::SetStretchBltMode(target, COLORONCOLOR);
    ::StretchBlt(target, x, y, width > 0 ? width : width_, height > 0 ? height : height_, dc_, 0, 0,
                 width_, height_, SRCCOPY);
}

void CBitmapStrip::DrawCentred(HDC target, int x, int y, int width, int height) const {
    Draw(target, x + (width - width_) / 2, y + (height - height_) / 2);
}

void CBitmapStrip::DrawFrame(HDC target, int frame, int x, int y) const {
    if (dc_ == nullptr || frame < 0 || frame >= frameCount_) {
        return;
    }
    int sourceX = vertical_ ? 0 : frame * frameWidth_;
    int sourceY = vertical_ ? frame * frameHeight_ : 0;
    ::BitBlt(target, x, y, frameWidth_, frameHeight_, dc_, sourceX, sourceY, SRCCOPY);
}

}  // namespace melvora

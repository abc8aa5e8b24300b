#include "platform/win32/paint_dc.h"

#include <cstdlib>

namespace melvora {

HFONT CreatePointFont(int tenthsOfPoint, const wchar_t* faceName) {
    HDC screen = ::GetDC(nullptr);
    int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    LOGFONTW lf = {};
    lf.lfHeight = -std::abs(::MulDiv(dpi, tenthsOfPoint, 720));
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, faceName, LF_FACESIZE);
    return ::CreateFontIndirectW(&lf);
}

SIZE BitmapSize(HBITMAP bitmap) {
    SIZE size = {0, 0};
    BITMAP info = {};
    if (bitmap != nullptr && ::GetObjectW(bitmap, sizeof(info), &info) == sizeof(info)) {
        size.cx = info.bmWidth;
        size.cy = info.bmHeight;
    }
    return size;
}

CBitmapHandle LoadDibSection(UINT id, int bitsPerPixel, DIBSECTION* dib) {
    CBitmapHandle bitmap(
        static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleW(nullptr), MAKEINTRESOURCEA(id),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    *dib = DIBSECTION{};
    if (!bitmap || ::GetObjectW(bitmap.Get(), sizeof(*dib), dib) != sizeof(*dib) ||
        dib->dsBm.bmBits == nullptr || dib->dsBm.bmBitsPixel != bitsPerPixel) {
        bitmap.Reset();
    }
    return bitmap;
}

int MeasureCharWidth(HWND window, HFONT font, wchar_t ch) {
    CWindowDC dc(window);
    CSelectObject selectFont(dc.Get(), font);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc.Get(), &ch, 1, &size);
    return size.cx;
}

}  // namespace melvora

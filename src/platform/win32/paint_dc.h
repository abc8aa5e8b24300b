#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace melvora {

// BeginPaint/EndPaint for one WM_PAINT.
class CPaintDC {
  public:
    explicit CPaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~CPaintDC() { ::EndPaint(hwnd_, &ps_); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Paint() const { return ps_; }

  private:
    HWND hwnd_;
    HDC dc_;
    PAINTSTRUCT ps_ = {};
};

// GetDC/ReleaseDC.
class CWindowDC {
  public:
    explicit CWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~CWindowDC() {
        if (dc_ != nullptr) {
            ::ReleaseDC(hwnd_, dc_);
        }
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// A memory DC compatible with `reference` (the screen when null), deleted with the object.
class CMemoryDC {
  public:
    explicit CMemoryDC(HDC reference) : dc_(::CreateCompatibleDC(reference)) {}
    ~CMemoryDC() {
        if (dc_ != nullptr) {
            ::DeleteDC(dc_);
        }
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back at the end of the scope.
class CSelectObject {
  public:
    CSelectObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    ~CSelectObject() {
        if (previous_ != nullptr) {
            ::SelectObject(dc_, previous_);
        }
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A font of `tenthsOfPoint` / 10 points on the screen's resolution, like CFont's point fonts.
HFONT CreatePointFont(int tenthsOfPoint, const wchar_t* faceName);

// The size of a bitmap in pixels ({0, 0} for null).
SIZE BitmapSize(HBITMAP bitmap);

// Bitmap resource `id` of the program as a DIB section whose pixels (`dib->dsBm.bmBits`) can
// be read; empty when it is missing or not of `bitsPerPixel` bits.
CBitmapHandle LoadDibSection(UINT id, int bitsPerPixel, DIBSECTION* dib);

// The advance width of `ch` in `font` on `window`'s screen. The controls keep tables for
// Latin-1 and measure letters beyond it (Turkish "ş", "ğ", "İ") when asked.
int MeasureCharWidth(HWND window, HFONT font, wchar_t ch);

}  // namespace melvora

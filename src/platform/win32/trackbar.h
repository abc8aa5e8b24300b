#pragma once

#include <windows.h>

namespace melvora {

// Thin calls on a trackbar control that a dialog owns.
class CTrackbar {
  public:
    explicit CTrackbar(HWND hwnd = nullptr) : hwnd_(hwnd) {}
    HWND Handle() const { return hwnd_; }
    void SetRange(int minimum, int maximum, bool redraw) const;
    void SetRangeMax(int maximum, bool redraw) const;
    int RangeMax() const;
    void SetPageSize(int size) const;
    void SetPos(int position, bool redraw = true) const;
    int Pos() const;
    RECT ThumbRect() const;
    bool IsVertical() const;

  private:
    HWND hwnd_;
};

}  // namespace melvora

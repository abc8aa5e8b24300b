#include "platform/win32/trackbar.h"

#include <commctrl.h>

namespace melvora {

void CTrackbar::SetRange(int minimum, int maximum, bool redraw) const {
    ::SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, minimum);
    ::SendMessageW(hwnd_, TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
}

void CTrackbar::SetRangeMax(int maximum, bool redraw) const {
    ::SendMessageW(hwnd_, TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
}

int CTrackbar::RangeMax() const {
    return static_cast<int>(::SendMessageW(hwnd_, TBM_GETRANGEMAX, 0, 0));
}

void CTrackbar::SetPageSize(int size) const {
    ::SendMessageW(hwnd_, TBM_SETPAGESIZE, 0, size);
}

void CTrackbar::SetPos(int position, bool redraw) const {
    ::SendMessageW(hwnd_, TBM_SETPOS, redraw ? TRUE : FALSE, position);
}

int CTrackbar::Pos() const {
    return static_cast<int>(::SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
}

RECT CTrackbar::ThumbRect() const {
    RECT r = {};
    ::SendMessageW(hwnd_, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

bool CTrackbar::IsVertical() const {
    return (::GetWindowLongW(hwnd_, GWL_STYLE) & TBS_VERT) != 0;
}

}  // namespace melvora

#include "music/win32/note_mouse_view.h"

#include <commctrl.h>

namespace melvora {

bool CNoteMouseView::Create(HWND parent, const RECT& rect, UINT id) {
    if (!COpenGLWnd::Create(parent, rect, id)) {
        return false;
    }
    // The note descriptions have three lines; the tip keeps them as they are.
    if (ToolTip().Handle() != nullptr) {
        ::SendMessageW(ToolTip().Handle(), TTM_SETMAXTIPWIDTH, 0, 32767);
    }
    return true;
}

void CNoteMouseView::Capture(bool capture) {
    if (capture) {
        ::SetCapture(Handle());
    } else if (::GetCapture() == Handle()) {
        ::ReleaseCapture();
    }
}

void CNoteMouseView::OnMouseMove(int x, int y, bool buttonDown) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    POINT screen = {x, y};
    ::ClientToScreen(Handle(), &screen);
    const int item = ::WindowFromPoint(screen) == Handle() ? ItemAt(x, y) : -1;
    if (mouse_.Move(item, buttonDown)) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
        // Off and on again, so that the tip follows the note under the mouse.
        ActivateToolTip(false);
        ActivateToolTip(true);
    }
}

LRESULT CNoteMouseView::OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                        (wParam & MK_LBUTTON) != 0);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // The click makes the view's window the active one before the note starts.
            ::SetActiveWindow(::GetParent(Handle()));
            mouse_.ButtonDown();
            return 0;
        case WM_LBUTTONUP:
            mouse_.ButtonUp();
            return 0;
        default:
            return COpenGLWnd::OnViewMessage(message, wParam, lParam);
    }
}

}  // namespace melvora

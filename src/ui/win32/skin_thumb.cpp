#include "ui/win32/skin_thumb.h"

namespace melvora {
namespace {

const wchar_t kSkinThumbClass[] = L"MelvoraSkinThumb";

}  // namespace

CSkinThumb::~CSkinThumb() {
    if (Handle() != nullptr) {
        HWND hwnd = Handle();
        Detach();
        ::DestroyWindow(hwnd);
    }
}

bool CSkinThumb::Create(HWND parent, UINT id, UINT bitmapId, int frameWidth, int frameHeight) {
    if (!RegisterWindowClass(kSkinThumbClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                             ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)),
                             static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)))) {
        return false;
    }
    parent_ = parent;
    id_ = id;
    strip_.Load(bitmapId, frameWidth, frameHeight);
    RECT rect = {0, 0, strip_.FrameWidth(), strip_.FrameHeight()};
    return CWnd::Create(0, kSkinThumbClass, L"", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void CSkinThumb::SetLatched(bool latched) {
    latched_ = latched;
    frame_ = latched && strip_.FrameCount() > 2 ? 2 : 0;
    Invalidate(true);
}

LRESULT CSkinThumb::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(lParam);
            return 0;
        case WM_MOUSEHOVER:
            OnMouseHover();
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(lParam);
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(lParam);
            return 0;
        case WM_ERASEBKGND:
            strip_.DrawFrame(reinterpret_cast<HDC>(wParam), frame_, 0, 0);
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(Handle(), &ps);
            strip_.DrawFrame(dc, frame_, 0, 0);
            ::EndPaint(Handle(), &ps);
            return 0;
        }
        default:
            return Default(message, wParam, lParam);
    }
}

void CSkinThumb::OnMouseMove(LPARAM lParam) {
    if (!tracking_) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = Handle();
        tme.dwHoverTime = 1;
        tracking_ = ::TrackMouseEvent(&tme) != FALSE;
    }
    if (forward_) {
        ForwardToParent(WM_MOUSEMOVE, 0, lParam);
    }
}

void CSkinThumb::OnMouseHover() {
    frame_ = latched_ ? 2 : (strip_.FrameCount() > 1 ? 1 : 0);
    Invalidate(true);
}

void CSkinThumb::OnMouseLeave() {
    frame_ = (latched_ && strip_.FrameCount() > 1) ? 2 : 0;
    tracking_ = false;
    Invalidate(true);
}

void CSkinThumb::OnLButtonDown(LPARAM lParam) {
    frame_ = (latched_ || strip_.FrameCount() < 3) ? 0 : 2;
    if (toggle_) {
        latched_ = !latched_;
    }
    Invalidate(true);
    if (commandOnPress_) {
        SendCommand();
    }
    if (forward_) {
        ForwardToParent(WM_LBUTTONDOWN, MK_LBUTTON, lParam);
    }
}

void CSkinThumb::OnLButtonUp(LPARAM lParam) {
    if (!latched_) {
        frame_ = strip_.FrameCount() > 1 ? 1 : 0;
        Invalidate(true);
    }
    if (!commandOnPress_) {
        SendCommand();
    }
    if (forward_) {
        ForwardToParent(WM_LBUTTONUP, 0, lParam);
    }
}

void CSkinThumb::ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (parent_ == nullptr) {
        return;
    }
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::MapWindowPoints(Handle(), parent_, &point, 1);
    ::SendMessageW(parent_, message, wParam, MAKELPARAM(point.x, point.y));
}

void CSkinThumb::SendCommand() const {
    if (parent_ != nullptr) {
        ::SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(id_, 0), reinterpret_cast<LPARAM>(Handle()));
    }
}

}  // namespace melvora

#include "platform/win32/wnd.h"

namespace melvora {
namespace {

// The object pointer lives in a window property rather than GWLP_USERDATA, which controls
// and dialogs may use for themselves.
const wchar_t kObjectProperty[] = L"MelvoraCWnd";

}  // namespace

CWnd::~CWnd() {
    if (hwnd_ == nullptr) {
        return;
    }
    // Detach first: messages sent while the window is destroyed must not reach a
    // half-destroyed object.
    HWND hwnd = hwnd_;
    bool owned = owned_;
    Detach();
    if (owned) {
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty));
}

bool CWnd::RegisterWindowClass(const wchar_t* className, UINT classStyle, HCURSOR cursor,
                               HBRUSH background) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, className, &existing)) {
        return true;
    }
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &CWnd::RoutingProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return ::RegisterClassExW(&wc) != 0;
}

bool CWnd::Create(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, HWND parent, UINT id) {
    if (hwnd_ != nullptr) {
        return false;
    }
    HMENU menuOrId =
        (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND hwnd = ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top,
                                  RectWidth(rect), RectHeight(rect), parent, menuOrId,
                                  ::GetModuleHandleW(nullptr), this);
    if (hwnd == nullptr) {
        hwnd_ = nullptr;
        return false;
    }
    owned_ = true;
    return true;
}

bool CWnd::Subclass(HWND hwnd) {
    if (hwnd_ != nullptr || hwnd == nullptr || FromHandle(hwnd) != nullptr) {
        return false;
    }
    AttachHandle(hwnd);
    subclassedProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::RoutingProc)));
    owned_ = false;
    return subclassedProc_ != nullptr;
}

bool CWnd::SubclassDlgItem(UINT id, HWND dialog) {
    return Subclass(::GetDlgItem(dialog, static_cast<int>(id)));
}

void CWnd::Detach() {
    if (hwnd_ == nullptr) {
        return;
    }
    if (subclassedProc_ != nullptr) {
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassedProc_));
        subclassedProc_ = nullptr;
    }
    ClearHandle();
}

void CWnd::DestroyWindow() {
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

void CWnd::Invalidate(bool erase) const {
    if (hwnd_ != nullptr) {
        ::InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE);
    }
}

RECT CWnd::ClientRect() const {
    RECT r = {};
    if (hwnd_ != nullptr) {
        ::GetClientRect(hwnd_, &r);
    }
    return r;
}

RECT TakePlaceholder(HWND dialog, UINT id) {
    HWND placeholder = ::GetDlgItem(dialog, static_cast<int>(id));
    RECT rect = {0, 0, 0, 0};
    if (placeholder != nullptr) {
        ::GetWindowRect(placeholder, &rect);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
        ::DestroyWindow(placeholder);
    }
    return rect;
}

RECT CWnd::RectInParent() const {
    RECT r = {};
    if (hwnd_ == nullptr) {
        return r;
    }
    ::GetWindowRect(hwnd_, &r);
    HWND parent = Parent();
    if (parent != nullptr && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) {
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void CWnd::MoveTo(int x, int y, int width, int height, bool repaint) const {
    if (hwnd_ != nullptr) {
        ::MoveWindow(hwnd_, x, y, width, height, repaint ? TRUE : FALSE);
    }
}

void CWnd::Resize(int width, int height) const {
    if (hwnd_ != nullptr) {
        ::SetWindowPos(hwnd_, nullptr, 0, 0, width, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CWnd::Show(int command) const {
    if (hwnd_ != nullptr) {
        ::ShowWindow(hwnd_, command);
    }
}

HWND CWnd::Parent() const {
    return hwnd_ != nullptr ? ::GetParent(hwnd_) : nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    if (subclassedProc_ != nullptr) {
        return ::CallWindowProcW(subclassedProc_, hwnd_, message, wParam, lParam);
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void CWnd::AttachHandle(HWND hwnd) {
    hwnd_ = hwnd;
    ::SetPropW(hwnd, kObjectProperty, this);
}

void CWnd::ClearHandle() {
    if (hwnd_ != nullptr) {
        ::RemovePropW(hwnd_, kObjectProperty);
    }
    hwnd_ = nullptr;
    owned_ = false;
}

LRESULT CALLBACK CWnd::RoutingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = FromHandle(hwnd);
    if (self == nullptr && message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWnd*>(cs->lpCreateParams);
        if (self != nullptr) {
            self->AttachHandle(hwnd);
        }
    }
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        WNDPROC chained = self->subclassedProc_;
        LRESULT result = self->WindowProc(message, wParam, lParam);
        if (chained != nullptr) {
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chained));
            self->subclassedProc_ = nullptr;
        }
        self->ClearHandle();
        self->OnFinalMessage();
        return result;
    }
    return self->WindowProc(message, wParam, lParam);
}

}  // namespace melvora

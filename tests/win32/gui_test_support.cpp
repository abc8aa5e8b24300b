#include "win32/gui_test_support.h"

#include "platform/win32/dialog.h"

namespace melvora {
namespace guitest {
namespace {

struct ModalScript {
    std::function<void(HWND)> script;
    DWORD startTick = 0;
    bool ran = false;
    UINT_PTR timer = 0;
};

ModalScript* g_script = nullptr;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (::IsWindowVisible(hwnd) && lstrcmpW(className, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ScriptTimer(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* s = g_script;
    if (s == nullptr) {
        return;
    }
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) {
        return;
    }
    if (!s->ran) {
        s->ran = true;
        s->script(dialog);
        return;
    }
    if (::GetTickCount() - s->startTick > 10000) {
        EndModal(dialog, -2);
    }
}

}  // namespace

void PumpMessages(int ms) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(1);
    } while (static_cast<int>(::GetTickCount() - start) < ms);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (static_cast<int>(::GetTickCount() - start) >= ms) {
            return false;
        }
        PumpMessages(20);
    }
    return true;
}

INT_PTR RunModal(const std::function<INT_PTR()>& show,
                 const std::function<void(HWND dialog)>& script) {
    ModalScript s;
    s.script = script;
    s.startTick = ::GetTickCount();
    ModalScript* previous = g_script;
    g_script = &s;
    s.timer = ::SetTimer(nullptr, 0, 30, &ScriptTimer);
    INT_PTR result = show();
    ::KillTimer(nullptr, s.timer);
    g_script = previous;
    return result;
}

void EndModal(HWND dialog, INT_PTR result) {
    auto* d = dynamic_cast<CDialog*>(CWnd::FromHandle(dialog));
    if (d != nullptr) {
        d->EndDialog(result);
    } else {
        ::EndDialog(dialog, result);
    }
}

void MouseMove(HWND window, int x, int y) {
    ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void MouseDown(HWND window, int x, int y) {
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void MouseUp(HWND window, int x, int y) {
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Click(HWND button) {
    RECT r = ClientRectOf(button);
    int x = r.right / 2;
    int y = r.bottom / 2;
    MouseMove(button, x, y);
    MouseDown(button, x, y);
    MouseUp(button, x, y);
}

HWND Child(HWND parent, int id) {
    return ::GetDlgItem(parent, id);
}

RECT ClientRectOf(HWND window) {
    RECT r = {};
    ::GetClientRect(window, &r);
    return r;
}

RECT WindowRectInParent(HWND window) {
    RECT r = {};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool HostWindow::Open(int x, int y, int width, int height, const wchar_t* caption, bool icon) {
    static const wchar_t kClass[] = L"MelvoraTestHost";
    RegisterWindowClass(kClass, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                        ::CreateSolidBrush(RGB(204, 224, 247)));
    RECT rect = {0, 0, width, height};
    DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    ::AdjustWindowRectEx(&rect, style, FALSE, 0);
    RECT placed = {x, y, x + rect.right - rect.left, y + rect.bottom - rect.top};
    if (!Create(0, kClass, caption, style, placed, nullptr, 0)) {
        return false;
    }
    if (icon) {
        HICON big = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(5));
        HICON small = static_cast<HICON>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(5), IMAGE_ICON, 16, 16, 0));
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
    ::SetForegroundWindow(Handle());
    ::SetActiveWindow(Handle());
    ::UpdateWindow(Handle());
    return true;
}

std::vector<HostWindow::Received> HostWindow::Of(UINT message) const {
    std::vector<Received> result;
    for (const Received& r : received) {
        if (r.message == message) {
            result.push_back(r);
        }
    }
    return result;
}

LRESULT HostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({message, wParam, lParam});
    if (swallow && swallow(message)) {
        return 0;
    }
    return Default(message, wParam, lParam);
}

COLORREF PixelOf(HWND window, int x, int y) {
    POINT p = {x, y};
    ::ClientToScreen(window, &p);
    HDC screen = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

void CueSinger(bool sing) {
    wchar_t cue[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"MELVORA_SINGER_CUE", cue, MAX_PATH) == 0) {
        return;
    }
    // The script names a Unix path; Wine maps the whole Unix tree to drive Z.
    std::wstring path = std::wstring(L"Z:") + cue;
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    if (!sing) {
        ::DeleteFileW(path.c_str());
        return;
    }
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
}

}  // namespace guitest
}  // namespace melvora

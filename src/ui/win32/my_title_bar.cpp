#include "ui/win32/my_title_bar.h"

#include <vector>

#include "ui/shorten_caption.h"
#include "ui/win32/skin_colours.h"
#include "resource_ids.h"

namespace melvora {
namespace {

const wchar_t kTitleBarClass[] = L"MelvoraTitleBar";

}  // namespace

CMyTitleBar::~CMyTitleBar() {
    if (Handle() != nullptr) {
        HWND hwnd = Handle();
        Detach();
        ::DestroyWindow(hwnd);
    }
}

bool CMyTitleBar::Create(HWND parent, const RECT& rect, UINT id) {
    if (!RegisterWindowClass(kTitleBarClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr,
                             nullptr)) {
        return false;
    }
    parent_ = parent;
    return CWnd::Create(0, kTitleBarClass, L"title", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect,
                        parent, id);
}

bool CMyTitleBar::CreateOverPlaceholder(HWND dialog, UINT id) {
    return Create(dialog, TakePlaceholder(dialog, id), id);
}

void CMyTitleBar::ReplaceBitmap(CBitmapHandle* slot, UINT id) {
    if (id != 0) {
        slot->Reset(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
    }
}

void CMyTitleBar::SetBitmaps(UINT activeBackground, UINT inactiveBackground) {
    ReplaceBitmap(&activeBackground_, activeBackground);
    ReplaceBitmap(&inactiveBackground_, inactiveBackground);
}

void CMyTitleBar::SetEndImages(UINT activeEnd, UINT inactiveEnd) {
    ReplaceBitmap(&activeEnd_, activeEnd);
    ReplaceBitmap(&inactiveEnd_, inactiveEnd);
}

void CMyTitleBar::SetColours(COLORREF activeText, COLORREF inactiveText) {
    activeText_ = activeText;
    inactiveText_ = inactiveText;
    useSystemColours_ = false;
}

void CMyTitleBar::SetFloatingWindowLook() {
    SetBitmaps(IDB_TITLE_ACTIVE, IDB_TITLE_INACTIVE);
    SetEndImages(IDB_TITLE_END_ACTIVE, IDB_TITLE_END_INACTIVE);
    SetColours(kTitleActiveText, kTitleInactiveText);
}

LRESULT CMyTitleBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate();
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // WM_PAINT covers the whole bar
        case WM_LBUTTONDOWN:
            Forward(WM_NCLBUTTONDOWN, lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            Forward(WM_NCLBUTTONDBLCLK, lParam);
            return 0;
        case WM_LBUTTONUP:
            Forward(WM_NCLBUTTONUP, lParam);
            return 0;
        case WM_RBUTTONDOWN:
            Forward(WM_NCRBUTTONDOWN, lParam);
            return 0;
        case WM_RBUTTONDBLCLK:
            Forward(WM_NCRBUTTONDBLCLK, lParam);
            return 0;
        case WM_RBUTTONUP:
            Forward(WM_NCRBUTTONUP, lParam);
            return 0;
        case WM_MOUSEMOVE:
            ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
            Forward(WM_NCMOUSEMOVE, lParam);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            // Keys belong to the window (the keyboard windows play the piano with them).
            if (parent_ != nullptr) {
                ::SendMessageW(parent_, message, wParam, lParam);
            }
            return 0;
        default:
            return Default(message, wParam, lParam);
    }
}

void CMyTitleBar::Forward(UINT ncMessage, LPARAM lParam) const {
    if (parent_ == nullptr) {
        return;
    }
    // Non-client messages carry screen coordinates; the window manager's move loop starts
    // from this point.
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ClientToScreen(Handle(), &point);
    ::SendMessageW(parent_, ncMessage, HTCAPTION, MAKELPARAM(point.x, point.y));
}

int CMyTitleBar::OnCreate() {
    // A bold shell font rather than the DC's default System font, which lacks the Turkish
    // letters on many systems.
    const int dpi = ::GetDeviceCaps(CWindowDC(nullptr).Get(), LOGPIXELSY);
    LOGFONTW lf = {};
    lf.lfHeight = -::MulDiv(dpi, 8, 72);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, kShellDlgFace, LF_FACESIZE);
    font_.Reset(Handle(), ::CreateFontIndirectW(&lf));
    ellipsisWidth_ = 3 * font_.CharWidth(L'.');
    return 0;
}

std::wstring CMyTitleBar::ShortenToWidth(const std::wstring& caption, int width) const {
    return ShortenCaption(
        caption, [this](wchar_t ch) { return font_.CharWidth(ch); }, width, ellipsisWidth_);
}

void CMyTitleBar::OnPaint() {
    CPaintDC dc(Handle());
    RECT client = ClientRect();
    const int w = client.right;
    const int h = client.bottom;
    const bool active = parent_ != nullptr && ::GetActiveWindow() == parent_;
    lastActive_ = active;

    ::FillRect(dc.Get(), &client,
               ::GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    {
        CMemoryDC memory(dc.Get());
        HBITMAP background =
            (!active && inactiveBackground_) ? inactiveBackground_.Get() : activeBackground_.Get();
        if (background != nullptr) {
            SIZE size = BitmapSize(background);
            CSelectObject select(memory.Get(), background);
            ::SetStretchBltMode(dc.Get(), COLORONCOLOR);
            ::StretchBlt(dc.Get(), 0, 0, w, h, memory.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
        }
        HBITMAP end = (!active && inactiveEnd_) ? inactiveEnd_.Get() : activeEnd_.Get();
        if (end != nullptr) {
            SIZE size = BitmapSize(end);
            CSelectObject select(memory.Get(), end);
            ::BitBlt(dc.Get(), w - size.cx, (h - size.cy) / 2, size.cx, size.cy, memory.Get(), 0, 0,
                     SRCCOPY);
        }
    }

    COLORREF textColour;
    if (useSystemColours_) {
        textColour = ::GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
    } else {
        textColour = active ? activeText_ : inactiveText_;
    }

    int x = 5;
    if (parent_ != nullptr) {
        HICON icon = reinterpret_cast<HICON>(::SendMessageW(parent_, WM_GETICON, ICON_BIG, 0));
        if (icon != nullptr) {
            const int iconWidth = ::GetSystemMetrics(SM_CXSMICON);
            const int iconHeight = ::GetSystemMetrics(SM_CYSMICON);
            ::DrawIconEx(dc.Get(), 5, (h - iconHeight) / 2, icon, iconWidth, iconHeight, 0, nullptr,
                         DI_NORMAL);
            x = iconWidth + 10;
        }
    }
    lastTextX_ = x;

    std::wstring caption;
    if (parent_ != nullptr) {
        int length = ::GetWindowTextLengthW(parent_);
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
        ::GetWindowTextW(parent_, buffer.data(), length + 1);
        caption = buffer.data();
    }
    lastCaption_ = ShortenToWidth(caption, w - x - 5);
    CSelectObject selectFont(dc.Get(), font_.Get());
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), textColour);
    ::ExtTextOutW(dc.Get(), x, (h - font_.Metrics().tmAscent) / 2, 0, nullptr, lastCaption_.c_str(),
                  static_cast<UINT>(lastCaption_.size()), nullptr);
}

}  // namespace melvora

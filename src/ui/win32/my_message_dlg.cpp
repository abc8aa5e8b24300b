#include "ui/win32/my_message_dlg.h"

#include "platform/win32/paint_dc.h"

#include <cstring>

#include "platform/string_table.h"
#include "ui/win32/skin_colours.h"

namespace melvora {
namespace {

// WS_POPUP | WS_SYSMENU | DS_MODALFRAME | DS_FIXEDSYS.
constexpr DWORD kMessageBoxStyle = 0x80080088;

}  // namespace

CMyMessageDlg::CMyMessageDlg(const std::wstring& text, const std::wstring& caption,
                             unsigned int type, HWND parent, int language)
    : CFloatingDlg(0, parent), text_(text), caption_(caption), type_(type), language_(language) {
    DLGTEMPLATE header = {};
    header.style = kMessageBoxStyle;
    std::memcpy(template_, &header, sizeof(header));
    InitModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(template_), parent);
}

INT_PTR CMyMessageDlg::Run() {
    return DoModal();
}

SIZE CMyMessageDlg::MeasureText() const {
    const CWindowDC dc(Handle());
    const CSelectObject font(dc.Get(), font_.Get());
    RECT rect = {0, 0, kMessageBoxWrapWidth, 0};
    ::DrawTextW(dc.Get(), text_.c_str(), static_cast<int>(text_.size()), &rect,
                DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    SIZE size = {RectWidth(rect), RectHeight(rect)};
    return size;
}

BOOL CMyMessageDlg::OnInitDialog() {
    HWND parent = DialogParent();
    if (parent != nullptr) {
        HICON big = reinterpret_cast<HICON>(::SendMessageW(parent, WM_GETICON, ICON_BIG, 0));
        HICON small = reinterpret_cast<HICON>(::SendMessageW(parent, WM_GETICON, ICON_SMALL, 0));
        if (big != nullptr) {
            ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        }
        if (small != nullptr) {
            ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
        }
    }
    ::SetWindowTextW(Handle(), caption_.c_str());

    font_.Reset(CreatePointFont(80, kShellDlgFace));
    SIZE textSize = MeasureText();
    layout_ = LayoutMessageBox(type_, textSize.cx, textSize.cy);

    // The client area gets exactly the laid-out size, whatever the frame width.
    RECT window = {0, 0, layout_.contentWidth, layout_.contentHeight};
    ::AdjustWindowRectEx(&window, static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_EXSTYLE)));
    ::SetWindowPos(Handle(), nullptr, 0, 0, RectWidth(window), RectHeight(window),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    CreateTitleRow(kCloseButton);
    for (int i = 0; i < layout_.buttonCount; ++i) {
        const MessageBoxButton& button = layout_.buttons[i];
        const LayoutRect& r = layout_.buttonRects[i];
        RECT rect = {r.left, r.top, r.left + r.width, r.top + r.height};
        buttons_[i].Create(Handle(), rect, static_cast<UINT>(button.controlId), "EMPTY_BUTTON",
                           true);
        buttons_[i].MoveTo(r.left, r.top, r.width, r.height);
        buttons_[i].SetText(LoadText(button.stringId, language_));
    }
    CenterOverOwner();
    return TRUE;
}

INT_PTR CMyMessageDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        OnPaint();
        return TRUE;
    }
    return CFloatingDlg::DialogProc(message, wParam, lParam);
}

INT_PTR CMyMessageDlg::ButtonResult(int controlId) const {
    for (int i = 0; i < layout_.buttonCount; ++i) {
        if (controlId == layout_.buttons[i].controlId) {
            return layout_.buttons[i].result;
        }
    }
    return 0;
}

void CMyMessageDlg::OnPaint() {
    const CPaintDC paint(Handle());
    RECT client = ClientRect();
    RECT textRect = {7, 36, client.right - 7, client.bottom - 37};
    const CSelectObject font(paint.Get(), font_.Get());
    ::SetBkMode(paint.Get(), TRANSPARENT);
    ::DrawTextW(paint.Get(), text_.c_str(), static_cast<int>(text_.size()), &textRect,
                DT_CENTER | DT_WORDBREAK | DT_NOCLIP);
}

// Enter answers like the first button; Escape and the system Close like the Close box.
void CMyMessageDlg::OnOK() {
    EndDialog(layout_.buttons[0].result);
}

void CMyMessageDlg::OnCancel() {
    EndDialog(layout_.closeResult);
}

void CMyMessageDlg::OnCloseBox() {
    EndDialog(layout_.closeResult);
}

INT_PTR ShowMessageBox(const std::wstring& text, const std::wstring& caption, unsigned int type,
                       HWND parent, int language) {
    CMyMessageDlg dialog(text, caption, type, parent, language);
    return dialog.Run();
}

}  // namespace melvora

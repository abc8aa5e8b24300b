#include "ui/win32/floating_dlg.h"

#include "ui/win32/help_launcher.h"
#include "ui/help_topic.h"
#include "ui/win32/skin_colours.h"
#include "resource_ids.h"

namespace melvora {
CFloatingDlg::CFloatingDlg(UINT templateId, HWND parent) : CDialog(templateId, parent) {}

void CFloatingDlg::CreateTitleRow(int buttons) {
    titleButtons_ = buttons;
    HWND dialog = Handle();
    // Placeholders of the template give way to the skinned controls.
    for (UINT id : {IDC_TITLE_BAR, IDC_CLOSE_BOX, IDC_HELP_BOX, IDC_MINIMIZE_BOX}) {
        HWND placeholder = ::GetDlgItem(dialog, static_cast<int>(id));
        if (placeholder != nullptr) {
            ::DestroyWindow(placeholder);
        }
    }
    RECT none = {0, 0, 0, 0};
    titleBar_.Create(dialog, none, IDC_TITLE_BAR);
    titleBar_.SetFloatingWindowLook();
    if (buttons & kCloseButton) {
        closeBox_.Create(dialog, none, IDC_CLOSE_BOX, "CLOSE", true);
    }
    if (buttons & kHelpButton) {
        helpBox_.Create(dialog, none, IDC_HELP_BOX, "HELP", true);
    }
    if (buttons & kMinimizeButton) {
        minimizeBox_.Create(dialog, none, IDC_MINIMIZE_BOX, "MINIMIZE", true);
    }
    LayoutTitleRow();
}

void CFloatingDlg::LayoutTitleRow() {
    RECT client = ClientRect();
    int right = client.right;
    for (CNewDeckButton* box : {&closeBox_, &helpBox_, &minimizeBox_}) {
        if (box->Handle() != nullptr) {
            right -= kTitleButtonWidth;
            box->MoveTo(right, 0, kTitleButtonWidth, kTitleRowHeight);
        }
    }
    titleBar_.MoveTo(0, 0, right, kTitleRowHeight);
}

BOOL CFloatingDlg::HitTestTitleRow(LPARAM lParam) {
    POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(Handle(), &p);
    if (p.y >= 0 && p.y < kTitleRowHeight) {
        SetMessageResult(HTCAPTION);
        return TRUE;
    }
    return FALSE;
}

void CFloatingDlg::TakeOwnerIcon() {
    HWND owner = ::GetWindow(Handle(), GW_OWNER);
    HICON big = nullptr;
    HICON small = nullptr;
    if (owner != nullptr) {
        big = reinterpret_cast<HICON>(::SendMessageW(owner, WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(::SendMessageW(owner, WM_GETICON, ICON_SMALL, 0));
    }
    if (big != nullptr) {
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
    if (small != nullptr) {
        ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

INT_PTR CFloatingDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_CLOSE_BOX:
                    OnCloseBox();
                    return TRUE;
                case IDC_HELP_BOX:
                    OnHelpBox();
                    return TRUE;
                case IDC_MINIMIZE_BOX:
                    ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
                    return TRUE;
                default:
                    if (const INT_PTR result = ButtonResult(LOWORD(wParam))) {
                        EndDialog(result);
                        return TRUE;
                    }
                    return CDialog::DialogProc(message, wParam, lParam);
            }
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return FALSE;
        case WM_WINDOWPOSCHANGING:
            OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
            return FALSE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            ::SetBkColor(reinterpret_cast<HDC>(wParam), kDialogBackground);
            return reinterpret_cast<INT_PTR>(DialogBackgroundBrush());
        default:
            return CDialog::DialogProc(message, wParam, lParam);
    }
}

void CFloatingDlg::OnCloseBox() {
    ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CFloatingDlg::OnHelpBox() {
    std::string page = HelpPage();
    if (!page.empty()) {
        OpenHelpTopic(Handle(), HelpTopic(page, Language()));
    }
}

void CFloatingDlg::OnActivate(bool active) {
    titleBar_.Invalidate(true);
    for (CNewDeckButton* box : {&closeBox_, &helpBox_, &minimizeBox_}) {
        if (box->Handle() != nullptr) {
            box->SetLatched(!active);
        }
    }
    OnActivated(active);
}

}  // namespace melvora

#include "platform/win32/dialog.h"

namespace melvora {

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

void CDialog::InitModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent) {
    indirectTemplate_ = dialogTemplate;
    parent_ = parent;
}

INT_PTR CDialog::DoModal() {
    if (Handle() != nullptr) {
        return -1;
    }
    modal_ = true;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    LPARAM self = reinterpret_cast<LPARAM>(this);
    INT_PTR result;
    if (indirectTemplate_ != nullptr) {
        result = ::DialogBoxIndirectParamW(instance, indirectTemplate_, parent_,
                                           &CDialog::RoutingDialogProc, self);
    } else {
        result = ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId_), parent_,
                                   &CDialog::RoutingDialogProc, self);
    }
    modal_ = false;
    return result;
}

bool CDialog::CreateModeless(HWND owner) {
    if (Handle() != nullptr || templateId_ == 0) {
        return false;
    }
    parent_ = owner;
    modal_ = false;
    HWND hwnd =
        ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                             &CDialog::RoutingDialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) {
        return false;
    }
    MarkOwned();
    return true;
}

void CDialog::EndDialog(INT_PTR result) {
    if (Handle() == nullptr) {
        return;
    }
    if (modal_) {
        ::EndDialog(Handle(), result);
    } else {
        ::DestroyWindow(Handle());
    }
}

INT_PTR CDialog::DialogProc(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::SetMessageResult(LRESULT result) {
    if (Handle() != nullptr) {
        ::SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, result);
    }
}

void CDialog::CenterOverOwner() {
    HWND hwnd = Handle();
    if (hwnd == nullptr) {
        return;
    }
    RECT self = {};
    ::GetWindowRect(hwnd, &self);
    RECT area = {};
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    int x = area.left + (RectWidth(area) - RectWidth(self)) / 2;
    int y = area.top + (RectHeight(area) - RectHeight(self)) / 2;
    // Keep the whole window on the screen even when the owner is near an edge.
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (x + RectWidth(self) > work.right)
        x = work.right - RectWidth(self);
    if (y + RectHeight(self) > work.bottom)
        y = work.bottom - RectHeight(self);
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::RoutingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = static_cast<CDialog*>(CWnd::FromHandle(hwnd));
    if (self == nullptr && message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->AttachHandle(hwnd);
    }
    if (self == nullptr) {
        return FALSE;
    }
    INT_PTR result = self->DialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->ClearHandle();
        self->OnFinalMessage();
    }
    return result;
}

}  // namespace melvora

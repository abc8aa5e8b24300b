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
    ended_ = false;
    result_ = -1;
    // The dialog is created modeless and run by our own loop, so that windows can see their
    // messages before dispatch (PreTranslateMessage), as the system's loop would not allow.
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    LPARAM self = reinterpret_cast<LPARAM>(this);
    HWND owner = parent_ != nullptr ? ::GetAncestor(parent_, GA_ROOT) : nullptr;
    HWND hwnd;
    if (indirectTemplate_ != nullptr) {
        hwnd = ::CreateDialogIndirectParamW(instance, indirectTemplate_, owner,
                                            &CDialog::RoutingDialogProc, self);
    } else {
        hwnd = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), owner,
                                    &CDialog::RoutingDialogProc, self);
    }
    if (hwnd == nullptr) {
        modal_ = false;
        return -1;
    }
    bool ownerDisabled = false;
    if (owner != nullptr && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }
    if (!ended_) {
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
        RunModalLoop();
    }
    // The owner is enabled before the dialog goes, so that it gets the activation back.
    if (ownerDisabled) {
        ::EnableWindow(owner, TRUE);
    }
    if (::IsWindow(hwnd)) {
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(hwnd);
    }
    modal_ = false;
    return result_;
}

bool CDialog::RunModalLoop() {
    HWND dialog = Handle();
    MSG message;
    while (!ended_) {
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Leave WM_QUIT for the outer loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (got == -1) {
            return false;
        }
        if (PreTranslateChain(&message, dialog)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return true;
}

bool CDialog::PreTranslateChain(MSG* message, HWND modal) {
    // From the addressed window up through its parents to its top-level window (a floating
    // window's own chain ends there, the modal dialog's at the dialog).
    for (HWND h = message->hwnd; h != nullptr; h = ::GetParent(h)) {
        CWnd* window = CWnd::FromHandle(h);
        if (window != nullptr && window->PreTranslateMessage(message)) {
            return true;
        }
        if (h == modal || (::GetWindowLongW(h, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
    }
    return false;
}

bool CDialog::PreTranslateMessage(MSG* message) {
    if (Handle() == nullptr || message->message < WM_KEYFIRST || message->message > WM_KEYLAST) {
        return false;
    }
    if (message->hwnd != Handle() && !::IsChild(Handle(), message->hwnd)) {
        return false;
    }
    return ::IsDialogMessageW(Handle(), message) != FALSE;
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
        result_ = result;
        ended_ = true;
        // Wakes the loop if the call came from outside a message.
        ::PostMessageW(Handle(), WM_NULL, 0, 0);
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

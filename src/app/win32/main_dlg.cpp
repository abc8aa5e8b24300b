#include "app/win32/main_dlg.h"

#include "app/win32/controls_dlg.h"
#include "resource_ids.h"

namespace melvora {

CMainDlg::CMainDlg() : CDialog(IDD_OWNER, nullptr) {}

BOOL CMainDlg::OnInitDialog() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HICON big = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_MELVORA), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXICON),
                                                ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    HICON small = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_MELVORA),
                                                  IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    ::SetWindowTextW(Handle(), L"Melvora");
    {
        CControlsDlg controls(Handle());
        controls.DoModal();
    }
    EndDialog(1);
    return TRUE;
}

}  // namespace melvora

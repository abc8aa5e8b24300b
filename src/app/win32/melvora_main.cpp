// The program's entry: settings first, then the hidden owner dialog that runs everything.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/app_options.h"
#include "app/win32/main_dlg.h"
#include "platform/win32/resource_strings.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    // A missing or damaged options.dat is replaced by the defaults before any window exists.
    melvora::StartUpOptions();
    melvora::InstallResourceStringProvider();
    const HRESULT ole = ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    {
        melvora::CMainDlg owner;
        owner.DoModal();
    }
    if (SUCCEEDED(ole)) {
        ::OleUninitialize();
    }
    return 0;
}

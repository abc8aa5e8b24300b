#include "music/win32/list_chooser.h"

#include "platform/string_table.h"
#include "resource_ids.h"
#include "string_ids.h"

namespace melvora {

CListChooser::CListChooser(HWND parent, int language)
    : CFloatingDlg(IDD_LIST_CHOOSER, parent), language_(language) {}

BOOL CListChooser::OnInitDialog() {
    TakeOwnerIcon();
    ::SetWindowTextW(Handle(), caption_.c_str());
    CreateTitleRow(kCloseButton | kHelpButton);
    ok_.CreateOverPlaceholder(Handle(), IDOK, "EMPTY_BUTTON", false);
    ok_.SetText(LoadText(IDS_OK, language_));
    cancel_.CreateOverPlaceholder(Handle(), IDCANCEL, "EMPTY_BUTTON", false);
    cancel_.SetText(LoadText(IDS_CANCEL, language_));

    HWND list = ::GetDlgItem(Handle(), IDC_CHOOSER_LIST);
    for (const std::wstring& item : items_) {
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    if (!items_.empty()) {
        ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    }
    UpdateOk();

    if (toolTip_.Create(Handle())) {
        toolTip_.SetDelays(60000, 100, 100);
        toolTip_.AddTool(list, prompt_);
        toolTip_.AddTool(ok_.Handle(), LoadText(IDS_OK, language_));
        toolTip_.AddTool(cancel_.Handle(), LoadText(IDS_CANCEL, language_));
        toolTip_.AddTool(CloseBox().Handle(), LoadText(IDS_CLOSE, language_));
        toolTip_.AddTool(HelpBox().Handle(), LoadText(IDS_HELP, language_));
        toolTip_.Activate(true);
    }
    CenterOverOwner();
    return TRUE;
}

void CListChooser::UpdateOk() {
    const LRESULT selected = ::SendDlgItemMessageW(Handle(), IDC_CHOOSER_LIST, LB_GETCURSEL, 0, 0);
    ok_.Enable(selected != LB_ERR);
}

void CListChooser::OnOK() {
    const LRESULT selected = ::SendDlgItemMessageW(Handle(), IDC_CHOOSER_LIST, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) {
        EndDialog(static_cast<INT_PTR>(selected));
    }
}

bool CListChooser::PreTranslateMessage(MSG* message) {
    if (message->message == WM_MOUSEMOVE) {
        toolTip_.RelayEvent(*message);
    }
    return CFloatingDlg::PreTranslateMessage(message);
}

INT_PTR CListChooser::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_CHOOSER_LIST) {
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            UpdateOk();
        } else if (HIWORD(wParam) == LBN_DBLCLK) {
            OnOK();
        }
        return TRUE;
    }
    return CFloatingDlg::DialogProc(message, wParam, lParam);
}

}  // namespace melvora

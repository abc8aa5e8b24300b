#include "music/win32/staff_dlg.h"

#include <algorithm>

#include "resource_ids.h"
#include "ui/win32/skin_colours.h"

namespace melvora {

CStaffDlg::CStaffDlg(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
                     MidiSender& output)
    : CFloatingFrameDlg(description, owner), staff_(output) {}

CStaffDlg::~CStaffDlg() {
    DestroyWindow();
}

BOOL CStaffDlg::OnInitDialog() {
    CFloatingFrameDlg::OnInitDialog();
    HWND placeholder = ::GetDlgItem(Handle(), IDC_STAFF_VIEW);
    RECT viewRect = {0, kTitleRowHeight, 100, 100};
    if (placeholder != nullptr) {
        ::GetWindowRect(placeholder, &viewRect);
        ::MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&viewRect), 2);
        ::DestroyWindow(placeholder);
    }
    staff_.Create(Handle(), viewRect, IDC_STAFF_VIEW);
    const RECT client = ClientRect();
    staff_.MoveTo(0, kTitleRowHeight, RectWidth(client),
                  std::max(0, RectHeight(client) - kTitleRowHeight));
    return TRUE;
}

void CStaffDlg::ApplyLanguage(int language) {
    CFloatingFrameDlg::ApplyLanguage(language);
    staff_.SetLanguage(language);
}

void CStaffDlg::SettingsChanged(SettingsChange change) {
    if (change == SettingsChange::NoteLetters && staff_.Handle() != nullptr) {
        staff_.Invalidate(false);
    }
}

INT_PTR CStaffDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            CFloatingFrameDlg::DialogProc(message, wParam, lParam);
            if (staff_.Handle() != nullptr) {
                staff_.MoveTo(0, kTitleRowHeight, LOWORD(lParam),
                              std::max(0, HIWORD(lParam) - kTitleRowHeight));
            }
            return FALSE;
        case WM_ERASEBKGND:
            SetMessageResult(TRUE);
            return TRUE;
        default:
            return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
    }
}

}  // namespace melvora

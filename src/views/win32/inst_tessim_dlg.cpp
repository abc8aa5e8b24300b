#include "views/win32/inst_tessim_dlg.h"

#include "app/window_layout.h"
#include "resource_ids.h"

namespace melvora {

CInstTessimDlg::CInstTessimDlg(const FloatingWindowDescriptor& description,
                               FloatingWindowOwner& owner, const ViewOwner& views)
    : CFloatingFrameDlg(description, owner), view_(views) {}

BOOL CInstTessimDlg::OnInitDialog() {
    CFloatingFrameDlg::OnInitDialog();
    RECT place = {};
    HWND placeholder = ::GetDlgItem(Handle(), IDC_ANALYSIS_VIEW);
    if (placeholder != nullptr) {
        ::GetWindowRect(placeholder, &place);
        ::MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&place), 2);
    }
    view_.SetLanguage(Language());
    view_.Create(Handle(), place, IDC_ANALYSIS_VIEW);
    const RECT client = ClientRect();
    LayoutView(RectWidth(client), RectHeight(client));
    return TRUE;
}

void CInstTessimDlg::ApplyLanguage(int language) {
    CFloatingFrameDlg::ApplyLanguage(language);
    view_.SetLanguage(language);
    view_.Invalidate(false);
}

void CInstTessimDlg::SettingsChanged(SettingsChange change) {
    // The view reads both when it paints; the results repaint it only while they arrive.
    if ((change == SettingsChange::AnalysisView || change == SettingsChange::NoteLetters) &&
        view_.Handle() != nullptr) {
        view_.Invalidate(false);
    }
}

void CInstTessimDlg::LayoutView(int cx, int cy) {
    if (view_.Handle() != nullptr) {
        const int top = WindowLayout::kTitleRowHeightPixels;
        view_.MoveTo(0, top, cx, cy > top ? cy - top : 0, false);
    }
}

INT_PTR CInstTessimDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            LayoutView(LOWORD(lParam), HIWORD(lParam));
            return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
        case WM_ERASEBKGND:
            // The view paints everything below the title row.
            SetMessageResult(TRUE);
            return TRUE;
        default:
            return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
    }
}

}  // namespace melvora

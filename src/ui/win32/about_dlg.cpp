#include "ui/win32/about_dlg.h"

#include <algorithm>

#include "platform/string_table.h"
#include "platform/win32/paint_dc.h"
#include "ui/win32/skin_colours.h"
#include "resource_ids.h"
#include "string_ids.h"

namespace melvora {
CAboutDlg::CAboutDlg(HWND parent, int language)
    : CFloatingDlg(IDD_ABOUT, parent), language_(language) {}

BOOL CAboutDlg::OnInitDialog() {
    TakeOwnerIcon();
    ::SetWindowTextW(Handle(), LoadText(IDS_ABOUT_CAPTION, language_).c_str());
    CreateTitleRow(kCloseButton);

    HWND placeholder = ::GetDlgItem(Handle(), static_cast<int>(IDC_ABOUT_PICTURE));
    if (placeholder != nullptr) {
        ::GetWindowRect(placeholder, &pictureRect_);
        ::MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&pictureRect_), 2);
    }
    picture_.Load(IDB_ABOUT_PICTURE);
    ::SetDlgItemTextW(Handle(), static_cast<int>(IDC_ABOUT_TEXT),
                      LoadText(IDS_ABOUT_TEXT, language_).c_str());

    okButton_.CreateOverPlaceholder(Handle(), IDC_ABOUT_OK, "EMPTY_BUTTON", false);
    okButton_.SetText(LoadText(IDS_OK, language_));
    CenterOverOwner();
    return TRUE;
}

INT_PTR CAboutDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        OnPaint();
        return TRUE;
    }
    return CFloatingDlg::DialogProc(message, wParam, lParam);
}

INT_PTR CAboutDlg::ButtonResult(int controlId) const {
    return controlId == IDC_ABOUT_OK ? IDOK : 0;
}

void CAboutDlg::OnPaint() {
    const CPaintDC paint(Handle());
    HDC dc = paint.Get();
    if (picture_.IsLoaded()) {
        int boxWidth = RectWidth(pictureRect_);
        int boxHeight = RectHeight(pictureRect_);
        if (picture_.Width() <= boxWidth && picture_.Height() <= boxHeight) {
            picture_.DrawCentred(dc, pictureRect_.left, pictureRect_.top, boxWidth, boxHeight);
        } else {
            // Larger pictures are scaled down into the box, keeping their proportions.
            double scale = std::min(static_cast<double>(boxWidth) / picture_.Width(),
                                    static_cast<double>(boxHeight) / picture_.Height());
            int w = static_cast<int>(picture_.Width() * scale);
            int h = static_cast<int>(picture_.Height() * scale);
            ::SetStretchBltMode(dc, HALFTONE);
            ::SetBrushOrgEx(dc, 0, 0, nullptr);
            ::StretchBlt(dc, pictureRect_.left + (boxWidth - w) / 2,
                         pictureRect_.top + (boxHeight - h) / 2, w, h, picture_.Dc(), 0, 0,
                         picture_.Width(), picture_.Height(), SRCCOPY);
        }
    }
}

void CAboutDlg::OnCloseBox() {
    EndDialog(IDCANCEL);
}

}  // namespace melvora

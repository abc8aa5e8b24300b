#pragma once

#include <windows.h>

#include "ui/win32/bitmap_strip.h"
#include "ui/win32/floating_dlg.h"

namespace melvora {

// The about box (IDD_ABOUT): its picture, the program's text (IDS_ABOUT_TEXT) and an OK
// button, with the skinned title row. The Close box answers IDCANCEL, OK answers IDOK.
class CAboutDlg : public CFloatingDlg {
  public:
    CAboutDlg(HWND parent, int language);
    CNewDeckButton& OkButton() { return okButton_; }
    const CBitmapStrip& Picture() const { return picture_; }

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCloseBox() override;
    INT_PTR ButtonResult(int controlId) const override;
    int Language() const override { return language_; }

  private:
    void OnPaint();

    int language_;
    CBitmapStrip picture_;
    RECT pictureRect_ = {0, 0, 0, 0};
    CNewDeckButton okButton_;
};

}  // namespace melvora

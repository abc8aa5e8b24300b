#pragma once

#include <windows.h>

#include <string>

#include "ui/win32/floating_dlg.h"
#include "ui/message_box_layout.h"

namespace melvora {

// The skinned message box: title bar, Close box and one to three text buttons, answering
// like the standard message box (IDOK ... IDNO). Built from an in-memory template; its size
// follows the text, wrapped at 250 pixels.
class CMyMessageDlg : public CFloatingDlg {
  public:
    // `type` is a standard message-box type; only its low 4 bits choose the buttons (values
    // above 5 mean OK). Button texts come from the string table in `language`.
    CMyMessageDlg(const std::wstring& text, const std::wstring& caption, unsigned int type,
                  HWND parent, int language);

    // Shows the box modally and returns the answer (-1 when it could not be shown).
    INT_PTR Run();

    const MessageBoxLayout& Layout() const { return layout_; }
    CNewDeckButton& Button(int index) { return buttons_[index]; }
    const std::wstring& Text() const { return text_; }

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
    void OnCloseBox() override;
    INT_PTR ButtonResult(int controlId) const override;
    int Language() const override { return language_; }

  private:
    void OnPaint();
    SIZE MeasureText() const;

    std::wstring text_;
    std::wstring caption_;
    unsigned int type_;
    int language_;
    // DLGTEMPLATE (18 bytes) plus empty menu, class and title: zeroed, no controls.
    alignas(4) unsigned char template_[64] = {};
    MessageBoxLayout layout_;
    CFontHandle font_;
    CNewDeckButton buttons_[3];
};

// Shows the skinned message box and returns the answer.
INT_PTR ShowMessageBox(const std::wstring& text, const std::wstring& caption, unsigned int type,
                       HWND parent, int language);

}  // namespace melvora

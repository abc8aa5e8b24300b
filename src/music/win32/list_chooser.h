#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/tool_tip.h"
#include "ui/win32/floating_dlg.h"

namespace melvora {

// A small modal list to pick one item from (the MIDI input device): a caption, a prompt shown
// as the list's tool tip, OK and Cancel. DoModal returns the chosen index, or -1 for Cancel,
// Close or a dialog that could not be made.
class CListChooser : public CFloatingDlg {
  public:
    CListChooser(HWND parent, int language);

    void SetCaption(const std::wstring& caption) { caption_ = caption; }
    void SetPrompt(const std::wstring& prompt) { prompt_ = prompt; }
    void SetItems(const std::vector<std::wstring>& items) { items_ = items; }

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override { EndDialog(-1); }
    void OnCloseBox() override { EndDialog(-1); }
    std::string HelpPage() const override { return "klavye.htm#MIDI"; }
    int Language() const override { return language_; }
    bool PreTranslateMessage(MSG* message) override;

  private:
    void UpdateOk();

    int language_;
    std::wstring caption_;
    std::wstring prompt_;
    std::vector<std::wstring> items_;
    CNewDeckButton ok_;
    CNewDeckButton cancel_;
    CToolTip toolTip_;
};

}  // namespace melvora

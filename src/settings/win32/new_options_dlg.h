#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/tool_tip.h"
#include "settings/options_edit.h"
#include "ui/win32/floating_dlg.h"

namespace melvora {

class MidiInputDevices;
class SettingsListener;

// The options window: language, analysis view, PC keyboard layout and MIDI volume apply as
// they are chosen (Cancel undoes them), the check boxes are taken by OK, and Set switches
// the MIDI input device. Modal; DoModal returns IDOK or IDCANCEL.
class CNewOptionsDlg : public CFloatingDlg {
  public:
    static constexpr UINT kTemplateId = 380;

    // `listener` hears every change (the main controls window); `devices` may be null when
    // there is no keyboard window.
    CNewOptionsDlg(HWND parent, SettingsListener& listener, MidiInputDevices* devices);
    ~CNewOptionsDlg() override;

    OptionsEdit& Edit() { return edit_; }
    CNewDeckButton* OkButton() { return ok_.get(); }
    CNewDeckButton* CancelButton() { return cancel_.get(); }

    bool PreTranslateMessage(MSG* message) override;

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter does nothing; Esc is Cancel.
    void OnOK() override {}
    void OnCancel() override;
    void OnCloseBox() override { OnCancel(); }
    std::string HelpPage() const override { return "ayarlar.htm"; }
    int Language() const override;

  private:
    void ApplyTexts();
    void FillCombo(int id, const int* stringIds, int count, int selection);
    void OnSelectionChange(int id);
    void OnOkButton();
    void OnSetButton();
    bool Checked(int id) const;
    void Check(int id, bool checked);

    OptionsEdit edit_;
    std::unique_ptr<CNewDeckButton> ok_, cancel_, set_;
    CToolTip toolTip_;
};

}  // namespace melvora

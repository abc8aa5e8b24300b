#pragma once

#include <windows.h>

#include "app/win32/floating_frame_dlg.h"
#include "music/win32/staff.h"

namespace melvora {

class MidiSender;

// The staff window (template 166): the title row and the staff view below it.
class CStaffDlg : public CFloatingFrameDlg {
  public:
    CStaffDlg(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
              MidiSender& output);
    ~CStaffDlg() override;

    CStaff& Staff() { return staff_; }
    void ApplyLanguage(int language) override;
    // The sung note's name follows the note naming at once.
    void SettingsChanged(SettingsChange change) override;

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    CStaff staff_;
};

}  // namespace melvora

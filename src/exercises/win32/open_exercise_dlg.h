#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "exercises/exercise.h"
#include "ui/win32/floating_dlg.h"

namespace melvora {

// The exercise chooser (template 183, "Open Exercise"): the titles of the offered exercises,
// the selected one's description below them, OK (disabled until something is selected) and
// Cancel. A double-click on a title acts as OK.
class COpenExerciseDlg : public CFloatingDlg {
  public:
    COpenExerciseDlg(HWND owner, const std::vector<std::unique_ptr<Exercise>>& exercises,
                     int language);

    // The index chosen with OK; -1 before a selection or after Cancel.
    int Selected() const { return selected_; }
    // Selects item `index` as a click would (tests and the keyboard); -1 clears.
    void Select(int index);
    CNewDeckButton& OkButton() { return ok_; }

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCloseBox() override { EndDialog(IDCANCEL); }
    int Language() const override { return language_; }

  private:
    void OnSelectionChanged();

    const std::vector<std::unique_ptr<Exercise>>& exercises_;
    int language_;
    int selected_ = -1;
    CNewDeckButton ok_;
    CNewDeckButton cancel_;
};

}  // namespace melvora

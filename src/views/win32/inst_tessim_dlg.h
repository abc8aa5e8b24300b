#pragma once

#include "app/win32/floating_frame_dlg.h"
#include "views/view_owner.h"
#include "views/win32/insta_view.h"

namespace melvora {

// The analysis window: the floating frame with the analysis view filling the client area
// below the title row.
class CInstTessimDlg : public CFloatingFrameDlg {
  public:
    CInstTessimDlg(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
                   const ViewOwner& views);

    CInstaView& View() { return view_; }
    void ApplyLanguage(int language) override;
    // A new style or note naming shows at once, results arriving or not.
    void SettingsChanged(SettingsChange change) override;

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void LayoutView(int cx, int cy);

    CInstaView view_;
};

}  // namespace melvora

#pragma once

#include <windows.h>

#include "platform/win32/dialog.h"

namespace melvora {

// The hidden owner of every window of the program. It runs the main controls window modally
// from its own initialisation and ends when that closes; it never becomes visible.
class CMainDlg : public CDialog {
  public:
    CMainDlg();

  protected:
    BOOL OnInitDialog() override;
};

}  // namespace melvora

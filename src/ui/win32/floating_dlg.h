#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/dialog.h"
#include "resource_ids.h"
#include "ui/win32/my_title_bar.h"
#include "ui/win32/new_deck_button.h"

namespace melvora {

// What every small skinned window shares: the title bar (IDC_TITLE_BAR) and the Close,
// Help and Minimise boxes (IDC_CLOSE_BOX, IDC_HELP_BOX, IDC_MINIMIZE_BOX), the owner's icon, the
// active and inactive looks, the dialog background colour, and the title buttons' commands.
class CFloatingDlg : public CDialog {
  public:
    explicit CFloatingDlg(UINT templateId = 0, HWND parent = nullptr);

    CMyTitleBar& TitleBar() { return titleBar_; }
    CNewDeckButton& CloseBox() { return closeBox_; }
    CNewDeckButton& HelpBox() { return helpBox_; }
    CNewDeckButton& MinimizeBox() { return minimizeBox_; }

  protected:
    // Flags for CreateTitleRow.
    enum TitleButtons { kCloseButton = 1, kHelpButton = 2, kMinimizeButton = 4 };

    // Creates the title bar and the chosen boxes along the top edge, 29 pixels high, the
    // boxes 18 pixels wide from the right edge (Close rightmost, then Help, then Minimise).
    void CreateTitleRow(int buttons);
    // Lays the title row out again for the current client width.
    void LayoutTitleRow();
    // Copies the owner's big and small icons (the program's icon) to this window.
    void TakeOwnerIcon();
    // For WM_NCHITTEST of a window without a system caption: a point (screen coordinates in
    // `lParam`) in the title row answers HTCAPTION, so the row moves the window; TRUE then,
    // FALSE elsewhere.
    BOOL HitTestTitleRow(LPARAM lParam);
    // For WM_COMMAND of a window with menus and buttons of its own: Enter and Escape (IDOK,
    // IDCANCEL) do nothing, any command but the title boxes' goes to `onCommand(id)`; true
    // then. False for the title boxes, which this class's DialogProc handles.
    template <class OnCommand>
    bool RouteCommand(WPARAM wParam, OnCommand onCommand) {
        const int id = LOWORD(wParam);
        if (id == IDC_CLOSE_BOX || id == IDC_HELP_BOX || id == IDC_MINIMIZE_BOX) {
            return false;
        }
        if (id != IDOK && id != IDCANCEL) {
            onCommand(id);
        }
        return true;
    }

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Close box: by default the window's system Close.
    virtual void OnCloseBox();
    // A modal dialog's own button `controlId` ends it with the result returned here (none:
    // 0, the default).
    virtual INT_PTR ButtonResult(int /*controlId*/) const { return 0; }
    // Help box: opens HelpPage() in the help file, in the current language.
    virtual void OnHelpBox();
    // The help page of this window ("ana.htm"); empty for none.
    virtual std::string HelpPage() const { return std::string(); }
    // The language of the user interface (0 English, 1 Turkish).
    virtual int Language() const { return 0; }
    // Activation change, after the title row has switched its look (the floating windows
    // report their index to the main window here).
    virtual void OnActivated(bool /*active*/) {}
    // The window is being moved or sized (the main window's snapping rule goes here).
    virtual void OnWindowPosChanging(WINDOWPOS* /*position*/) {}

  private:
    void OnActivate(bool active);

    CMyTitleBar titleBar_;
    CNewDeckButton closeBox_;
    CNewDeckButton helpBox_;
    CNewDeckButton minimizeBox_;
    int titleButtons_ = 0;
};

}  // namespace melvora

#pragma once

#include <windows.h>

#include <string>

#include "app/floating_window_owner.h"
#include "platform/win32/tool_tip.h"
#include "settings/settings_listener.h"
#include "ui/win32/floating_dlg.h"

namespace melvora {

// One of the five floating windows of the window set, as a frame: the skinned title row
// with Close and Help, tool tips for both, and the window-set behaviour. Closing hides it,
// moving it snaps it to the other windows, activating it reports it to the owner.
// The window's own view fills the client area below the title row.
class CFloatingFrameDlg : public CFloatingDlg, public SettingsListener {
  public:
    CFloatingFrameDlg(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner);
    ~CFloatingFrameDlg() override;

    // Creates the window hidden, owned (not parented) by `owner`.
    bool Create(HWND owner);

    FloatingWindow Window() const { return description_.window; }

    // Reloads the window text and the tool tips in `language`.
    virtual void ApplyLanguage(int language);
    // A setting changed in the options window; the windows that show it override this (the
    // language reaches every window through ApplyLanguage).
    void SettingsChanged(SettingsChange /*change*/) override {}

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter does nothing; Esc hides the window like its Close box.
    void OnOK() override {}
    void OnCancel() override;
    std::string HelpPage() const override { return description_.helpPage; }
    int Language() const override { return owner_.Language(); }
    void OnActivated(bool active) override;
    // The letter, digit and F1-F8 keys go to the piano and no further (so F1 opens no help).
    bool PreTranslateMessage(MSG* message) override;

  private:
    void OnWindowPosChanging(WINDOWPOS* position);

    FloatingWindowDescriptor description_;
    FloatingWindowOwner& owner_;
    CToolTip toolTip_;
};

}  // namespace melvora

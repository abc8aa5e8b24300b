#pragma once

#include <windows.h>

#include "platform/win32/wnd.h"

namespace melvora {

// A dialog from a template resource (modal or modeless) or from an in-memory template
// (modal). Derived classes handle messages in DialogProc, one switch calling named handlers,
// and return FALSE for what the dialog manager should do itself.
class CDialog : public CWnd {
  public:
    // `templateId` 0 means the dialog is built from an in-memory template (InitModalIndirect).
    explicit CDialog(UINT templateId = 0, HWND parent = nullptr);

    // Uses `dialogTemplate` for the next DoModal; the memory must outlive the dialog.
    void InitModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent);

    // Runs the dialog modally (owner disabled, own message loop with PreTranslateMessage);
    // returns the value given to EndDialog, or -1 when the dialog could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless from its template resource, owned by `owner`.
    bool CreateModeless(HWND owner);

    void EndDialog(INT_PTR result);

    // Keyboard navigation of the dialog (IsDialogMessage) for messages to it or its controls.
    bool PreTranslateMessage(MSG* message) override;
    bool IsModal() const { return modal_; }
    HWND DialogParent() const { return parent_; }
    UINT TemplateId() const { return templateId_; }

  protected:
    // Default: WM_INITDIALOG calls OnInitDialog; IDOK and IDCANCEL commands call OnOK and
    // OnCancel.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK();
    virtual void OnCancel();
    // Result of a message handled in DialogProc whose result is not a BOOL.
    void SetMessageResult(LRESULT result);
    // Centres the window over its owner (or the screen when it has none).
    void CenterOverOwner();

  private:
    static INT_PTR CALLBACK RoutingDialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam);

    UINT templateId_;
    HWND parent_;
    // Runs the thread's messages until EndDialog; returns false when WM_QUIT arrived.
    bool RunModalLoop();
    static bool PreTranslateChain(MSG* message, HWND modal);

    const DLGTEMPLATE* indirectTemplate_ = nullptr;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
};

}  // namespace melvora

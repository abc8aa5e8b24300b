#pragma once

#include <windows.h>

namespace melvora {

// Owns one window handle and routes its window procedure to the virtual WindowProc of the
// object. Derived classes keep one message switch there and call named handlers; anything
// they do not handle goes to Default(), which is DefWindowProcW or, for a subclassed control,
// the control's own procedure.
class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND Handle() const { return hwnd_; }
    // The object behind a window created or subclassed by this framework, else nullptr.
    static CWnd* FromHandle(HWND hwnd);

    // Registers a window class whose procedure is this framework's (once per name; later
    // calls with the same name succeed without changing it).
    static bool RegisterWindowClass(const wchar_t* className, UINT classStyle, HCURSOR cursor,
                                    HBRUSH background);

    // Creates the window; `rect` is in the parent's client coordinates for child windows.
    bool Create(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                const RECT& rect, HWND parent, UINT id);

    // Takes over an existing control (its procedure is chained); the control stays owned by
    // its dialog, so destroying this object only detaches it.
    bool Subclass(HWND hwnd);
    bool SubclassDlgItem(UINT id, HWND dialog);
    void Detach();
    void DestroyWindow();

    void Invalidate(bool erase = true) const;
    RECT ClientRect() const;
    // Window rectangle in the parent's client coordinates (screen coordinates for top-level
    // windows).
    RECT RectInParent() const;
    void MoveTo(int x, int y, int width, int height, bool repaint = true) const;
    void Resize(int width, int height) const;
    void Show(int command) const;
    HWND Parent() const;

    // Called by the modal loops of this framework before a message is dispatched, for the
    // window the message is addressed to and then for each of its parents up to the modal
    // dialog; returning true means the message was handled and is not dispatched.
    virtual bool PreTranslateMessage(MSG* /*message*/) { return false; }

  protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the last message (WM_NCDESTROY) reached the object.
    virtual void OnFinalMessage() {}

    // Used by CDialog, which attaches from its own dialog procedure.
    void AttachHandle(HWND hwnd);
    void ClearHandle();
    // The window is destroyed with the object (modeless dialogs).
    void MarkOwned() { owned_ = true; }

  private:
    static LRESULT CALLBACK RoutingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC subclassedProc_ = nullptr;
    bool owned_ = false;
};

// Client rectangle helpers that read better than the raw calls.
inline int RectWidth(const RECT& r) {
    return r.right - r.left;
}
inline int RectHeight(const RECT& r) {
    return r.bottom - r.top;
}

// Where the dialog's placeholder control `id` stood, in the dialog's client coordinates
// (empty when there is none); the placeholder is destroyed, so that a skinned control can
// take over its place and its id.
RECT TakePlaceholder(HWND dialog, UINT id);

}  // namespace melvora

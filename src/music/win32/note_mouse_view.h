#pragma once

#include <windows.h>

#include "music/note_mouse.h"
#include "views/win32/open_gl_wnd.h"

namespace melvora {

// An OpenGL view whose notes are played with the mouse (the keyboard and the staff): routes
// the mouse messages to the note mouse, captures the mouse for it, and shows a tool tip for
// the note under the mouse. Window thread only.
class CNoteMouseView : public COpenGLWnd, protected NoteMouseHost {
  public:
    // Creates the view as COpenGLWnd::Create does, its tool tip taking multi-line texts.
    bool Create(HWND parent, const RECT& rect, UINT id);

  protected:
    CNoteMouseView() : mouse_(*this) {}

    // The item under client point (x, y) of this window (which is the window under the
    // mouse), -1 for none.
    virtual int ItemAt(int x, int y) = 0;

    ToolTipKind ToolTipStyle() const override { return ToolTipKind::kByRegion; }
    // Mouse moves and the left button; other messages go to the OpenGL view.
    LRESULT OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // NoteMouseHost
    void Capture(bool capture) override;

    NoteMouse mouse_;

  private:
    void OnMouseMove(int x, int y, bool buttonDown);
};

}  // namespace melvora

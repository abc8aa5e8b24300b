#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/wnd.h"

namespace melvora {
namespace guitest {

// Language values of the options.
constexpr int kEnglish = 0;
constexpr int kTurkish = 1;

// How long a test waits for what a click, a message or a drawing brings about. Generous:
// on a loaded machine, or under a Wine that waits for a window manager, it takes seconds.
// Tests wait for the condition (PumpUntil), never for a fixed time.
constexpr int kDeadlineMs = 15000;

// Processes the thread's messages for about `ms` milliseconds.
void PumpMessages(int ms);

// Processes messages until `done` answers true (then true) or `ms` milliseconds passed
// (then false). Drawing reaches the virtual screen a little after it was made.
bool PumpUntil(const std::function<bool()>& done, int ms);

// Runs `show` (which opens a modal dialog and returns its result). Once a visible dialog
// of this thread is up, `script` runs inside the dialog's modal loop with the dialog's
// handle; it must close the dialog. If the dialog is still open 10 s later it is ended
// with -2, so a broken script fails the test instead of hanging it.
INT_PTR RunModal(const std::function<INT_PTR()>& show,
                 const std::function<void(HWND dialog)>& script);

// Ends a dialog run by CDialog::DoModal with `result`.
void EndModal(HWND dialog, INT_PTR result);

// Real mouse messages at a point of `window`'s client area.
void MouseMove(HWND window, int x, int y);
void MouseDown(HWND window, int x, int y);
void MouseUp(HWND window, int x, int y);
// Enters, presses and releases at the centre of `button`.
void Click(HWND button);

// Child windows of `parent` with control id `id`, or null.
HWND Child(HWND parent, int id);
RECT ClientRectOf(HWND window);
RECT WindowRectInParent(HWND window);

// A plain visible top-level window that records what it receives.
class HostWindow : public CWnd {
  public:
    struct Received {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    // Opens the window at (x, y) with the client size asked for; `icon` gives it the
    // program's icon.
    bool Open(int x, int y, int width, int height, const wchar_t* caption, bool icon = false);
    std::vector<Received> received;
    std::vector<Received> Of(UINT message) const;
    // Messages are recorded and not otherwise processed when `swallow` says so.
    std::function<bool(UINT message)> swallow;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Colour of a screen pixel of `window`'s client area (as drawn on the screen).
COLORREF PixelOf(HWND window, int x, int y);

// The sound tests' singer (sound_under_wine.sh) sings into the sink only while its cue
// file exists: the program first hears the room's quiet, as a singer's would. Without the
// script's cue (MELVORA_SINGER_CUE) nothing happens.
void CueSinger(bool sing);

}  // namespace guitest
}  // namespace melvora

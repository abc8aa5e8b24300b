#pragma once

#include "app/screen_rect.h"

namespace melvora {

// What the window set needs from the windows themselves. Window ids: 0 to 4 the floating
// windows in index order (0 analysis, 1 media player, 2 keyboard, 3 staff, 4 volume),
// kMainWindow the main controls window, kExerciseWindow the running exercise window.
class WindowSetHost {
  public:
    static constexpr int kMainWindow = 5;
    static constexpr int kExerciseWindow = 6;

    virtual ~WindowSetHost() = default;

    // True when the window object exists and has a system window.
    virtual bool HasWindow(int windowId) const = 0;
    // The window's rectangle in screen coordinates.
    virtual ScreenRect WindowRect(int windowId) const = 0;
    // Moves and sizes the window as a user's move would, so that the floating windows' own
    // position handling (snapping) runs.
    virtual void PlaceWindow(int windowId, const ScreenRect& rect) = 0;
    // Moves the window by an offset without resizing, without changing the z-order, without
    // activating it and without its position handling.
    virtual void OffsetWindow(int windowId, int dxPixels, int dyPixels) = 0;
    // Shows or hides the window; `activate` also makes a shown window the active one (a
    // window the user asked for), otherwise the active window stays as it is.
    virtual void ShowWindow(int windowId, bool show, bool activate) = 0;
    // Puts the window in the z-order right behind `afterWindowId`, without moving, sizing or
    // activating it.
    virtual void PlaceBehind(int windowId, int afterWindowId) = 0;
};

}  // namespace melvora

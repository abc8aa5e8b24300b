#pragma once

#include "app/window_set.h"

namespace melvora {

// What a floating window tells the main controls window about itself. `index` is the
// window's place in the window set (0 analysis, 1 media player, 2 keyboard, 3 staff,
// 4 volume).
class FloatingWindowOwner {
  public:
    virtual ~FloatingWindowOwner() = default;

    // The window is about to move to `proposed` (`keepPosition`: it is not moving). Returns
    // the position after snapping to the other windows.
    virtual WindowSet::Position FloatingMoving(int index, const WindowSet::Position& proposed,
                                               bool keepPosition) = 0;
    // The window became the active one.
    virtual void FloatingActivated(int index) = 0;
    // The user closed the window; it is hidden, not destroyed.
    virtual void FloatingClosed(int index) = 0;
    // The language of the user interface (0 English, 1 Turkish).
    virtual int Language() const = 0;
};

}  // namespace melvora

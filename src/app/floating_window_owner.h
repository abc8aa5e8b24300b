#pragma once

#include "app/floating_window.h"
#include "app/window_set.h"

namespace melvora {

// What a floating window tells the object that keeps the window set about itself.
class FloatingWindowOwner {
  public:
    virtual ~FloatingWindowOwner() = default;

    // The window is about to move to `proposed` (`keepPosition`: it is not moving). Returns
    // the position after snapping to the other windows.
    virtual WindowSet::Position FloatingMoving(FloatingWindow window,
                                               const WindowSet::Position& proposed,
                                               bool keepPosition) = 0;
    // The window became the active one.
    virtual void FloatingActivated(FloatingWindow window) = 0;
    // The user closed the window; it is hidden, not destroyed.
    virtual void FloatingClosed(FloatingWindow window) = 0;
    // The language of the user interface (0 English, 1 Turkish).
    virtual int Language() const = 0;

    // A key went down or up (`down`) in the window; the piano plays the letter, digit and
    // F1-F8 keys whichever floating window has the focus. `repeat` is the auto-repeat bit.
    // Returns true when the key was the piano's.
    virtual bool PianoKey(bool /*down*/, int /*virtualKey*/, bool /*repeat*/) { return false; }
    // The window lost the keys (deactivated): keys held down there are let go, as their
    // key-ups will go elsewhere.
    virtual void PianoKeysLost() {}
};

}  // namespace melvora

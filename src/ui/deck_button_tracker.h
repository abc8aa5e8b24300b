#pragma once

namespace melvora {

// Mouse state of a skinned push button.
enum class DeckButtonState {
    kNormal = 0,
    kHover = 1,
    kPressed = 2,
    kPressedOutside = 3,  // pressed, pointer moved off the button
};

// What the window must do after one mouse event.
struct DeckButtonReaction {
    bool repaint = false;         // the state changed
    bool captureMouse = false;    // take the capture
    bool releaseMouse = false;    // release the capture
    bool sendCommand = false;     // post WM_COMMAND to the parent
    bool activateParent = false;  // make the parent window active
};

// The button's mouse state machine: it captures the mouse while hovered or pressed, and a
// click only counts when the button is released over the button.
class DeckButtonTracker {
  public:
    DeckButtonState State() const { return state_; }

    DeckButtonReaction OnMouseMove(bool pointerOverButton);
    DeckButtonReaction OnButtonDown();
    DeckButtonReaction OnButtonUp();
    // Focus or capture lost (another window took the mouse, a menu opened).
    DeckButtonReaction OnLostMouse();

  private:
    DeckButtonState state_ = DeckButtonState::kNormal;
};

}  // namespace melvora

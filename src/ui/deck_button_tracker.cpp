#include "ui/deck_button_tracker.h"

namespace melvora {

DeckButtonReaction DeckButtonTracker::OnMouseMove(bool pointerOverButton) {
    DeckButtonReaction r;
    DeckButtonState before = state_;
    if (!pointerOverButton) {
        if (state_ == DeckButtonState::kHover) {
            state_ = DeckButtonState::kNormal;
            r.releaseMouse = true;
        } else if (state_ == DeckButtonState::kPressed) {
            state_ = DeckButtonState::kPressedOutside;
        }
    } else {
        if (state_ == DeckButtonState::kNormal) {
            state_ = DeckButtonState::kHover;
            r.captureMouse = true;
        } else if (state_ == DeckButtonState::kPressedOutside) {
            state_ = DeckButtonState::kPressed;
        }
    }
    r.repaint = state_ != before;
    return r;
}

DeckButtonReaction DeckButtonTracker::OnButtonDown() {
    DeckButtonReaction r;
    if (state_ == DeckButtonState::kHover) {
        state_ = DeckButtonState::kPressed;
        r.repaint = true;
    }
    r.activateParent = true;
    return r;
}

DeckButtonReaction DeckButtonTracker::OnButtonUp() {
    DeckButtonReaction r;
    if (state_ == DeckButtonState::kPressed) {
        r.sendCommand = true;
        r.repaint = true;
        r.releaseMouse = true;
        state_ = DeckButtonState::kNormal;
    } else if (state_ == DeckButtonState::kPressedOutside) {
        r.repaint = true;
        r.releaseMouse = true;
        state_ = DeckButtonState::kNormal;
    }
    return r;
}

DeckButtonReaction DeckButtonTracker::OnLostMouse() {
    DeckButtonReaction r;
    r.repaint = state_ != DeckButtonState::kNormal;
    r.releaseMouse = state_ != DeckButtonState::kNormal;
    state_ = DeckButtonState::kNormal;
    return r;
}

}  // namespace melvora

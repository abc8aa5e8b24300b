#include "music/note_mouse.h"

namespace melvora {

bool NoteMouse::Move(int item, bool buttonDown) {
    const int old = hovered_;
    if (item >= 0) {
        switch (state_) {
            case State::Idle:
                host_.Capture(true);
                host_.Highlight(item, buttonDown);
                if (buttonDown) {
                    host_.NoteOn(item);
                }
                state_ = buttonDown ? State::Playing : State::Hovering;
                break;
            case State::Hovering:
                if (item != old) {
                    host_.Unhighlight(old);
                    host_.Highlight(item, false);
                }
                break;
            case State::Playing:
                if (item != old) {
                    host_.Unhighlight(old);
                    host_.NoteOff(old);
                    host_.Highlight(item, true);
                    host_.NoteOn(item);
                }
                break;
            case State::HeldOutside:
                host_.Highlight(item, true);
                host_.NoteOn(item);
                state_ = State::Playing;
                break;
        }
    } else if (state_ == State::Hovering) {
        host_.Capture(false);
        host_.Unhighlight(old);
        state_ = State::Idle;
    } else if (state_ == State::Playing) {
        // The capture stays, so that the release of the button is seen.
        host_.Unhighlight(old);
        host_.NoteOff(old);
        state_ = State::HeldOutside;
    }
    hovered_ = item;
    return hovered_ != old;
}

void NoteMouse::ButtonDown() {
    if (state_ == State::Hovering && hovered_ >= 0) {
        host_.Highlight(hovered_, true);
        host_.NoteOn(hovered_);
        state_ = State::Playing;
    }
}

void NoteMouse::ButtonUp() {
    if (state_ == State::Playing) {
        host_.Highlight(hovered_, false);
        host_.NoteOff(hovered_);
        state_ = State::Hovering;
    } else if (state_ == State::HeldOutside) {
        host_.Capture(false);
        state_ = State::Idle;
    }
}

void NoteMouse::FocusLost() {
    if (state_ != State::Idle) {
        host_.Capture(false);
    }
    if (hovered_ >= 0 && (state_ == State::Playing || state_ == State::Hovering)) {
        // A key left lit after the mouse has gone would look held.
        host_.Unhighlight(hovered_);
    }
    host_.AllNotesOff();
    hovered_ = -1;
    state_ = State::Idle;
}

}  // namespace melvora

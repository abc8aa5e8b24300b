#pragma once

namespace melvora {

// What the mouse state machine asks of its view. Items are the keyboard's slots or the
// staff's semitones.
class NoteMouseHost {
  public:
    virtual ~NoteMouseHost() = default;
    virtual void Capture(bool capture) = 0;
    // Shown hovered (pressed false) or pressed, with the note label and mirrored.
    virtual void Highlight(int item, bool pressed) = 0;
    virtual void Unhighlight(int item) = 0;
    virtual void NoteOn(int item) = 0;
    virtual void NoteOff(int item) = 0;
    virtual void AllNotesOff() = 0;
};

// Playing notes with the mouse on the keyboard and the staff: idle, hovering a note, playing
// it (button held) or held outside (button held off the notes). At most one note sounds, and
// moving onto another note with the button held sends note off for the first before note on
// for the second. Window thread only.
class NoteMouse {
  public:
    enum class State { Idle = 0, Hovering = 1, Playing = 2, HeldOutside = 3 };

    explicit NoteMouse(NoteMouseHost& host) : host_(host) {}

    // The mouse moved onto `item` (-1: off the notes or outside the view) with the left
    // button down or up. Returns true when the hovered item changed.
    bool Move(int item, bool buttonDown);
    void ButtonDown();
    void ButtonUp();
    // Focus lost: capture released, the sounding note silenced and its highlight cleared.
    void FocusLost();

    State CurrentState() const { return state_; }
    int Hovered() const { return hovered_; }

  private:
    NoteMouseHost& host_;
    State state_ = State::Idle;
    int hovered_ = -1;
};

}  // namespace melvora

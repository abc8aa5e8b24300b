#pragma once

#include <cstdint>
#include <map>

#include "music/pc_keyboard_layout.h"

namespace melvora {

class PianoKeyboard;

// What the PC-keyboard player asks of the keyboard window.
class PcKeyboardHost {
  public:
    virtual ~PcKeyboardHost() = default;
    virtual void StartTimer(int timerId, int periodMs) = 0;
    virtual void KillTimer(int timerId) = 0;
    // Note on at the MIDI volume's velocity, key shown pressed with the note label, staff told.
    virtual void PlayKey(int slot) = 0;
    // Note off, highlight and note label cleared, staff told.
    virtual void StopKey(int slot) = 0;
    virtual void AllNotesOff() = 0;
    virtual void Invalidate() = 0;
};

// Playing the piano with the letter and digit keys: the layout, the PC octave (F1-F8), the
// held keys and the fade of the key tints and letters, which stay while a key is held and
// fade about 500 ms after the last release in nine 50 ms steps, gone at step 10.
// Window thread only.
class PcKeyboardPlayer {
  public:
    static constexpr int kFadeStartTimer = 1;
    static constexpr int kFadeStepTimer = 2;
    static constexpr int kFadeDelayMs = 500;
    static constexpr int kFadeStepMs = 50;
    static constexpr int kFadeSteps = 10;
    // Virtual-key codes of F1 and F8 (VK_F1, VK_F8).
    static constexpr int kKeyF1 = 0x70;
    static constexpr int kKeyF8 = 0x77;
    static constexpr int kInitialOctave = 4;

    PcKeyboardPlayer(PianoKeyboard& keyboard, PcKeyboardHost& host, int32_t layoutOption);

    // All notes off, the new octave (1..8) labelled, the fade restarted.
    void SetOctave(int pcOctave);
    // A new layout (option value), then the octave set again.
    void SetLayout(int32_t layoutOption);
    int Octave() const { return octave_; }
    const PcKeyboardLayout& Layout() const { return layout_; }

    // Key messages; true when the key belongs to the player (function key or layout key).
    // `repeat` is the previous-key-state bit of the key flags.
    bool KeyDown(int virtualKey, bool repeat);
    bool KeyUp(int virtualKey);
    // The fade timers; false for other ids.
    bool OnTimer(int timerId);
    // Focus lost: every held key is let go (note off, highlight cleared), so none sticks
    // when its key-up goes to another window.
    void ReleaseAll();

    int HeldKeys() const { return static_cast<int>(held_.size()); }
    int FadeStep() const { return fadeStep_; }
    bool Tinted() const { return fadeStep_ < kFadeSteps; }
    // The tints of the PC keys at the current fade step: the hover colours brightened by
    // 1 / (1 - 0.02 step) (white keys) and 1 / (1 - 0.05 step) (black keys); alpha 1.
    void Tints(float white[4], float black[4]) const;

  private:
    void ClearLabels();

    PianoKeyboard& keyboard_;
    PcKeyboardHost& host_;
    PcKeyboardLayout layout_;
    int octave_ = kInitialOctave;
    int fadeStep_ = 0;
    std::map<int, int> held_;  // virtual key -> slot it sounds
};

}  // namespace melvora

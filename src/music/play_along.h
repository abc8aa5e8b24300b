#pragma once

#include <atomic>
#include <cstdint>

namespace melvora {

class MidiSender;
class PianoKeyboard;

// Play-along: every tenth averaged pitch, the keyboard sounds the key nearest to it (note off
// for the previous one first), keeps a key that is still sung sounding without a new note on,
// and stops it when a pitch of 0 (no voice) comes. It lights no keys.
//
// Threads: Step runs on the audio worker thread; the call counter and the sung key are its
// own. The velocity may be changed from the window thread.
class PlayAlong {
  public:
    static constexpr int kCallsPerStep = 10;

    PlayAlong(const PianoKeyboard& keyboard, MidiSender& output);

    // One published average; acts on every tenth call (the 10th, 20th ...).
    void Step(float pitchHz);
    // Note-on velocity of the notes to come (the MIDI volume option).
    void SetVelocity(int velocity) { velocity_.store(velocity); }

    // The slot sounding now, -1 for none (worker thread, or after it stopped).
    int SungKey() const { return sungKey_; }

  private:
    const PianoKeyboard& keyboard_;
    MidiSender& output_;
    std::atomic<int> velocity_{88};
    uint32_t calls_ = 0;
    int sungKey_ = -1;
};

}  // namespace melvora

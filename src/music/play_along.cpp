#include "music/play_along.h"

#include "analysis/note.h"
#include "music/midi_message.h"
#include "music/midi_sender.h"
#include "music/piano_keyboard.h"

namespace melvora {

PlayAlong::PlayAlong(const PianoKeyboard& keyboard, MidiSender& output)
    : keyboard_(keyboard), output_(output) {}

void PlayAlong::Step(float pitchHz) {
    ++calls_;
    if (calls_ % kCallsPerStep != 0) {
        return;
    }
    if (pitchHz == 0.0f) {
        if (sungKey_ >= 0) {
            output_.Send(midi::NoteOff(keyboard_.MidiNoteOfSlot(sungKey_)));
        }
        sungKey_ = -1;
        return;
    }
    const Note note = Note::FromFrequency(pitchHz);
    const int slot = keyboard_.SlotOfMidiNote(12 * (note.octave + 1) + note.semitone);
    if (slot == sungKey_) {
        return;
    }
    if (sungKey_ >= 0) {
        output_.Send(midi::NoteOff(keyboard_.MidiNoteOfSlot(sungKey_)));
    }
    output_.Send(midi::NoteOn(keyboard_.MidiNoteOfSlot(slot), velocity_.load()));
    sungKey_ = slot;
}

}  // namespace melvora

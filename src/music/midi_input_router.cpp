#include "music/midi_input_router.h"

#include "music/midi_message.h"
#include "music/midi_sender.h"
#include "music/piano_keyboard.h"

namespace melvora {

MidiInputRouter::MidiInputRouter(const PianoKeyboard& keyboard, MidiSender& output, Post post)
    : keyboard_(keyboard), output_(output), post_(std::move(post)) {}

KeyLight MidiInputRouter::LightOf(uint32_t message, const PianoKeyboard& keyboard) {
    KeyLight light;
    const uint32_t status = midi::Status(message);
    if (status != midi::kNoteOn && status != midi::kNoteOff) {
        return light;
    }
    light.slot = keyboard.SlotOfMidiNote(midi::Data1(message));
    // A note off releases the key just as a note on with velocity 0 does; otherwise a
    // keyboard that sends real note offs would leave its keys lit for ever.
    const bool release = status == midi::kNoteOff || midi::Data2(message) == 0;
    light.action = release ? KeyLight::Action::Release : KeyLight::Action::Press;
    return light;
}

void MidiInputRouter::OnMessage(uint32_t message) {
    if (midi::Status(message) == midi::kActiveSensing) {
        return;
    }
    output_.Send(message);
    const KeyLight light = LightOf(message, keyboard_);
    if (light.action != KeyLight::Action::None && post_) {
        post_(light);
    }
}

}  // namespace melvora

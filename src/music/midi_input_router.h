#pragma once

#include <cstdint>
#include <functional>

namespace melvora {

class MidiSender;
class PianoKeyboard;

// What an incoming MIDI message does to the keys on screen.
struct KeyLight {
    enum class Action { None, Press, Release };
    Action action = Action::None;
    int slot = -1;
};

// The MIDI input callback's work, on the system's MIDI thread: every message but active
// sensing is echoed unchanged to the output at once; a note on (channel 1) lights its key, and
// a note off or a note on with velocity 0 (channel 1) lets it go. The key changes are handed
// to `post`, which must carry them to the window thread (in order) without touching windows.
class MidiInputRouter {
  public:
    using Post = std::function<void(const KeyLight&)>;

    MidiInputRouter(const PianoKeyboard& keyboard, MidiSender& output, Post post);

    // The lighting rule alone.
    static KeyLight LightOf(uint32_t message, const PianoKeyboard& keyboard);

    void OnMessage(uint32_t message);

  private:
    const PianoKeyboard& keyboard_;
    MidiSender& output_;
    Post post_;
};

}  // namespace melvora

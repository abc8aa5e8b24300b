#include "music/midi_input_router.h"

#include <gtest/gtest.h>

#include <vector>

#include "music/midi_message.h"
#include "music/midi_sender.h"
#include "music/piano_keyboard.h"

namespace melvora {
namespace {

class Recorder : public MidiSender {
  public:
    bool Send(uint32_t message) override {
        sent.push_back(message);
        return true;
    }
    std::vector<uint32_t> sent;
};

struct InputCase {
    uint32_t message;
    bool echoed;
    KeyLight::Action action;
    int midiNote;  // of the key lit or released
    const char* what;
};

TEST(MidiInputRouter, EchoesAndLightsKeysByTheRules) {
    using A = KeyLight::Action;
    const InputCase cases[] = {
        {midi::Pack(0x90, 60, 100), true, A::Press, 60, "note on"},
        {midi::Pack(0x90, 60, 0), true, A::Release, 60, "note on, velocity 0"},
        {midi::Pack(0x80, 60, 64), true, A::Release, 60, "note off releases too"},
        {midi::Pack(0x80, 60, 0), true, A::Release, 60, "note off, velocity 0"},
        {midi::Pack(0x91, 60, 100), true, A::None, 0, "note on, channel 2"},
        {midi::Pack(0x81, 60, 64), true, A::None, 0, "note off, channel 2"},
        {midi::Pack(0xC0, 5), true, A::None, 0, "program change"},
        {midi::Pack(0x90, 10, 90), true, A::Press, 21, "below A0: A0"},
        {midi::Pack(0x90, 120, 90), true, A::Press, 108, "above C8: C8"},
        {0xFE, false, A::None, 0, "active sensing is dropped"},
    };
    PianoKeyboard keyboard;
    for (const InputCase& c : cases) {
        Recorder output;
        std::vector<KeyLight> posted;
        MidiInputRouter router(keyboard, output,
                               [&posted](const KeyLight& light) { posted.push_back(light); });
        router.OnMessage(c.message);
        EXPECT_EQ(output.sent,
                  c.echoed ? std::vector<uint32_t>{c.message} : std::vector<uint32_t>{})
            << c.what;
        if (c.action == A::None) {
            EXPECT_TRUE(posted.empty()) << c.what;
        } else {
            ASSERT_EQ(posted.size(), 1u) << c.what;
            EXPECT_EQ(posted[0].action, c.action) << c.what;
            EXPECT_EQ(keyboard.MidiNoteOfSlot(posted[0].slot), c.midiNote) << c.what;
        }
    }
}

}  // namespace
}  // namespace melvora

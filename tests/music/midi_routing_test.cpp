#include "music/midi_input_router.h"
#include "music/play_along.h"

#include <gtest/gtest.h>

#include <vector>

#include "music/midi_message.h"
#include "music/midi_sender.h"
#include "music/piano_keyboard.h"

namespace melvora {
namespace {

// What the input router and play-along send to the MIDI output.
class Recorder : public MidiSender {
  public:
    bool Send(uint32_t message) override {
        sent.push_back(message);
        return true;
    }
    std::vector<uint32_t> sent;
};

// Message, whether it is echoed, and the key it lights or releases.
TEST(MidiInputRouter, EchoesAndLightsKeysByTheRules) {
    using A = KeyLight::Action;
    const struct {
        uint32_t message;
        bool echoed;
        A action;
        int midiNote;
        const char* what;
    } cases[] = {
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
    for (const auto& c : cases) {
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

// Every tenth result acts: the nearest key sounds and is held while it is sung.
TEST(PlayAlong, SoundsTheNearestKeyAndHoldsItWhileItIsSung) {
    PianoKeyboard keyboard;
    Recorder output;
    PlayAlong playAlong{keyboard, output};
    playAlong.SetVelocity(127);
    const struct {
        float pitchHz;
        std::vector<uint32_t> sent;
    } steps[] = {
        {440.0f, {midi::NoteOn(69, 127)}},
        {445.0f, {}},  // still A4: no repeat of the held key
        {453.1f, {midi::NoteOff(69), midi::NoteOn(70, 127)}},  // above the midpoint: A#4
        {0.0f, {midi::NoteOff(70)}},
        {0.0f, {}},
        {20.0f, {midi::NoteOn(21, 127)}},                        // below A0: the lowest key
        {5000.0f, {midi::NoteOff(21), midi::NoteOn(108, 127)}},  // above C8: the highest
        {261.63f, {midi::NoteOff(108), midi::NoteOn(60, 127)}},
    };
    for (const auto& step : steps) {
        output.sent.clear();
        for (int i = 0; i < 9; ++i) {
            playAlong.Step(step.pitchHz);
        }
        EXPECT_TRUE(output.sent.empty());
        playAlong.Step(step.pitchHz);
        EXPECT_EQ(output.sent, step.sent) << step.pitchHz << " Hz";
    }
    EXPECT_EQ(playAlong.SungKey(), keyboard.SlotOfMidiNote(60));
}

}  // namespace
}  // namespace melvora

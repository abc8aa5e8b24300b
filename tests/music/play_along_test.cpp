#include "music/play_along.h"

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

class PlayAlongTest : public ::testing::Test {
  protected:
    // Nine calls that do nothing, then the acting tenth.
    void Tenth(float pitchHz) {
        for (int i = 0; i < 9; ++i) {
            playAlong.Step(pitchHz);
        }
        EXPECT_TRUE(output.sent.empty());
        playAlong.Step(pitchHz);
    }
    PianoKeyboard keyboard;
    Recorder output;
    PlayAlong playAlong{keyboard, output};
};

TEST_F(PlayAlongTest, SoundsTheNearestKeyAndHoldsItWhileItIsSung) {
    struct Step {
        float pitchHz;
        std::vector<uint32_t> sent;
    };
    playAlong.SetVelocity(127);
    const Step steps[] = {
        {440.0f, {midi::NoteOn(69, 127)}},
        {445.0f, {}},  // still A4: no repeat of the held key
        {453.1f, {midi::NoteOff(69), midi::NoteOn(70, 127)}},  // above the midpoint: A#4
        {0.0f, {midi::NoteOff(70)}},
        {0.0f, {}},
        {20.0f, {midi::NoteOn(21, 127)}},                        // below A0: the lowest key
        {5000.0f, {midi::NoteOff(21), midi::NoteOn(108, 127)}},  // above C8: the highest
        {261.63f, {midi::NoteOff(108), midi::NoteOn(60, 127)}},
    };
    for (const Step& step : steps) {
        output.sent.clear();
        Tenth(step.pitchHz);
        EXPECT_EQ(output.sent, step.sent) << step.pitchHz << " Hz";
    }
    EXPECT_EQ(playAlong.SungKey(), keyboard.SlotOfMidiNote(60));
}

}  // namespace
}  // namespace melvora

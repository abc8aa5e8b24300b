#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "music/pc_keyboard_player.h"
#include "music/piano_keyboard.h"

namespace melvora {
namespace {

int Labels(const PianoKeyboard& keyboard) {
    int labelled = 0;
    for (int slot = 0; slot < keyboard.SlotCount(); ++slot) {
        labelled += keyboard.Key(slot).hasLabel ? 1 : 0;
    }
    return labelled;
}

// Layout, octave, key and the MIDI note it plays (-1: the key does nothing); where two keys
// play one note the later one labels it.
TEST(PcKeyboardLayout, KeysPlayTheirNotesInEveryOctave) {
    const struct {
        int layout, octave;
        char key;
        int midiNote;
    } cases[] = {
        {1, 4, 'S', 60},  {1, 4, 'A', 59},  {1, 4, 'L', 72}, {1, 4, 'E', 61}, {1, 4, 'J', 69},
        {1, 8, 'A', 107}, {1, 8, 'S', 108}, {1, 8, 'E', -1}, {1, 8, 'L', -1}, {1, 4, 'Q', -1},
        {2, 4, 'W', 60},  {2, 4, 'Z', 72},  {2, 4, 'O', 72}, {2, 4, 'M', 83}, {2, 4, 'Q', 59},
        {2, 4, '3', 61},  {2, 4, 'P', 74},  {2, 4, 'X', 74}, {2, 1, 'Q', 23}, {7, 4, 'S', 60},
        {2, 4, 'A', -1},
    };
    PianoKeyboard keyboard;
    for (const auto& c : cases) {
        const int slot = PcKeyboardLayout(c.layout).SlotOf(c.key, c.octave, keyboard.SlotCount());
        EXPECT_EQ(slot < 0 ? -1 : keyboard.MidiNoteOfSlot(slot), c.midiNote)
            << "layout " << c.layout << " octave " << c.octave << " key " << c.key;
    }
    PcKeyboardLayout(2).PutLabels(keyboard, 4);
    const std::pair<int, const char*> labels[] = {{72, "O"}, {73, "0"}, {74, "P"}, {60, "W"}};
    for (const auto& [note, label] : labels) {
        EXPECT_EQ(keyboard.Key(keyboard.SlotOfMidiNote(note)).label, label);
    }
    EXPECT_EQ(Labels(keyboard), 25);
}

// Records what the player asks of the window.
class Host : public PcKeyboardHost {
  public:
    void StartTimer(int id, int ms) override {
        log.push_back("start" + std::to_string(id) + ":" + std::to_string(ms));
    }
    void KillTimer(int id) override { log.push_back("kill" + std::to_string(id)); }
    void PlayKey(int slot) override { log.push_back("play" + std::to_string(slot)); }
    void StopKey(int slot) override { log.push_back("stop" + std::to_string(slot)); }
    void AllNotesOff() override { log.push_back("alloff"); }
    void Invalidate() override {}
    std::vector<std::string> log;
};

// A held key sounds once and losing the focus lets every held key go; nine steps after the
// delay take the letters off, the next key brings them back at once, and a key during the
// fade stops it at full strength; function keys change the octave at once, even with a key
// held, and that key's key-up lets go the key it pressed.
TEST(PcKeyboardPlayer, KeysTheFadeAndTheOctave) {
    PianoKeyboard keyboard;
    Host host;
    PcKeyboardPlayer player{keyboard, host, 1};
    player.SetOctave(4);
    EXPECT_GT(Labels(keyboard), 0);
    float white[4];
    float black[4];
    player.Tints(white, black);
    EXPECT_FLOAT_EQ(white[0], 0.93f);
    host.log.clear();
    const std::string c4 = std::to_string(keyboard.SlotOfMidiNote(60));
    EXPECT_TRUE(player.KeyDown('S', false));
    EXPECT_TRUE(player.KeyDown('S', true));
    EXPECT_TRUE(player.KeyDown('S', false));  // a lost key-up does not sound it twice
    EXPECT_TRUE(player.KeyUp('S'));
    EXPECT_FALSE(player.KeyDown('Q', false));
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"play" + c4, "kill1", "stop" + c4, "start1:500"}));
    player.KeyDown('S', false);
    player.KeyDown('D', false);
    host.log.clear();
    player.ReleaseAll();
    EXPECT_EQ(player.HeldKeys(), 0);
    EXPECT_EQ(host.log.size(), 3u);  // two stops and the fade timer
    EXPECT_EQ(host.log.back(), "start1:500");
    host.log.clear();
    player.KeyUp('S');
    EXPECT_TRUE(host.log.empty());

    player.OnTimer(PcKeyboardPlayer::kFadeStartTimer);
    EXPECT_EQ(player.FadeStep(), 1);
    player.Tints(white, black);
    EXPECT_FLOAT_EQ(white[0], 0.93f / 0.98f);
    EXPECT_FLOAT_EQ(black[0], 0.70f / 0.95f);
    EXPECT_FLOAT_EQ(black[3], 1.0f);
    int steps = 0;
    while (player.FadeStep() < PcKeyboardPlayer::kFadeSteps) {
        EXPECT_GT(Labels(keyboard), 0);
        player.OnTimer(PcKeyboardPlayer::kFadeStepTimer);
        ++steps;
    }
    EXPECT_EQ(steps, 9);
    EXPECT_EQ(Labels(keyboard), 0);
    EXPECT_FALSE(player.Tinted());
    EXPECT_EQ(host.log, (std::vector<std::string>{"kill1", "start2:50", "kill2"}));
    EXPECT_FALSE(player.OnTimer(3));
    host.log.clear();
    player.KeyDown('S', false);
    EXPECT_GT(Labels(keyboard), 0);
    EXPECT_EQ(player.FadeStep(), 0);
    EXPECT_EQ(host.log.size(), 1u);  // no timer to kill
    player.KeyUp('S');
    player.OnTimer(PcKeyboardPlayer::kFadeStartTimer);
    player.OnTimer(PcKeyboardPlayer::kFadeStepTimer);
    host.log.clear();
    player.KeyDown('D', false);
    EXPECT_EQ(player.FadeStep(), 0);
    EXPECT_EQ(host.log.back(), "kill2");

    player.KeyUp('D');
    player.KeyDown('S', false);
    host.log.clear();
    EXPECT_TRUE(player.KeyDown(PcKeyboardPlayer::kKeyF1 + 4, true));  // F5, auto-repeat too
    EXPECT_EQ(player.Octave(), 5);
    EXPECT_EQ(Labels(keyboard), 0);  // they come back with the next key after the fade
    EXPECT_EQ(host.log, std::vector<std::string>{"alloff"});
    player.KeyUp('S');
    EXPECT_EQ(host.log[1], "stop" + c4);
}

}  // namespace
}  // namespace melvora

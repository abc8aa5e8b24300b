#include <gtest/gtest.h>

#include "music/midi_message.h"
#include "music/piano_keyboard.h"

#include <tuple>

namespace melvora {
namespace {

// 88 keys in 103 slots (A0 to C8, with gaps between E-F and B-C), each slot with its note and
// shape; MIDI notes map to slots clamped to the keyboard.
TEST(PianoKeyboard, SlotsCarryTheirNoteAndShape) {
    PianoKeyboard keyboard;
    ASSERT_EQ(keyboard.SlotCount(), 103);
    int keys = 0;
    for (int slot = 0; slot < keyboard.SlotCount(); ++slot) {
        keys += keyboard.IsKey(slot) ? 1 : 0;
    }
    EXPECT_EQ(keys, 88);
    const struct {
        int slot, octave, semitone;
        KeyShape shape;
    } cases[] = {
        {0, 0, 9, KeyShape::NotchRight},  {1, 0, 10, KeyShape::Black},
        {2, 0, 11, KeyShape::NotchLeft},  {3, 0, 11, KeyShape::Gap},
        {4, 1, 0, KeyShape::NotchRight},  {6, 1, 2, KeyShape::NotchBoth},
        {8, 1, 4, KeyShape::NotchLeft},   {9, 1, 4, KeyShape::Gap},
        {10, 1, 5, KeyShape::NotchRight}, {12, 1, 7, KeyShape::NotchBoth},
        {14, 1, 9, KeyShape::NotchBoth},  {16, 1, 11, KeyShape::NotchLeft},
        {101, 7, 11, KeyShape::Gap},      {56, 4, 9, KeyShape::NotchBoth},
        {60, 5, 0, KeyShape::NotchRight}, {102, 8, 0, KeyShape::Full},
    };
    for (const auto& c : cases) {
        const CPianoKey& key = keyboard.Key(c.slot);
        EXPECT_EQ(std::make_tuple(key.octave, key.semitone, key.shape),
                  std::make_tuple(c.octave, c.semitone, c.shape))
            << "slot " << c.slot;
    }
    const int notes[][2] = {{21, 0},    {0, 0},   {-5, 0},  {20, 0}, {108, 102},
                            {127, 102}, {60, 46}, {69, 56}, {61, 47}};
    for (const auto& c : notes) {
        EXPECT_EQ(keyboard.SlotOfMidiNote(c[0]), c[1]) << "note " << c[0];
    }
    for (int note = 21; note <= 108; ++note) {
        EXPECT_EQ(keyboard.MidiNoteOfSlot(keyboard.SlotOfMidiNote(note)), note);
    }
}

// A keyboard 1040 pixels wide (white keys 20 pixels, slots 10) and keys 100 pixels long.
TEST(PianoKeyboard, HitTestPutsBlackKeysOverWhiteAtTheirEdgesAndPressesLightThem) {
    PianoKeyboard keyboard;
    const float w = keyboard.WhiteKeyWidth(1050);
    ASSERT_FLOAT_EQ(w, 20.0f);
    const float h = 100.0f;
    // Slot i is centred at (i + 1) x 10 pixels: C4 is slot 46 (centre 470), C#4 slot 47
    // (480, edges at 473.3 and 486.7, lower end at 66.7), D4 slot 48 (490); E4 slot 50
    // (510), the gap 51, F4 slot 52 (530).
    const float lowerEnd = 200.0f / 3.0f;
    const struct {
        float x, y;
        int slot;
        const char* what;
    } cases[] = {
        {470.0f, 90.0f, 46, "C4 front"},
        {480.0f, 30.0f, 47, "C#4 centre"},
        {476.0f, lowerEnd, 47, "C#4 left half at its lower end"},
        {476.0f, lowerEnd + 0.8f, 46, "just below: C4 front"},
        {484.0f, lowerEnd, 47, "C#4 right half at its lower end"},
        {484.0f, lowerEnd + 0.8f, 48, "just below: D4 front"},
        {473.6f, 30.0f, 47, "just inside the left edge of C#4"},
        {473.0f, 30.0f, 46, "just left of C#4: C4 back"},
        {486.4f, 30.0f, 47, "just inside the right edge of C#4"},
        {487.0f, 30.0f, 48, "just right of C#4: D4 back"},
        {519.0f, 30.0f, 50, "E4 back right of its centre"},
        {521.0f, 30.0f, 52, "F4 back: the gap is never hit"},
        {-3.0f, 50.0f, 0, "left of the keyboard: A0"},
        {5.0f, 50.0f, 0, "A0"},
        {1035.0f, 50.0f, 102, "right of the keyboard: C8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keyboard.HitTest(c.x, c.y, w, h), c.slot) << c.what;
    }
    // Press and release ignore slots outside the keyboard and colour by the kind of key.
    EXPECT_FALSE(keyboard.Press(-1, PianoKeyboard::kPressed));
    EXPECT_FALSE(keyboard.Press(103, PianoKeyboard::kPressed));
    ASSERT_TRUE(keyboard.Press(47, PianoKeyboard::kPressed));  // black
    EXPECT_TRUE(keyboard.Key(47).highlighted);
    EXPECT_FLOAT_EQ(keyboard.Key(47).highlightColour[0], 0.70f);
    EXPECT_FLOAT_EQ(keyboard.Key(47).highlightColour[2], 1.00f);
    ASSERT_TRUE(keyboard.Press(46, PianoKeyboard::kHover));  // white
    EXPECT_FLOAT_EQ(keyboard.Key(46).highlightColour[1], 0.85f);
    EXPECT_TRUE(keyboard.Release(47));
    EXPECT_FALSE(keyboard.Key(47).highlighted);
}

TEST(MidiMessage, PacksStatusAndDataBytes) {
    EXPECT_EQ(midi::NoteOn(60, 127), 0x007F3C90u);
    EXPECT_EQ(midi::NoteOff(69), 0x00404580u);
    EXPECT_EQ(midi::ProgramChange(73), 0x000049C0u);
    EXPECT_EQ(midi::AllNotesOff(), 0x00007BB0u);
    EXPECT_EQ(midi::Status(0x00407F90u), 0x90u);
    EXPECT_EQ(midi::Data1(0x00407F90u), 127);
    EXPECT_EQ(midi::Data2(0x00407F90u), 64);
    const int velocities[][2] = {{0, 56}, {1, 88}, {2, 127}, {7, 88}};
    for (const auto& v : velocities) {
        EXPECT_EQ(midi::VelocityOfVolume(v[0]), v[1]);
    }
}

}  // namespace
}  // namespace melvora

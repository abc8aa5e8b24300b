#include "analysis/note.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/app_options.h"

namespace melvora {
namespace {

// Boundaries between notes are checked for every key below.
TEST(NoteFromFrequency, NoPitchIsA4AndTheSearchesEnd) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float hz;
        Note note;
    } cases[] = {{440.0f, {4, 9}},
                 // No pitch (zero, negative, not finite) reads as A4.
                 {0.0f, {4, 9}},
                 {-100.0f, {4, 9}},
                 {nan, {4, 9}},
                 {inf, {4, 9}},
                 {-inf, {4, 9}},
                 // In octave 4 by the octave search, but above the B4/C5 midpoint.
                 {520.0f, {5, 0}},
                 {508.5f, {4, 11}}};
    for (const auto& c : cases) {
        EXPECT_EQ(Note::FromFrequency(c.hz), c.note) << c.hz << " Hz";
    }
    // The octave searches must terminate at the float limits.
    EXPECT_LT(Note::FromFrequency(1e-40f).octave, -100);
    EXPECT_GT(Note::FromFrequency(3e38f).octave, 100);
}

// Reference frequency of a MIDI key on the scale whose C8 is 4186.009 Hz.
double ReferenceHz(int key) {
    return 4186.009 * std::pow(2.0, (key - 108) / 12.0);
}

class NoteBoundary : public ::testing::TestWithParam<int> {};

TEST_P(NoteBoundary, SwitchesAtTheArithmeticMidpointOfNeighbours) {
    const int key = GetParam();
    const double midpoint = (ReferenceHz(key) + ReferenceHz(key + 1)) / 2.0;
    const double geometric = std::sqrt(ReferenceHz(key) * ReferenceHz(key + 1));
    const Note lower = Note::FromMidiKey(key);
    const Note upper = Note::FromMidiKey(key + 1);

    EXPECT_EQ(Note::FromFrequency(static_cast<float>(midpoint * (1 - 2e-6))), lower);
    EXPECT_EQ(Note::FromFrequency(static_cast<float>(midpoint * (1 + 2e-6))), upper);
    // Between the geometric and the arithmetic midpoint the lower note still wins.
    EXPECT_EQ(Note::FromFrequency(static_cast<float>((geometric + midpoint) / 2)), lower);
    EXPECT_EQ(Note::FromFrequency(static_cast<float>(ReferenceHz(key))), lower);
}

// Every semitone from C0 to B8, so each step of the octave search and of the semitone loop
// is crossed, including B to the C of the next octave.
INSTANTIATE_TEST_SUITE_P(C0ToB8, NoteBoundary, ::testing::Range(12, 120));

TEST(NoteMidiKey, EveryKeyRoundTripsThroughItsFrequency) {
    for (int key = 0; key < 128; ++key) {
        const Note n = Note::FromMidiKey(key);
        EXPECT_EQ(12 * (n.octave + 1) + n.semitone, key);
        EXPECT_TRUE(n.semitone >= 0 && n.semitone <= 11) << key;
        // Shifted into the first data byte of a MIDI message.
        EXPECT_EQ(n.MidiKey(), static_cast<uint32_t>(key) << 8);
        EXPECT_EQ(Note::FromFrequency(static_cast<float>(n.ToFrequency())), n) << key;
    }
    EXPECT_EQ(Note::FromMidiKey(-1), (Note{-2, 11}));
    EXPECT_EQ(Note::FromMidiKey(-12), (Note{-2, 0}));
    EXPECT_EQ(Note::FromMidiKey(-13), (Note{-3, 11}));
    EXPECT_NEAR((Note{4, 9}).ToFrequency(), 440.011, 0.001);
    EXPECT_NEAR((Note{0, 0}).ToFrequency(), 16.352, 1e-6);
}

TEST(NoteName, BothSystemsWithAndWithoutOctave) {
    const char* const letters[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const char* const solfege[] = {"Do",  "Do#", "Re",   "Re#", "Mi",  "Fa",
                                   "Fa#", "Sol", "Sol#", "La",  "La#", "Si"};
    for (int s = 0; s < 12; ++s) {
        const Note n{5, s};
        EXPECT_EQ(n.Name(false, true), letters[s]);
        EXPECT_EQ(n.Name(false, false), solfege[s]);
        EXPECT_EQ(n.Name(true, true), std::string(letters[s]) + "5");
        EXPECT_EQ(n.Name(true, false), std::string(solfege[s]) + "5");
    }
    EXPECT_EQ((Note{-1, 0}).Name(true, true), "C-1");
    // A semitone outside the octave has no name.
    EXPECT_EQ((Note{4, -1}).Name(true, true), "");
    EXPECT_EQ((Note{4, 12}).Name(true, false), "");
    EXPECT_EQ((Note{4, 12}).Label(true, 0), "\n523.26\n(4th octave)");
}

TEST(NoteLabel, ThreeLinesInEnglishAndTurkish) {
    const struct {
        Note note;
        bool letters;
        int language;
        const char* label;
    } cases[] = {{{3, 0}, true, 0, "C\n130.82\n(3rd octave)"},
                 {{1, 2}, true, 0, "D\n36.71\n(1st octave)"},
                 {{2, 4}, false, 0, "Mi\n82.41\n(2nd octave)"},
                 {{0, 0}, true, 0, "C\n16.35\n(0th octave)"},
                 {{4, 9}, false, 1, "La\n440.01\n(4. oktav)"},
                 // Unknown languages are English.
                 {{3, 0}, true, 2, "C\n130.82\n(3rd octave)"}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.note.Label(c.letters, c.language), c.label);
    }
    // 16.352 x 2^1000 has 303 digits before the point; none may be lost.
    const std::string huge = (Note{1000, 0}).Label(true, 0);
    EXPECT_EQ(huge.substr(0, 2), "C\n");
    EXPECT_NE(huge.find(".00\n(1000th octave)"), std::string::npos) << huge.size();
    EXPECT_GT(huge.size(), 300u);
}

}  // namespace
}  // namespace melvora

#include "analysis/note.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/app_options.h"

namespace melvora {
namespace {

struct FrequencyCase {
    float hz;
    int octave;
    int semitone;
};

void PrintTo(const FrequencyCase& c, std::ostream* os) {
    *os << c.hz << " Hz";
}

class NoteFromFrequency : public ::testing::TestWithParam<FrequencyCase> {};

TEST_P(NoteFromFrequency, GivesTheNearestNoteByTheArithmeticMidpoint) {
    const Note n = Note::FromFrequency(GetParam().hz);
    EXPECT_EQ(n.octave, GetParam().octave);
    EXPECT_EQ(n.semitone, GetParam().semitone);
}

INSTANTIATE_TEST_SUITE_P(
    Documented, NoteFromFrequency,
    ::testing::Values(FrequencyCase{440.0f, 4, 9}, FrequencyCase{0.0f, 4, 9},
                      FrequencyCase{-100.0f, 4, 9}, FrequencyCase{261.63f, 4, 0},
                      FrequencyCase{4186.009f, 8, 0}, FrequencyCase{4000.0f, 7, 11},
                      // The midpoint of A4 and A#4 is 453.08 Hz.
                      FrequencyCase{453.0f, 4, 9}, FrequencyCase{453.1f, 4, 10},
                      // In octave 4 by the octave search, but above the B4/C5 midpoint.
                      FrequencyCase{520.0f, 5, 0}, FrequencyCase{508.5f, 4, 11},
                      FrequencyCase{16.352f, 0, 0}, FrequencyCase{27.5f, 0, 9},
                      FrequencyCase{8372.018f, 9, 0}, FrequencyCase{65.41f, 2, 0}));

INSTANTIATE_TEST_SUITE_P(
    NonFinite, NoteFromFrequency,
    ::testing::Values(FrequencyCase{std::numeric_limits<float>::quiet_NaN(), 4, 9},
                      FrequencyCase{std::numeric_limits<float>::infinity(), 4, 9},
                      FrequencyCase{-std::numeric_limits<float>::infinity(), 4, 9}));

TEST(NoteFromFrequencyExtremes, TinyAndHugeFrequenciesEnd) {
    // Only that they return: the octave searches must terminate at the float limits.
    const Note tiny = Note::FromFrequency(1e-40f);
    EXPECT_LT(tiny.octave, -100);
    const Note huge = Note::FromFrequency(3e38f);
    EXPECT_GT(huge.octave, 100);
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
    // The notes themselves.
    EXPECT_EQ(Note::FromFrequency(static_cast<float>(ReferenceHz(key))), lower);
}

// Every semitone from C0 to B8, so each step of the octave search and of the semitone loop
// is crossed, including B to the C of the next octave.
INSTANTIATE_TEST_SUITE_P(C0ToB8, NoteBoundary, ::testing::Range(12, 120));

class NoteRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(NoteRoundTrip, KeyToFrequencyToNoteGivesTheSameKey) {
    const int key = GetParam();
    const Note n = Note::FromMidiKey(key);
    EXPECT_EQ(12 * (n.octave + 1) + n.semitone, key);
    EXPECT_GE(n.semitone, 0);
    EXPECT_LE(n.semitone, 11);
    EXPECT_EQ(n.MidiKey(), static_cast<uint32_t>(key) << 8);
    EXPECT_EQ(Note::FromFrequency(static_cast<float>(n.ToFrequency())), n);
}

INSTANTIATE_TEST_SUITE_P(MidiRange, NoteRoundTrip, ::testing::Range(0, 128));

TEST(NoteFromMidiKey, NegativeKeysFloorToLowerOctaves) {
    EXPECT_EQ(Note::FromMidiKey(-1), (Note{-2, 11}));
    EXPECT_EQ(Note::FromMidiKey(-12), (Note{-2, 0}));
    EXPECT_EQ(Note::FromMidiKey(-13), (Note{-3, 11}));
}

TEST(NoteToFrequency, UsesTheC0Constant) {
    EXPECT_NEAR((Note{4, 0}).ToFrequency(), 261.632, 0.001);
    EXPECT_NEAR((Note{4, 9}).ToFrequency(), 440.011, 0.001);
    EXPECT_NEAR((Note{3, 0}).ToFrequency(), 130.816, 0.001);
    EXPECT_NEAR((Note{0, 0}).ToFrequency(), 16.352, 1e-6);
}

TEST(NoteMidiKey, IsShiftedIntoTheFirstDataByte) {
    EXPECT_EQ((Note{4, 9}).MidiKey(), 17664u);
    EXPECT_EQ((Note{4, 0}).MidiKey(), 60u << 8);
    EXPECT_EQ((Note{-1, 0}).MidiKey(), 0u);
    EXPECT_EQ((Note{9, 7}).MidiKey(), 127u << 8);
}

struct NameCase {
    int semitone;
    const char* letters;
    const char* solfege;
};

class NoteName : public ::testing::TestWithParam<NameCase> {};

TEST_P(NoteName, BothSystemsWithAndWithoutOctave) {
    const Note n{5, GetParam().semitone};
    EXPECT_EQ(n.Name(false, true), GetParam().letters);
    EXPECT_EQ(n.Name(false, false), GetParam().solfege);
    EXPECT_EQ(n.Name(true, true), std::string(GetParam().letters) + "5");
    EXPECT_EQ(n.Name(true, false), std::string(GetParam().solfege) + "5");
}

INSTANTIATE_TEST_SUITE_P(AllSemitones, NoteName,
                         ::testing::Values(NameCase{0, "C", "Do"}, NameCase{1, "C#", "Do#"},
                                           NameCase{2, "D", "Re"}, NameCase{3, "D#", "Re#"},
                                           NameCase{4, "E", "Mi"}, NameCase{5, "F", "Fa"},
                                           NameCase{6, "F#", "Fa#"}, NameCase{7, "G", "Sol"},
                                           NameCase{8, "G#", "Sol#"}, NameCase{9, "A", "La"},
                                           NameCase{10, "A#", "La#"}, NameCase{11, "B", "Si"}));

TEST(NoteNameOutOfRange, SemitoneOutsideTheOctaveHasNoName) {
    EXPECT_EQ((Note{4, -1}).Name(true, true), "");
    EXPECT_EQ((Note{4, 12}).Name(true, false), "");
    EXPECT_EQ((Note{4, 12}).Label(true, 0),
              "\n"
              "523.26\n(4th octave)");
}

TEST(NoteNameNegativeOctave, PrintsTheSign) {
    EXPECT_EQ((Note{-1, 0}).Name(true, true), "C-1");
}

TEST(NoteLabelHugeOctave, KeepsEveryDigitOfTheFrequency) {
    // 16.352 x 2^1000 has 303 digits before the point.
    const std::string label = (Note{1000, 0}).Label(true, 0);
    EXPECT_EQ(label.substr(0, 2), "C\n");
    EXPECT_NE(label.find(".00\n(1000th octave)"), std::string::npos) << label.size();
    EXPECT_GT(label.size(), 300u);
}

struct LabelCase {
    Note note;
    bool letters;
    int language;
    const char* label;
};

class NoteLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(NoteLabel, ThreeLines) {
    EXPECT_EQ(GetParam().note.Label(GetParam().letters, GetParam().language), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(EnglishAndTurkish, NoteLabel,
                         ::testing::Values(LabelCase{{3, 0}, true, 0, "C\n130.82\n(3rd octave)"},
                                           LabelCase{{1, 2}, true, 0, "D\n36.71\n(1st octave)"},
                                           LabelCase{{2, 4}, false, 0, "Mi\n82.41\n(2nd octave)"},
                                           LabelCase{{4, 9}, false, 0, "La\n440.01\n(4th octave)"},
                                           LabelCase{{0, 0}, true, 0, "C\n16.35\n(0th octave)"},
                                           LabelCase{{4, 9}, false, 1, "La\n440.01\n(4. oktav)"},
                                           LabelCase{{3, 0}, true, 1, "C\n130.82\n(3. oktav)"},
                                           // Unknown languages are English.
                                           LabelCase{{3, 0}, true, 2, "C\n130.82\n(3rd octave)"},
                                           LabelCase{{3, 0}, true, -1, "C\n130.82\n(3rd octave)"}));

class NoteFollowsOptions : public ::testing::Test {
  protected:
    void TearDown() override { Options() = AppOptions(); }
};

TEST_F(NoteFollowsOptions, LettersFlagAndLanguage) {
    const Note a4{4, 9};
    Options().noteLetters = 0;
    Options().language = 1;
    EXPECT_EQ(a4.Name(true), "La4");
    EXPECT_EQ(a4.Label(), "La\n440.01\n(4. oktav)");
    Options().noteLetters = 1;
    Options().language = 0;
    EXPECT_EQ(a4.Name(true), "A4");
    EXPECT_EQ(a4.Name(false), "A");
    EXPECT_EQ(a4.Label(), "A\n440.01\n(4th octave)");
    Options().language = 5;
    EXPECT_EQ(a4.Label(), "A\n440.01\n(4th octave)");
}

}  // namespace
}  // namespace melvora

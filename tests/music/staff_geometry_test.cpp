#include "music/staff_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/note.h"

namespace melvora {
namespace {

double Semitones(int octave, double semitones) {
    return 16.352 * std::pow(2.0, octave + semitones / 12.0);
}

TEST(StaffGeometry, TheMarkerSitsBetweenTheNotesAndIsGreenWhenInTune) {
    const struct {
        double pitchHz;
        float semitones;
        bool inTune;
        const char* what;
    } cases[] = {
        {Semitones(4, 0.0), 0.0f, true, "C4"},
        {Semitones(4, 9.0), 9.0f, true, "A4"},
        {440.0, 9.0f, true, "440 Hz"},
        {Semitones(4, 9.5), 9.5f, false, "a quarter tone above A4"},
        {Semitones(4, 9.15), 9.15f, true, "at the tolerance"},
        {Semitones(4, 9.2), 9.2f, false, "beyond the tolerance"},
        {Semitones(4, 8.85), 8.85f, true, "at the tolerance, flat"},
        {Semitones(5, 9.0), 9.0f, true, "A5 folds onto the same column"},
        {Semitones(3, 11.9), -0.1f, true, "just below C4: left of the first column"},
        {Semitones(4, 11.4), 11.4f, false, "B4 sharp stays at the last column"},
    };
    for (const auto& c : cases) {
        const float s = StaffGeometry::MarkerSemitones(static_cast<float>(c.pitchHz));
        EXPECT_NEAR(s, c.semitones, 0.002f) << c.what;
        EXPECT_EQ(StaffGeometry::InTune(s, 0.15f + 1e-4f), c.inTune) << c.what;
    }
    EXPECT_NEAR(StaffGeometry::MarkerCentreX(9.0f), 0.0855f + 0.693f, 1e-6f);
}

TEST(StaffGeometry, ColumnsRiseHalfALineSpacingPerNaturalAndPickingColoursIdentifyThem) {
    // C on the ledger line, E on the first staff line, the sharps at their natural's height.
    const float cBottom = StaffGeometry::NoteQuad(0).bottom;
    EXPECT_NEAR(cBottom, 0.0504f, 1e-6f);
    const int naturals[] = {0, 2, 4, 5, 7, 9, 11};
    for (int i = 0; i < 7; ++i) {
        EXPECT_NEAR(StaffGeometry::NoteQuad(naturals[i]).bottom, cBottom + 0.06f * i, 1e-5f)
            << naturals[i];
    }
    const int sharps[][2] = {{1, 0}, {3, 2}, {6, 5}, {8, 7}, {10, 9}};
    for (const auto& s : sharps) {
        EXPECT_NEAR(StaffGeometry::NoteQuad(s[0]).bottom, StaffGeometry::NoteQuad(s[1]).bottom,
                    1e-6f);
        EXPECT_NEAR(StaffGeometry::SharpQuad(s[0]).left + 0.025f,
                    StaffGeometry::NoteQuad(s[0]).left, 1e-6f);
    }
    EXPECT_NEAR(StaffGeometry::NoteQuad(11).left - StaffGeometry::NoteQuad(10).left, 0.077f, 1e-6f);
    EXPECT_EQ(StaffGeometry::NameBaseline(6), 0.7875f);
    EXPECT_EQ(StaffGeometry::NameBaseline(7), 0.0375f);
    // Picking colours identify each note and nothing else.
    for (int i = 0; i < StaffGeometry::kNotes; ++i) {
        float rgba[4];
        StaffGeometry::PickingColour(i, rgba);
        EXPECT_EQ(StaffGeometry::PickedSemitone(rgba), i);
        rgba[0] += 0.05f;  // within the 0.1 the read-back may differ by
        EXPECT_EQ(StaffGeometry::PickedSemitone(rgba), i);
    }
    for (const float other : {0.0f, 1.0f}) {  // black and white
        const float rgba[4] = {other, other, other, 1};
        EXPECT_EQ(StaffGeometry::PickedSemitone(rgba), -1);
    }
}

}  // namespace
}  // namespace melvora

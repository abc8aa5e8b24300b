#pragma once

namespace melvora {

// Outlines of the piano keys, in key units: x from -0.5 to 0.5 across a white key, centred on
// the key's slot; y from 0 at the back edge (where black keys start) to 1 at the front edge.
// Black keys are 2/3 of a white key wide and 2/3 as long.
enum class KeyShape : int {
    Black = 0,       // x in [-1/3, 1/3], y in [0, 2/3]
    NotchRight = 1,  // back x in [-0.5, 1/6]; front full width from y 2/3: C, F
    NotchBoth = 2,   // back x in [-1/6, 1/6]: D, G, A between other keys
    NotchLeft = 3,   // back x in [-1/6, 0.5]: E, B
    Full = 4,        // x in [-0.5, 0.5], y in [0, 1]
    Gap = 5,         // the two empty slots of an octave: nothing drawn, never hit
};

// One axis-aligned rectangle of an outline, in key units.
struct KeyQuad {
    float left;
    float top;
    float right;
    float bottom;
};

namespace key_shape {

constexpr float kBlackHalfWidth = 1.0f / 3.0f;
constexpr float kBlackLength = 2.0f / 3.0f;
constexpr float kNotch = 1.0f / 6.0f;

bool IsBlackSemitone(int semitone);
// The shape of the key of `semitone`, which is the keyboard's lowest and/or highest key.
KeyShape ShapeOf(int semitone, bool lowest, bool highest);
// The rectangles (at most 2) that make up the outline; returns how many.
int Quads(KeyShape shape, KeyQuad quads[2]);
// Whether the point (x, y) in key units lies in the outline; the bounds are inclusive.
bool Hit(KeyShape shape, float x, float y);

}  // namespace key_shape
}  // namespace melvora

#pragma once

#include <cstdint>
#include <string>

#include "music/key_shape.h"

namespace melvora {

// One slot of the keyboard: a key or a gap (gaps carry the note of the key before them).
struct CPianoKey {
    int32_t octave = 0;
    int32_t semitone = 0;
    KeyShape shape = KeyShape::Gap;
    bool highlighted = false;
    float highlightColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // RGBA, multiplied with the texture
    bool hasLabel = false;
    std::string label;  // the PC key that plays it
};

}  // namespace melvora

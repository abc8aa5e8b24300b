#include "music/key_shape.h"

namespace melvora {
namespace key_shape {

bool IsBlackSemitone(int semitone) {
    return semitone == 1 || semitone == 3 || semitone == 6 || semitone == 8 || semitone == 10;
}

KeyShape ShapeOf(int semitone, bool lowest, bool highest) {
    if (IsBlackSemitone(semitone)) {
        return KeyShape::Black;
    }
    // Which sides have a black neighbour: none below the lowest key, none above the highest.
    const bool blackRight = !highest && semitone != 4 && semitone != 11;
    const bool blackLeft = !lowest && semitone != 0 && semitone != 5;
    if (blackLeft && blackRight) {
        return KeyShape::NotchBoth;
    }
    if (blackRight) {
        return KeyShape::NotchRight;
    }
    if (blackLeft) {
        return KeyShape::NotchLeft;
    }
    return KeyShape::Full;
}

int Quads(KeyShape shape, KeyQuad quads[2]) {
    const float front = kBlackLength;
    switch (shape) {
        case KeyShape::Black:
            quads[0] = {-kBlackHalfWidth, 0.0f, kBlackHalfWidth, kBlackLength};
            return 1;
        case KeyShape::NotchRight:
            quads[0] = {-0.5f, 0.0f, kNotch, front};
            break;
        case KeyShape::NotchBoth:
            quads[0] = {-kNotch, 0.0f, kNotch, front};
            break;
        case KeyShape::NotchLeft:
            quads[0] = {-kNotch, 0.0f, 0.5f, front};
            break;
        case KeyShape::Full:
            quads[0] = {-0.5f, 0.0f, 0.5f, 1.0f};
            return 1;
        case KeyShape::Gap:
            return 0;
    }
    quads[1] = {-0.5f, front, 0.5f, 1.0f};
    return 2;
}

bool Hit(KeyShape shape, float x, float y) {
    KeyQuad quads[2];
    const int count = Quads(shape, quads);
    for (int i = 0; i < count; ++i) {
        if (x >= quads[i].left && x <= quads[i].right && y >= quads[i].top &&
            y <= quads[i].bottom) {
            return true;
        }
    }
    return false;
}

}  // namespace key_shape
}  // namespace melvora

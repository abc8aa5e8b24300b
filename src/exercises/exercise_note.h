#pragma once

#include <cstdint>

namespace melvora {

// One note of a step's sample melody (6 bytes in an exercise file).
struct ExerciseNote {
    // MIDI key 0 to 127; a negative key is a rest that lasts `durationMs`.
    int8_t key = 0;
    // MIDI velocity 0 to 127.
    uint8_t velocity = 0;
    // Length in milliseconds; not validated (the runner uses it as a timer interval).
    int32_t durationMs = 0;
};

}  // namespace melvora

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/temp_folder.h"

namespace melvora {
namespace testing_support {

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes& b, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        b.push_back(static_cast<uint8_t>(v >> shift));
    }
}
inline void PutStr(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.c_str(), s.c_str() + s.size() + 1);
}
// Length-prefixed block (the header or a step payload).
inline void PutBlock(Bytes& out, const Bytes& block) {
    Put32(out, static_cast<uint32_t>(block.size()));
    out.insert(out.end(), block.begin(), block.end());
}

// A header with the three texts, an optional instrument byte (-1: none written) and the
// step count.
inline Bytes Header(const std::string& title, int instrument, int32_t stepCount) {
    Bytes h;
    for (const std::string& text : {title, std::string("desc"), std::string("intro")}) {
        PutStr(h, text);
    }
    if (instrument >= 0) {
        h.push_back(static_cast<uint8_t>(instrument));
    }
    Put32(h, static_cast<uint32_t>(stepCount));
    return h;
}

// An exercise of `stepCount` steps; step k has text "step k" and k + 1 notes of key 60 + k,
// velocity 100, 250 ms.
inline Bytes SimpleExercise(int32_t stepCount, const std::string& title = "Simple") {
    Bytes file;
    PutBlock(file, Header(title, -1, stepCount));
    for (int k = 0; k < stepCount; ++k) {
        Bytes payload;
        PutStr(payload, "step " + std::to_string(k));
        for (int n = 0; n <= k; ++n) {
            payload.insert(payload.end(), {static_cast<uint8_t>(60 + k), 100});
            Put32(payload, 250);
        }
        PutBlock(file, payload);
    }
    return file;
}

}  // namespace testing_support
}  // namespace melvora

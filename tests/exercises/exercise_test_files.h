#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/temp_folder.h"

namespace melvora {
namespace testing_support {

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}
inline void PutStr(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}
inline void PutNote(Bytes& b, int8_t key, uint8_t velocity, int32_t durationMs) {
    b.push_back(static_cast<uint8_t>(key));
    b.push_back(velocity);
    Put32(b, static_cast<uint32_t>(durationMs));
}
// Length-prefixed block (the header or a step payload).
inline void PutBlock(Bytes& out, const Bytes& block) {
    Put32(out, static_cast<uint32_t>(block.size()));
    out.insert(out.end(), block.begin(), block.end());
}

// A header with the three texts, an optional instrument byte (-1: none written) and the
// step count.
inline Bytes Header(const std::string& title, const std::string& description,
                    const std::string& introduction, int instrument, int32_t stepCount) {
    Bytes h;
    PutStr(h, title);
    PutStr(h, description);
    PutStr(h, introduction);
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
    PutBlock(file, Header(title, "desc", "intro", -1, stepCount));
    for (int k = 0; k < stepCount; ++k) {
        Bytes payload;
        PutStr(payload, "step " + std::to_string(k));
        for (int n = 0; n <= k; ++n) {
            PutNote(payload, static_cast<int8_t>(60 + k), 100, 250);
        }
        PutBlock(file, payload);
    }
    return file;
}

inline bool WriteBytes(const std::string& path, const Bytes& bytes) {
    return WriteAll(path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

}  // namespace testing_support
}  // namespace melvora

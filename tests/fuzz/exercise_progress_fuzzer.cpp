// Feeds arbitrary bytes to the reader of Exercises/unfinished.dat and traps when an accepted
// image does not describe its own bytes: the step and every whole result pair after the texts
// are the bytes read, only an incomplete pair is left, and the texts are not shorter.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "exercises/exercise_progress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    melvora::ExerciseProgress::FileImage image;
    if (!melvora::ExerciseProgress::ParseFileImage(data, size, &image)) {
        return 0;
    }
    // Texts that are not UTF-8 are read as Windows-1254 and come back as UTF-8, so only their
    // lengths can be checked against the bytes; the numbers must match exactly.
    size_t p = image.currentStepOffset;
    const std::string texts = image.fileName + image.startStamp + image.startTime;
    bool good = p <= texts.size() + 3 && texts.find('\0') == std::string::npos;
    // The next four bytes are `value` written little-endian.
    auto next = [&](const void* value) {
        uint32_t bits;
        std::memcpy(&bits, value, sizeof(bits));
        for (int i = 0; i < 4; ++i, ++p) {
            good = good && p < size && data[p] == static_cast<uint8_t>(bits >> (8 * i));
        }
    };
    next(&image.currentStep);
    for (const melvora::ExerciseProgress::StepResult& result : image.stepResults) {
        next(&result.averagePitchHz);
        next(&result.averageTessim);
    }
    if (!good || size - p >= 8) {
        __builtin_trap();
    }
    return 0;
}

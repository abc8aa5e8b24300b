// Feeds arbitrary bytes to the reader of Exercises/unfinished.dat. Beyond the sanitizers'
// checks it traps when an accepted image does not describe its own bytes: the current step
// and every whole result pair, written back in the file's layout after the texts, must give
// the bytes read (a trailing incomplete pair is all that is left), and the texts read must
// be at least as long as the bytes they came from.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "exercises/exercise_progress.h"

namespace {

using melvora::ExerciseProgress;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
    Check(text.find('\0') == std::string::npos);
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void PutLe32(std::vector<uint8_t>& out, const void* value) {
    uint32_t bits;
    std::memcpy(&bits, value, sizeof(bits));
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExerciseProgress::FileImage image;
    if (!ExerciseProgress::ParseFileImage(data, size, &image)) {
        return 0;
    }
    // Texts that are not UTF-8 are read as Windows-1254 and come back as UTF-8, so only
    // their lengths can be checked against the bytes; the numbers must match exactly.
    std::vector<uint8_t> texts;
    PutText(texts, image.fileName);
    PutText(texts, image.startStamp);
    PutText(texts, image.startTime);
    Check(image.currentStepOffset <= size && image.currentStepOffset <= texts.size());
    std::vector<uint8_t> rebuilt(data, data + image.currentStepOffset);
    PutLe32(rebuilt, &image.currentStep);
    for (const ExerciseProgress::StepResult& result : image.stepResults) {
        PutLe32(rebuilt, &result.averagePitchHz);
        PutLe32(rebuilt, &result.averageTessim);
    }
    Check(rebuilt.size() <= size && size - rebuilt.size() < 8);
    Check(std::memcmp(rebuilt.data(), data, rebuilt.size()) == 0);
    return 0;
}

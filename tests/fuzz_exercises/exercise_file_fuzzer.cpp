// Feeds arbitrary bytes to the exercise file reader (header, then every step) and to the
// description parser of the generator (exercise_progress_fuzzer takes unfinished.dat).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "exercises/exercise.h"
#include "exercises/exercise_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto exercise =
        melvora::Exercise::FromBytes("fuzz.exc", std::vector<uint8_t>(data, data + size));
    // Advance ends: at the final results position, or at the first unreadable record.
    while (exercise && exercise->Advance()) {
    }
    melvora::ExerciseSource source;
    std::string error;
    // What the generator writes must always read back.
    if ((exercise && exercise->CurrentStep() > exercise->StepCount()) ||
        (source.Parse(std::string(reinterpret_cast<const char*>(data), size), &error) &&
         !melvora::Exercise::FromBytes("gen.exc", source.Encode()))) {
        __builtin_trap();
    }
    return 0;
}

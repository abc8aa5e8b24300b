// Feeds arbitrary bytes to the exercise file reader (header, then every step) and to the
// description parser of the generator (exercise_progress_fuzzer takes unfinished.dat).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "exercises/exercise.h"
#include "exercises/exercise_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<melvora::Exercise> exercise =
        melvora::Exercise::FromBytes("fuzz.exc", std::vector<uint8_t>(data, data + size));
    if (exercise) {
        int64_t durationMs = 0;
        // Advance ends: at the final results position, or at the first unreadable record.
        while (exercise->Advance()) {
            durationMs += exercise->TotalDurationMs();
            for (const melvora::ExerciseNote& note : exercise->Notes()) {
                durationMs += note.key + note.velocity;
            }
        }
        if (exercise->CurrentStep() > exercise->StepCount()) {
            __builtin_trap();
        }
        (void)durationMs;
    }

    melvora::ExerciseSource source;
    std::string error;
    if (source.Parse(std::string(reinterpret_cast<const char*>(data), size), &error)) {
        // What the generator writes must always read back.
        if (!melvora::Exercise::FromBytes("gen.exc", source.Encode())) {
            __builtin_trap();
        }
    }
    return 0;
}

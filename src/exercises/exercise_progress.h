#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "exercises/exercise.h"

namespace melvora {

// An exercise in progress and its file "Exercises/unfinished.dat", which lets the user
// continue it later:
//   exercise file name\0  start stamp ("%y%m%d%H%M")\0  start time ("%c")\0
//   current step (i32, -1 = not begun)  then one (average pitch Hz, average Tessim) pair of
//   floats per step transition (Begin, Next, Finish), to the end of the file.
// The file stays open for update while the object lives; destroying the object closes it
// and keeps it (the exercise can be continued), CloseAndDelete() removes it.
class ExerciseProgress {
  public:
    struct StepResult {
        float averagePitchHz = 0.0f;
        float averageTessim = 0.0f;
    };

    // The fields of an unfinished.dat image.
    struct FileImage {
        std::string fileName;
        std::string startStamp;
        std::string startTime;
        int32_t currentStep = -1;
        size_t currentStepOffset = 0;  // where the current-step field sits in the file
        std::vector<StepResult> stepResults;
    };

    ~ExerciseProgress();
    ExerciseProgress(const ExerciseProgress&) = delete;
    ExerciseProgress& operator=(const ExerciseProgress&) = delete;

    // Program directory + "Exercises" + separator + "unfinished.dat".
    static std::string FilePath();

    // Reads unfinished.dat and reopens its exercise on the stored step. None when the file
    // is missing or damaged (a string without its zero byte, no current-step field), its
    // exercise is gone or invalid, the stored step cannot be reached, or the file cannot be
    // reopened for update.
    static std::unique_ptr<ExerciseProgress> Load();

    // Begins a new unfinished exercise (an older one is deleted first), stamped with the
    // local time `startTime` (the other form takes the time now). None when unfinished.dat
    // cannot be created; the exercise is then closed.
    static std::unique_ptr<ExerciseProgress> Start(std::unique_ptr<Exercise> exercise);
    static std::unique_ptr<ExerciseProgress> Start(std::unique_ptr<Exercise> exercise,
                                                   std::time_t startTime);

    // Advances the exercise and stores its new current step and the pair. False (nothing
    // written) when the exercise cannot advance.
    bool RecordStep(float averagePitchHz, float averageTessim);

    // Closes the file and deletes it: the exercise can no longer be continued. The object
    // stays usable in memory until it is destroyed.
    void CloseAndDelete();
    // Closes the file and keeps it (what destruction does as well).
    void CloseKeeping();

    // The WAV file of try `tryNumber` (1-based) of the current step:
    //   ExerciseRecordings/<file name before its last '.'>_<start stamp>/step<k>_try#<t>.wav
    // under the program directory, with this platform's separators. Creates the folders.
    std::string RecordingPath(int tryNumber) const;

    Exercise& GetExercise() { return *exercise_; }
    const Exercise& GetExercise() const { return *exercise_; }
    const std::vector<StepResult>& StepResults() const { return stepResults_; }
    const std::string& StartStamp() const { return startStamp_; }
    const std::string& StartTime() const { return startTime_; }

    // Parses an unfinished.dat image; false when a string lacks its zero byte or the
    // current-step field is incomplete. A trailing incomplete pair is ignored.
    static bool ParseFileImage(const uint8_t* data, size_t sizeBytes, FileImage* image);

  private:
    ExerciseProgress() = default;

    std::unique_ptr<Exercise> exercise_;
    std::vector<StepResult> stepResults_;
    std::string startStamp_;
    std::string startTime_;
    std::FILE* file_ = nullptr;
    long currentStepPosition_ = 0;
};

}  // namespace melvora

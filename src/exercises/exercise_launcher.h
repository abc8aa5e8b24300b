#pragma once

#include <memory>
#include <string>
#include <vector>

#include "exercises/exercise.h"
#include "exercises/exercise_progress.h"

namespace melvora {

enum class ContinueAnswer { Yes, No, Cancel };

// The questions the start of the exercises asks: the skinned message box and the exercise
// chooser in the program, answers given in advance in tests.
class ExerciseLauncherView {
  public:
    virtual ~ExerciseLauncherView() = default;
    virtual ContinueAnswer AskContinue(const std::wstring& question,
                                       const std::wstring& caption) = 0;
    // The chosen index into `exercises`, or -1 when cancelled.
    virtual int ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& exercises) = 0;
};

// The first half of the exercise command: continue the unfinished exercise (without asking
// when `alwaysContinue`), or let the user choose one and start it.
class ExerciseLauncher {
  public:
    // The progress to run, or null when the user cancelled or the chosen exercise could not
    // be started. Answering No keeps the old "unfinished.dat" until a new exercise starts.
    static std::unique_ptr<ExerciseProgress> ContinueOrChoose(bool alwaysContinue, int language,
                                                              ExerciseLauncherView& view);
    // Every exercise of the "Exercises" folder that opens, in the listing's order.
    static std::vector<std::unique_ptr<Exercise>> OpenAll();
};

}  // namespace melvora

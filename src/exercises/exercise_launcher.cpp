#include "exercises/exercise_launcher.h"

#include <cwchar>

#include "exercises/exercise_folder.h"
#include "exercises/exercise_text.h"
#include "platform/string_table.h"
#include "string_ids.h"

namespace melvora {

std::vector<std::unique_ptr<Exercise>> ExerciseLauncher::OpenAll() {
    std::vector<std::unique_ptr<Exercise>> exercises;
    for (const std::string& name : ExerciseFolder::List()) {
        if (auto exercise = Exercise::Open(name)) {
            exercises.push_back(std::move(exercise));
        }
    }
    return exercises;
}

std::unique_ptr<ExerciseProgress> ExerciseLauncher::ContinueOrChoose(bool alwaysContinue,
                                                                     int language,
                                                                     ExerciseLauncherView& view) {
    std::unique_ptr<ExerciseProgress> unfinished = ExerciseProgress::Load();
    if (unfinished) {
        if (alwaysContinue) {
            return unfinished;
        }
        wchar_t question[512];
        std::swprintf(question, sizeof(question) / sizeof(question[0]),
                      WideStringFormat(LoadText(IDS_FMT_CONTINUE_QUESTION, language)).c_str(),
                      LoadText(IDS_ASK_CONTINUE_EXERCISE, language).c_str(),
                      ExerciseTextToWide(unfinished->StartTime()).c_str());
        const ContinueAnswer answer =
            view.AskContinue(question, LoadText(IDS_CONTINUE_CAPTION, language));
        if (answer == ContinueAnswer::Yes) {
            return unfinished;
        }
        unfinished.reset();  // closes it, keeping the file
        if (answer == ContinueAnswer::Cancel) {
            return nullptr;
        }
    }
    std::vector<std::unique_ptr<Exercise>> exercises = OpenAll();
    const int chosen = view.ChooseExercise(exercises);
    if (chosen < 0 || chosen >= static_cast<int>(exercises.size())) {
        return nullptr;
    }
    return ExerciseProgress::Start(std::move(exercises[static_cast<size_t>(chosen)]));
}

}  // namespace melvora

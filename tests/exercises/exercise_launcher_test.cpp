#include "exercises/exercise_launcher.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "exercises/exercise_folder.h"
#include "exercises/exercise_test_files.h"

namespace melvora {
namespace {

using namespace testing_support;

// Answers the question with `answer`, chooses `choice`, and notes what it was asked and
// offered.
struct ScriptedView : ExerciseLauncherView {
    ContinueAnswer AskContinue(const std::wstring&, const std::wstring&) override {
        asked += "ask ";
        return answer;
    }
    int ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& list) override {
        asked += "choose";
        int chosen = -1;
        for (size_t i = 0; i < list.size(); ++i) {
            asked += " " + list[i]->FileName();
            chosen = list[i]->FileName() == choice ? static_cast<int>(i) : chosen;
        }
        return chosen;
    }
    ContinueAnswer answer;
    std::string choice, asked;
};

// The old file goes only when a newly chosen exercise starts. The chooser is offered the
// valid .exc files of the folder itself.
TEST(ExerciseLauncher, ContinuesAsksOrChooses) {
    const std::string kChoose = "choose A.exc B.exc a.exc";
    const struct {
        const char* name;
        bool unfinished, alwaysContinue;
        ContinueAnswer answer;
        std::string choice, runs, asked;  // runs: the exercise run ("" none)
        int step;                         // its current step (-2: none run)
    } cases[] = {
        {"nothing unfinished", false, true, ContinueAnswer::Yes, "B.exc", "B.exc", kChoose, -1},
        {"always continue", true, true, ContinueAnswer::No, "B.exc", "A.exc", "", 0},
        {"asked, yes", true, false, ContinueAnswer::Yes, "B.exc", "A.exc", "ask ", 0},
        {"asked, no, chosen", true, false, ContinueAnswer::No, "B.exc", "B.exc", "ask " + kChoose,
         -1},
        {"asked, no, chooser cancelled", true, false, ContinueAnswer::No, "", "", "ask " + kChoose,
         -2},
        {"asked, cancel", true, false, ContinueAnswer::Cancel, "B.exc", "", "ask ", -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDirectory dir;
        EXPECT_TRUE(ExerciseLauncher::OpenAll().empty());  // no folder yet
        const std::string folder = ExerciseFolder::Path();
        ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
        ASSERT_EQ(mkdir((folder + "sub").c_str(), 0777), 0);
        ASSERT_EQ(mkdir((folder + "folder.exc").c_str(), 0777), 0);
        for (const char* name : {"a.exc", "Upper.EXC", "notes.txt", "c.exc.bak", "sub/deep.exc"}) {
            ASSERT_TRUE(WriteAll(folder + name, SimpleExercise(1)));
        }
        ASSERT_TRUE(WriteAll(folder + "broken.exc", Bytes{1, 2, 3}));
        ASSERT_TRUE(WriteAll(folder + "A.exc", SimpleExercise(2, "A")));
        ASSERT_TRUE(WriteAll(folder + "B.exc", SimpleExercise(3, "B")));
        if (c.unfinished) {
            auto progress = ExerciseProgress::Start(Exercise::Open("A.exc"));
            ASSERT_TRUE(progress && progress->RecordStep(0, 0));
        }
        ScriptedView view;
        view.answer = c.answer;
        view.choice = c.choice;
        auto progress = ExerciseLauncher::ContinueOrChoose(c.alwaysContinue, 0, view);
        EXPECT_EQ(progress ? progress->GetExercise().FileName() : "", c.runs);
        EXPECT_EQ(view.asked, c.asked);
        // A continued exercise stands on its stored step.
        EXPECT_EQ(progress ? progress->GetExercise().CurrentStep() : -2, c.step);
        progress.reset();
        auto left = ExerciseProgress::Load();
        EXPECT_EQ(left ? left->GetExercise().FileName() : "",
                  c.unfinished && c.runs.empty() ? "A.exc" : c.runs);
    }
}

}  // namespace
}  // namespace melvora

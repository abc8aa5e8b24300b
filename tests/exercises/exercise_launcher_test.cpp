#include "exercises/exercise_launcher.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "exercises/exercise_folder.h"
#include "exercises/exercise_test_files.h"

namespace melvora {
namespace {

using namespace testing_support;

struct ScriptedView : ExerciseLauncherView {
    ContinueAnswer AskContinue(const std::wstring&, const std::wstring&) override {
        asked = true;
        return answer;
    }
    int ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& list) override {
        ++chooserShown;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i]->FileName() == choice) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    ContinueAnswer answer = ContinueAnswer::Yes;
    std::string choice;
    bool asked = false;
    int chooserShown = 0;
};

TEST(ExerciseLauncher, ContinuesAsksOrChooses) {
    struct Case {
        const char* name;
        bool unfinished;
        bool alwaysContinue;
        ContinueAnswer answer;
        std::string choice;
        // Expected: the exercise run ("" none), question asked, chooser shown.
        std::string runs;
        bool asked;
        int chooserShown;
    };
    const Case cases[] = {
        {"nothing unfinished", false, true, ContinueAnswer::Yes, "B.exc", "B.exc", false, 1},
        {"always continue", true, true, ContinueAnswer::No, "B.exc", "A.exc", false, 0},
        {"asked, yes", true, false, ContinueAnswer::Yes, "B.exc", "A.exc", true, 0},
        {"asked, no, chosen", true, false, ContinueAnswer::No, "B.exc", "B.exc", true, 1},
        {"asked, no, chooser cancelled", true, false, ContinueAnswer::No, "", "", true, 1},
        {"asked, cancel", true, false, ContinueAnswer::Cancel, "B.exc", "", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDirectory dir;
        ASSERT_EQ(mkdir(ExerciseFolder::Path().c_str(), 0777), 0);
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "A.exc", SimpleExercise(2, "A")));
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "B.exc", SimpleExercise(3, "B")));
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
        EXPECT_EQ(view.chooserShown, c.chooserShown);
        if (c.runs == "A.exc") {
            EXPECT_EQ(progress->GetExercise().CurrentStep(), 0);  // on the stored step
        }
        progress.reset();
        // The old file goes only when a newly chosen exercise starts.
        auto left = ExerciseProgress::Load();
        if (c.unfinished || !c.runs.empty()) {
            ASSERT_TRUE(left);
            EXPECT_EQ(left->GetExercise().FileName(), c.runs.empty() ? "A.exc" : c.runs);
        } else {
            EXPECT_FALSE(left);
        }
    }
}

}  // namespace
}  // namespace melvora

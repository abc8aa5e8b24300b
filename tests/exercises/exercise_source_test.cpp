#include "exercises/exercise_source.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/temp_folder.h"
#include "exercises/exercise.h"

namespace melvora {
namespace {

TEST(ExerciseSourceKey, NamesAndNumbersAreReadAndNonsenseIsRefused) {
    const std::pair<const char*, int> valid[] = {
        {"C4", 60}, {"A4", 69},  {"c4", 60},   {"C#4", 61},  {"Db4", 61}, {"B3", 59}, {"Cb4", 59},
        {"C-1", 0}, {"G9", 127}, {"rest", -1}, {"REST", -1}, {"64", 64},  {"0", 0},   {"127", 127}};
    for (const auto& c : valid) {
        int key = -100;
        EXPECT_TRUE(ExerciseSource::ParseKey(c.first, &key)) << c.first;
        EXPECT_EQ(key, c.second) << c.first;
    }
    for (const char* token :
         {"", "H4", "C10", "G#9", "Cb-1", "128", "-1", "C", "C#", "4C", "C4x", "C##4"}) {
        int key = -100;
        EXPECT_FALSE(ExerciseSource::ParseKey(token, &key)) << token;
        EXPECT_EQ(key, -100) << token;
    }
}

// What the generator writes reads back as the exercise described (keys, rests, timing and
// instruments are checked through the runner).
TEST(ExerciseSourceParse, ReadsEveryFieldAndEncodesAValidExercise) {
    ExerciseSource source;
    std::string error;
    ASSERT_TRUE(
        source.Parse("# two steps\ntitle: Test: one\n"
                     "description: First line\\nSecond line\n"
                     "introduction: Sing # softly\ninstrument: 52\nvelocity: 80\n\n"
                     "step: low\nnotes: C3/500 rest/250\nnotes: E3/750/127\n"
                     "step: high\ninstrument: none\nnotes: 72/1000\n",
                     &error))
        << error;
    auto e = Exercise::FromBytes("two.exc", source.Encode());
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Title() + "|" + e->Description() + "|" + e->Introduction(),
              "Test: one|First line\nSecond line|Sing # softly");
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepText(), "low");
    ASSERT_EQ(e->NoteCount(), 3);
    EXPECT_EQ(e->Notes()[0].key, 48);
    EXPECT_EQ(e->Notes()[0].velocity, 80);
    EXPECT_EQ(e->Notes()[2].velocity, 127);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepInstrument(), -1);  // "none" is written as 255, read as -1
    EXPECT_EQ(e->Notes()[0].key, 72);
}

TEST(ExerciseSourceParse, ErrorsNameTheLineAndTheProblem) {
    const std::pair<const char*, const char*> cases[] = {
        {"title: T\nstep: s\ncolour: red\n", "line 3: unknown key"},
        {"title: T\nnotes: C4/100\nstep: s\n", "line 2: notes before"},
        {"title: T\nstep: s\nnotes: C4\n", "line 3: bad note"},
        {"title: T\nstep: s\nnotes: C4/0\n", "bad duration"},
        {"title: T\nstep: s\nnotes: C4/100/200\n", "bad velocity"},
        {"title: T\nstep: s\nnotes: X4/100\n", "bad note"},
        {"title: T\ninstrument: 128\nstep: s\n", "instrument"},
        {"title: T\nstep: s\nvelocity: -1\n", "velocity"},
        {"title: a\\tb\nstep: s\n", "line 1: bad escape"},
        {"just words\n", "line 1: expected"},
        {"step: s\n", "title"},
        {"title: T\n", "step"}};
    for (const auto& c : cases) {
        ExerciseSource source;
        std::string error;
        EXPECT_FALSE(source.Parse(c.first, &error)) << c.first;
        EXPECT_NE(error.find(c.second), std::string::npos) << c.first << ": " << error;
    }
}

// The exercises that ship with the program are generated from their descriptions; the
// committed files must be exactly what the generator makes and must read back as exercises.
TEST(ShippedExercises, MatchTheirDescriptionsAndPlayThrough) {
    const std::string folder = std::string(MELVORA_SOURCE_DIR) + "/data/Exercises/";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".exc") {
            continue;
        }
        ++count;
        SCOPED_TRACE(name);
        const auto text = testing_support::ReadAll(folder + "src/" + name + ".txt");
        ExerciseSource source;
        std::string error;
        ASSERT_TRUE(source.Parse(std::string(text.begin(), text.end()), &error)) << error;
        const std::vector<uint8_t> committed = testing_support::ReadAll(folder + name + ".exc");
        EXPECT_EQ(committed, source.Encode()) << "regenerate with melvora-exercise-gen";
        auto e = Exercise::FromBytes(name + ".exc", committed);
        ASSERT_TRUE(e && e->StepCount() > 0);
        EXPECT_FALSE(e->Title().empty() || e->Description().empty() || e->Introduction().empty());
        while (e->Advance() && e->CurrentStep() < e->StepCount()) {
            EXPECT_TRUE(e->NoteCount() > 0 && e->TotalDurationMs() < 30000) << e->CurrentStep();
            for (const ExerciseNote& n : e->Notes()) {
                // Singable keys (E2 to C6) or rests, audible velocities, sensible lengths.
                EXPECT_TRUE((n.key < 0 || (n.key >= 40 && n.key <= 84 && n.velocity > 0)) &&
                            n.durationMs > 0)
                    << int{n.key} << " " << n.durationMs;
            }
        }
        EXPECT_EQ(e->CurrentStep(), e->StepCount());  // every step was read
    }
    EXPECT_GE(count, 2);
    for (const auto& entry : std::filesystem::directory_iterator(folder + "src")) {
        EXPECT_TRUE(entry.path().extension() != ".txt" ||
                    std::filesystem::exists(folder + entry.path().stem().string() + ".exc"))
            << entry.path() << " has no exercise";
    }
}

}  // namespace
}  // namespace melvora

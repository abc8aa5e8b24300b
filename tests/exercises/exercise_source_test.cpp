#include "exercises/exercise_source.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>

#include "app/temp_folder.h"
#include "exercises/exercise.h"

namespace melvora {
namespace {

struct KeyCase {
    const char* token;
    int key;
};
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.token;
}

class SourceKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SourceKey, NamesAndNumbers) {
    int key = -100;
    ASSERT_TRUE(ExerciseSource::ParseKey(GetParam().token, &key));
    EXPECT_EQ(key, GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Valid, SourceKey,
                         ::testing::Values(KeyCase{"C4", 60}, KeyCase{"A4", 69}, KeyCase{"c4", 60},
                                           KeyCase{"C#4", 61}, KeyCase{"Db4", 61},
                                           KeyCase{"B3", 59}, KeyCase{"Cb4", 59}, KeyCase{"C-1", 0},
                                           KeyCase{"G9", 127}, KeyCase{"rest", -1},
                                           KeyCase{"REST", -1}, KeyCase{"64", 64}, KeyCase{"0", 0},
                                           KeyCase{"127", 127}));

class SourceBadKey : public ::testing::TestWithParam<const char*> {};

TEST_P(SourceBadKey, IsRefused) {
    int key = -100;
    EXPECT_FALSE(ExerciseSource::ParseKey(GetParam(), &key));
    EXPECT_EQ(key, -100);
}

INSTANTIATE_TEST_SUITE_P(Invalid, SourceBadKey,
                         ::testing::Values("", "H4", "C10", "G#9", "Cb-1", "128", "-1", "C", "C#",
                                           "4C", "C4x", "C##4"));

const char* const kTwoSteps =
    "# two steps\n"
    "title: Test: one\n"
    "description: First line\\nSecond line\n"
    "introduction: Sing # softly\n"
    "instrument: 52\n"
    "velocity: 80\n"
    "\n"
    "step: low\n"
    "notes: C3/500 rest/250\n"
    "notes: E3/750/127\n"
    "step: high\n"
    "instrument: none\n"
    "notes: 72/1000\n";

TEST(ExerciseSourceParse, ReadsEveryFieldAndEncodesAValidExercise) {
    ExerciseSource source;
    std::string error;
    ASSERT_TRUE(source.Parse(kTwoSteps, &error)) << error;
    EXPECT_EQ(source.title, "Test: one");
    EXPECT_EQ(source.description, "First line\nSecond line");
    EXPECT_EQ(source.introduction, "Sing # softly");

    auto e = Exercise::FromBytes("two.exc", source.Encode());
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Title(), "Test: one");
    EXPECT_EQ(e->Description(), "First line\nSecond line");
    EXPECT_EQ(e->Instrument(), 52);
    EXPECT_EQ(e->StepCount(), 2);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepText(), "low");
    EXPECT_EQ(e->StepInstrument(), -1);
    ASSERT_EQ(e->NoteCount(), 3);
    EXPECT_EQ(e->Notes()[0].key, 48);
    EXPECT_EQ(e->Notes()[0].velocity, 80);
    EXPECT_EQ(e->Notes()[1].key, -1);
    EXPECT_EQ(e->Notes()[2].velocity, 127);
    EXPECT_EQ(e->TotalDurationMs(), 1500);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepText(), "high");
    EXPECT_EQ(e->StepInstrument(), -1);  // "none" is written as 255, read as -1
    ASSERT_EQ(e->NoteCount(), 1);
    EXPECT_EQ(e->Notes()[0].key, 72);
    EXPECT_EQ(e->Notes()[0].velocity, 80);
    EXPECT_TRUE(e->Advance());
    EXPECT_FALSE(e->Advance());
}

TEST(ExerciseSourceParse, WithoutInstrumentsNoInstrumentBytesAreWritten) {
    ExerciseSource source;
    std::string error;
    ASSERT_TRUE(source.Parse("title: T\nstep: s\nnotes: C4/100\n", &error)) << error;
    const std::vector<uint8_t> bytes = source.Encode();
    // H(4) "T\0" "\0" "\0" count(4) | P(4) "s\0" note(6)
    EXPECT_EQ(bytes.size(), 4u + 4 + 4 + 4 + 2 + 6);
    auto e = Exercise::FromBytes("t.exc", bytes);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Instrument(), 255);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepInstrument(), -1);
    EXPECT_EQ(e->NoteCount(), 1);
}

struct BadSource {
    const char* text;
    const char* errorPart;
};
void PrintTo(const BadSource& b, std::ostream* os) {
    *os << b.text;
}

class ExerciseSourceBad : public ::testing::TestWithParam<BadSource> {};

TEST_P(ExerciseSourceBad, NamesTheLineAndTheProblem) {
    ExerciseSource source;
    std::string error;
    EXPECT_FALSE(source.Parse(GetParam().text, &error));
    EXPECT_NE(error.find(GetParam().errorPart), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExerciseSourceBad,
    ::testing::Values(BadSource{"title: T\nstep: s\ncolour: red\n", "line 3: unknown key"},
                      BadSource{"title: T\nnotes: C4/100\nstep: s\n", "line 2: notes before"},
                      BadSource{"title: T\nstep: s\nnotes: C4\n", "line 3: bad note"},
                      BadSource{"title: T\nstep: s\nnotes: C4/0\n", "bad duration"},
                      BadSource{"title: T\nstep: s\nnotes: C4/100/200\n", "bad velocity"},
                      BadSource{"title: T\nstep: s\nnotes: X4/100\n", "bad note"},
                      BadSource{"title: T\ninstrument: 128\nstep: s\n", "instrument"},
                      BadSource{"title: T\nstep: s\nvelocity: -1\n", "velocity"},
                      BadSource{"title: a\\tb\nstep: s\n", "line 1: bad escape"},
                      BadSource{"just words\n", "line 1: expected"},
                      BadSource{"step: s\n", "title"}, BadSource{"title: T\n", "step"}));

std::vector<uint8_t> ReadBytes(const std::string& path) {
    const auto b = testing_support::ReadAll(path);
    return std::vector<uint8_t>(b.begin(), b.end());
}

// The exercises that ship with the program are generated from their descriptions; the
// committed files must be exactly what the generator makes and must read back as exercises.
TEST(ShippedExercises, MatchTheirDescriptionsAndPlayThrough) {
    const std::string folder = std::string(MELVORA_SOURCE_DIR) + "/data/Exercises/";
    std::vector<std::string> descriptions;
    std::vector<std::string> files;
    DIR* d = opendir((folder + "src").c_str());
    ASSERT_NE(d, nullptr);
    while (const dirent* entry = readdir(d)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) {
            descriptions.push_back(name.substr(0, name.size() - 4));
        }
    }
    closedir(d);
    d = opendir(folder.c_str());
    ASSERT_NE(d, nullptr);
    while (const dirent* entry = readdir(d)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exc") == 0) {
            files.push_back(name.substr(0, name.size() - 4));
        }
    }
    closedir(d);
    std::sort(descriptions.begin(), descriptions.end());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 2u);
    EXPECT_EQ(descriptions, files) << "every .exc needs its description and the reverse";

    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        const auto text = testing_support::ReadAll(folder + "src/" + name + ".txt");
        ExerciseSource source;
        std::string error;
        ASSERT_TRUE(source.Parse(std::string(text.begin(), text.end()), &error)) << error;
        const std::vector<uint8_t> committed = ReadBytes(folder + name + ".exc");
        EXPECT_EQ(committed, source.Encode()) << "regenerate with melvora-exercise-gen";

        auto e = Exercise::FromBytes(name + ".exc", committed);
        ASSERT_TRUE(e);
        EXPECT_FALSE(e->Title().empty());
        EXPECT_FALSE(e->Description().empty());
        EXPECT_FALSE(e->Introduction().empty());
        ASSERT_GT(e->StepCount(), 0);
        for (int k = 0; k < e->StepCount(); ++k) {
            ASSERT_TRUE(e->Advance());
            EXPECT_GT(e->NoteCount(), 0);
            EXPECT_GT(e->TotalDurationMs(), 0);
            EXPECT_LT(e->TotalDurationMs(), 30000);
            for (const ExerciseNote& n : e->Notes()) {
                // Singable keys (E2 to C6) or rests, audible velocities, sensible lengths.
                if (n.key >= 0) {
                    EXPECT_GE(n.key, 40);
                    EXPECT_LE(n.key, 84);
                    EXPECT_GT(n.velocity, 0);
                }
                EXPECT_GT(n.durationMs, 0);
            }
        }
        EXPECT_TRUE(e->Advance());
        EXPECT_FALSE(e->Advance());
    }
}

}  // namespace
}  // namespace melvora

#include "exercises/exercise_progress.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <iomanip>
#include <sstream>

#include "exercises/exercise_folder.h"
#include "exercises/exercise_test_files.h"
#include "platform/file_system.h"

namespace melvora {
namespace {

using namespace testing_support;

// An unfinished.dat image written by hand: three strings, the step, then float pairs.
Bytes ProgressBytes(const std::string& name, int32_t step,
                    const std::string& time = "Tue Dec  5 11:30:00 2006",
                    const std::vector<float>& pairs = {}) {
    Bytes b;
    for (const std::string& text : {name, std::string("0612051130"), time}) {
        PutStr(b, text);
    }
    Put32(b, static_cast<uint32_t>(step));
    for (float f : pairs) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        Put32(b, bits);
    }
    return b;
}

class ExerciseProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(mkdir(ExerciseFolder::Path().c_str(), 0777), 0);
        Bytes cut = SimpleExercise(3);
        cut.resize(cut.size() - 20);  // the last step record is cut short
        const std::pair<std::string, Bytes> files[] = {
            {ExerciseFolder::Path() + "Scales.exc", SimpleExercise(2, "S")},
            {ExerciseFolder::Path() + "Long.v2.exc", SimpleExercise(5, "L")},
            {ExerciseFolder::Path() + "Cut.exc", cut},
            {dir_.path() + "Outside.exc", SimpleExercise(1, "O")}};
        for (const auto& f : files) {
            ASSERT_TRUE(WriteAll(f.first, f.second));
        }
    }
    TempProgramDirectory dir_;
};

// The file is rewritten at every transition and survives the program: Load goes on where it
// stopped; a trailing half pair is ignored. Recordings go to a folder named after the
// exercise (only its last extension dropped) and the start, made on demand.
TEST_F(ExerciseProgressTest, FileHoldsNameStampTimeStepAndOnePairPerTransition) {
    std::tm t = {};
    std::istringstream("2006-12-05 11:30") >> std::get_time(&t, "%Y-%m-%d %H:%M");
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    auto progress = ExerciseProgress::Start(Exercise::Open("Long.v2.exc"), when);
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->StartStamp(), "0612051130");
    char time[128];
    std::strftime(time, sizeof(time), "%c", std::localtime(&when));
    EXPECT_EQ(ReadAll(ExerciseProgress::FilePath()), ProgressBytes("Long.v2.exc", -1, time));
    progress = ExerciseProgress::Load();  // not begun: before the first step
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), -1);
    EXPECT_TRUE(progress->RecordStep(0.0f, 0.0f));  // Begin
    const std::string folder = dir_.path() + "ExerciseRecordings/Long.v2_0612051130";
    EXPECT_EQ(progress->RecordingPath(2), folder + "/step0_try#2.wav");
    EXPECT_TRUE(PathExists(folder));
    EXPECT_TRUE(progress->RecordStep(220.5f, 0.25f));  // Next
    for (int step = 2; step < 5; ++step) {
        EXPECT_TRUE(progress->RecordStep(330.25f, 0.75f));
    }
    EXPECT_TRUE(progress->RecordStep(1.5f, 0.125f));  // Finish
    EXPECT_FALSE(progress->RecordStep(1.0f, 1.0f));   // nothing beyond the results
    Bytes bytes = ProgressBytes(
        "Long.v2.exc", 5, time,
        {0, 0, 220.5f, 0.25f, 330.25f, 0.75f, 330.25f, 0.75f, 330.25f, 0.75f, 1.5f, 0.125f});
    EXPECT_EQ(ReadAll(ExerciseProgress::FilePath()), bytes);
    bytes.insert(bytes.end(), {0, 0, 0x80, 0x3f, 1, 2, 3});
    progress.reset();
    ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), bytes));
    progress = ExerciseProgress::Load();  // finished: on the final results
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), 5);
    EXPECT_EQ(progress->StartStamp(), "0612051130");
    ASSERT_EQ(progress->StepResults().size(), 6u);
    EXPECT_EQ(progress->StepResults()[5].averageTessim, 0.125f);
}

// unfinished.dat names its exercise in UTF-8; one written by an older build in Windows-1254
// still finds the exercise, whose file name is now UTF-8. Damaged files load as none.
TEST_F(ExerciseProgressTest, StoredNamesInEitherEncodingAndDamagedFiles) {
    const std::string utf8Name =
        "\xC5\x9E"
        "ark\xC4\xB1.exc";
    ASSERT_TRUE(WriteAll(ExerciseFolder::Path() + utf8Name, SimpleExercise(2, "T")));
    ASSERT_TRUE(ExerciseProgress::Start(Exercise::Open(utf8Name)));
    const Bytes written = ReadAll(ExerciseProgress::FilePath());
    EXPECT_EQ(std::string(written.begin(), written.end()).find(utf8Name + '\0'), 0u);
    Bytes cut = ProgressBytes("Scales.exc", 0);
    cut.resize(cut.size() - 2);
    const struct {
        const char* name;
        Bytes bytes;
        const char* loads;  // the exercise loaded ("" none)
    } cases[] = {
        {"UTF-8", ProgressBytes(utf8Name, 0), utf8Name.c_str()},
        {"Windows-1254",
         ProgressBytes("\xDE"
                       "ark\xFD.exc",
                       0),
         utf8Name.c_str()},
        {"step behind a cut record", ProgressBytes("Cut.exc", 1), "Cut.exc"},
        {"exercise gone", ProgressBytes("Gone.exc", -1), ""},
        {"exercise name with a folder", ProgressBytes("../Outside.exc", -1), ""},
        {"exercise name with a Windows folder", ProgressBytes("..\\Outside.exc", -1), ""},
        {"no exercise name", ProgressBytes("", -1), ""},
        {"current step cut short", cut, ""},
        {"file name without zero byte", {'S', 'c', 'a', 'l', 'e', 's', '.', 'e', 'x', 'c'}, ""},
        {"step beyond the step count", ProgressBytes("Scales.exc", 3), ""},
        {"step behind a missing record", ProgressBytes("Cut.exc", 2), ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), c.bytes));
        auto progress = ExerciseProgress::Load();
        EXPECT_EQ(progress ? progress->GetExercise().FileName() : "", c.loads) << c.name;
    }
}

}  // namespace
}  // namespace melvora

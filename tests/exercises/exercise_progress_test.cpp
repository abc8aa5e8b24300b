#include "exercises/exercise_progress.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <iomanip>
#include <sstream>

#include "exercises/exercise_folder.h"
#include "exercises/exercise_test_files.h"
#include "platform/file_system.h"

namespace melvora {
namespace {

using namespace testing_support;

// An unfinished.dat image written by hand: three strings, the step, then float pairs.
Bytes ProgressBytes(const std::string& name, int32_t step, const std::string& time,
                    const std::vector<float>& pairs = {}) {
    Bytes b;
    PutStr(b, name);
    PutStr(b, "0612051130");
    PutStr(b, time);
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
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "Scales.exc", SimpleExercise(2, "S")));
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "Long.exc", SimpleExercise(5, "L")));
        ASSERT_TRUE(WriteBytes(dir_.path() + "Outside.exc", SimpleExercise(1, "O")));
        Bytes cut = SimpleExercise(3);
        cut.resize(cut.size() - 20);  // the last step record is cut short
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "Cut.exc", cut));
        std::tm t = {};
        std::istringstream("2006-12-05 11:30") >> std::get_time(&t, "%Y-%m-%d %H:%M");
        t.tm_isdst = -1;
        when_ = std::mktime(&t);
    }
    Bytes FileBytes() { return ReadAll(ExerciseProgress::FilePath()); }
    std::unique_ptr<ExerciseProgress> Start(const std::string& name = "Scales.exc") {
        return ExerciseProgress::Start(Exercise::Open(name), when_);
    }
    TempProgramDirectory dir_;
    std::time_t when_ = 0;
};

// The file is rewritten at every transition and survives the program: Load goes on where it
// stopped; a trailing half pair is ignored.
TEST_F(ExerciseProgressTest, FileHoldsNameStampTimeStepAndOnePairPerTransition) {
    auto progress = Start("Long.exc");
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->StartStamp(), "0612051130");
    char time[128];
    std::strftime(time, sizeof(time), "%c", std::localtime(&when_));
    EXPECT_EQ(progress->StartTime(), time);
    EXPECT_EQ(FileBytes(), ProgressBytes("Long.exc", -1, time));
    progress.reset();
    progress = ExerciseProgress::Load();  // not begun: before the first step
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), -1);
    EXPECT_TRUE(progress->StepResults().empty());
    EXPECT_TRUE(progress->RecordStep(0.0f, 0.0f));     // Begin
    EXPECT_TRUE(progress->RecordStep(220.5f, 0.25f));  // Next
    progress.reset();
    progress = ExerciseProgress::Load();
    ASSERT_TRUE(progress);
    const Exercise& e = progress->GetExercise();
    EXPECT_EQ(e.CurrentStep(), 1);
    EXPECT_EQ(e.StepText(), "step 1");
    EXPECT_EQ(e.NoteCount(), 2);
    EXPECT_EQ(progress->StartStamp(), "0612051130");
    for (int step = 2; step < 5; ++step) {
        EXPECT_TRUE(progress->RecordStep(330.25f, 0.75f));
    }
    EXPECT_TRUE(progress->RecordStep(1.5f, 0.125f));  // Finish
    EXPECT_FALSE(progress->RecordStep(1.0f, 1.0f));   // nothing beyond the results
    Bytes bytes = ProgressBytes(
        "Long.exc", 5, time,
        {0, 0, 220.5f, 0.25f, 330.25f, 0.75f, 330.25f, 0.75f, 330.25f, 0.75f, 1.5f, 0.125f});
    EXPECT_EQ(FileBytes(), bytes);
    bytes.insert(bytes.end(), {0, 0, 0x80, 0x3f, 1, 2, 3});
    progress.reset();
    ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), bytes));
    progress = ExerciseProgress::Load();  // finished: on the final results
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), 5);
    ASSERT_EQ(progress->StepResults().size(), 6u);
    EXPECT_EQ(progress->StepResults()[5].averagePitchHz, 1.5f);
    EXPECT_EQ(progress->StepResults()[5].averageTessim, 0.125f);
    EXPECT_FALSE(progress->RecordStep(1.0f, 1.0f));
}

TEST_F(ExerciseProgressTest, DamagedFilesLoadAsNone) {
    const std::string time = "Tue Dec  5 11:30:00 2006";
    Bytes cut = ProgressBytes("Scales.exc", 0, time);
    cut.resize(cut.size() - 2);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"exercise gone", ProgressBytes("Gone.exc", -1, time)},
        {"exercise name with a folder", ProgressBytes("../Outside.exc", -1, time)},
        {"current step cut short", cut},
        {"file name without zero byte", {'S', 'c', 'a', 'l', 'e', 's', '.', 'e', 'x', 'c'}},
        {"step beyond the step count", ProgressBytes("Scales.exc", 3, time)},
        {"step far beyond", ProgressBytes("Scales.exc", 0x7fffffff, time)},
        {"step behind a missing record", ProgressBytes("Cut.exc", 2, time)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), c.bytes));
        EXPECT_FALSE(ExerciseProgress::Load()) << c.name;
    }
    ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), ProgressBytes("Cut.exc", 1, time)));
    auto progress = ExerciseProgress::Load();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), 1);
}

TEST_F(ExerciseProgressTest, RecordingPathCreatesTheFolders) {
    auto progress = Start();
    ASSERT_TRUE(progress);
    ASSERT_TRUE(progress->RecordStep(0.0f, 0.0f));
    const char sep = PathSeparator();
    const std::string root = dir_.path() + "ExerciseRecordings" + sep;
    const std::string folder = root + "Scales_0612051130";
    EXPECT_FALSE(PathExists(folder));
    EXPECT_EQ(progress->RecordingPath(1), folder + sep + "step0_try#1.wav");
    EXPECT_TRUE(WriteAll(progress->RecordingPath(1), {1}));
    ASSERT_TRUE(progress->RecordStep(200.0f, 0.5f));
    EXPECT_EQ(progress->RecordingPath(3), folder + sep + "step1_try#3.wav");
    // Only the last extension is dropped from the folder name.
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "a.b.exc", SimpleExercise(1)));
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "plain", SimpleExercise(1)));
    progress = Start("a.b.exc");
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->RecordingPath(2), root + "a.b_0612051130" + sep + "step-1_try#2.wav");
    progress = Start("plain");
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->RecordingPath(1), root + "plain_0612051130" + sep + "step-1_try#1.wav");
    EXPECT_TRUE(PathExists(root + "plain_0612051130"));
}

// unfinished.dat names its exercise in UTF-8; one written by an older build in Windows-1254
// still finds the exercise, whose file name is now UTF-8.
TEST_F(ExerciseProgressTest, ExerciseNamesWithTurkishLettersInEitherEncoding) {
    const std::string utf8Name =
        "\xC5\x9E"
        "ark\xC4\xB1.exc";
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + utf8Name, SimpleExercise(2, "T")));
    EXPECT_EQ(ExerciseFolder::List(),
              (std::vector<std::string>{"Cut.exc", "Long.exc", "Scales.exc", utf8Name}));
    {
        auto progress = Start(utf8Name);
        ASSERT_TRUE(progress);
        ASSERT_TRUE(progress->RecordStep(220.0f, 0.5f));
    }
    const Bytes written = FileBytes();
    ASSERT_GE(written.size(), utf8Name.size() + 1);
    EXPECT_EQ(std::string(written.begin(), written.begin() + utf8Name.size()), utf8Name);
    for (const std::string& stored : {utf8Name, std::string("\xDE"
                                                            "ark\xFD.exc")}) {
        ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(),
                             ProgressBytes(stored, 0, "Tue Dec  5 11:30:00 2006", {220.0f, 0.5f})));
        auto progress = ExerciseProgress::Load();
        ASSERT_TRUE(progress) << stored;
        EXPECT_EQ(progress->GetExercise().FileName(), utf8Name);
        EXPECT_EQ(progress->GetExercise().CurrentStep(), 0);
    }
}

}  // namespace
}  // namespace melvora

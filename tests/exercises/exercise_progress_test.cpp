#include "exercises/exercise_progress.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "exercises/exercise_folder.h"
#include "exercises/exercise_test_files.h"

namespace melvora {
namespace {

using namespace testing_support;

std::time_t LocalTime(int year, int month, int day, int hour, int minute) {
    std::tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

float FloatAt(const std::vector<unsigned char>& b, size_t offset) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<uint32_t>(b[offset + i]) << (8 * i);
    }
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
int32_t IntAt(const std::vector<unsigned char>& b, size_t offset) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<uint32_t>(b[offset + i]) << (8 * i);
    }
    return static_cast<int32_t>(bits);
}

bool Exists(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0;
}

class ExerciseProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(mkdir(ExerciseFolder::Path().c_str(), 0777), 0);
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "Scales.exc", SimpleExercise(2, "S")));
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "Long.exc", SimpleExercise(5, "L")));
        ASSERT_TRUE(WriteBytes(dir_.path() + "Outside.exc", SimpleExercise(1, "O")));
    }
    std::vector<unsigned char> FileBytes() { return ReadAll(ExerciseProgress::FilePath()); }
    std::unique_ptr<ExerciseProgress> StartScales() {
        return ExerciseProgress::Start(Exercise::Open("Scales.exc"), when_);
    }
    // The header written by Start: three strings and the current step.
    size_t StepOffset() const {
        return std::string("Scales.exc").size() + 1 + 10 + 1 + startTime_.size() + 1;
    }
    TempProgramDirectory dir_;
    std::time_t when_ = LocalTime(2006, 12, 5, 11, 30);
    std::string startTime_;
};

TEST_F(ExerciseProgressTest, StartWritesNameStampTimeAndStepMinusOne) {
    auto progress = StartScales();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->StartStamp(), "0612051130");
    char expectedTime[128];
    std::strftime(expectedTime, sizeof(expectedTime), "%c", std::localtime(&when_));
    EXPECT_EQ(progress->StartTime(), expectedTime);
    startTime_ = expectedTime;

    std::vector<unsigned char> expected;
    for (const std::string& s :
         {std::string("Scales.exc"), std::string("0612051130"), std::string(expectedTime)}) {
        expected.insert(expected.end(), s.begin(), s.end());
        expected.push_back(0);
    }
    expected.insert(expected.end(), {0xff, 0xff, 0xff, 0xff});
    EXPECT_EQ(FileBytes(), expected);
    EXPECT_TRUE(progress->StepResults().empty());
    EXPECT_EQ(progress->GetExercise().CurrentStep(), -1);
}

TEST_F(ExerciseProgressTest, BeginTwoStepsAndFinishStoreStepTwoAndThreePairs) {
    auto progress = StartScales();
    ASSERT_TRUE(progress);
    startTime_ = progress->StartTime();
    EXPECT_TRUE(progress->RecordStep(0.0f, 0.0f));      // Begin
    EXPECT_TRUE(progress->RecordStep(220.5f, 0.25f));   // Next
    EXPECT_TRUE(progress->RecordStep(330.25f, 0.75f));  // Finish
    EXPECT_FALSE(progress->RecordStep(1.0f, 1.0f));     // nothing beyond the results
    const auto b = FileBytes();
    const size_t at = StepOffset();
    ASSERT_EQ(b.size(), at + 4 + 3 * 8);
    EXPECT_EQ(IntAt(b, at), 2);
    EXPECT_EQ(FloatAt(b, at + 4), 0.0f);
    EXPECT_EQ(FloatAt(b, at + 8), 0.0f);
    EXPECT_EQ(FloatAt(b, at + 12), 220.5f);
    EXPECT_EQ(FloatAt(b, at + 16), 0.25f);
    EXPECT_EQ(FloatAt(b, at + 20), 330.25f);
    EXPECT_EQ(FloatAt(b, at + 24), 0.75f);
    ASSERT_EQ(progress->StepResults().size(), 3u);
    EXPECT_EQ(progress->StepResults()[2].averageTessim, 0.75f);
}

TEST_F(ExerciseProgressTest, SurvivesARestartAndGoesOnWhereItStopped) {
    {
        auto progress = ExerciseProgress::Start(Exercise::Open("Long.exc"), when_);
        ASSERT_TRUE(progress);
        ASSERT_TRUE(progress->RecordStep(0.0f, 0.0f));
        ASSERT_TRUE(progress->RecordStep(261.5f, 0.5f));
        ASSERT_EQ(progress->GetExercise().CurrentStep(), 1);
    }  // the program ends: the file is closed and kept
    {
        auto progress = ExerciseProgress::Load();
        ASSERT_TRUE(progress);
        const Exercise& e = progress->GetExercise();
        EXPECT_EQ(e.FileName(), "Long.exc");
        EXPECT_EQ(e.CurrentStep(), 1);
        EXPECT_EQ(e.StepText(), "step 1");
        EXPECT_EQ(e.NoteCount(), 2);
        EXPECT_EQ(progress->StartStamp(), "0612051130");
        ASSERT_EQ(progress->StepResults().size(), 2u);
        EXPECT_EQ(progress->StepResults()[1].averagePitchHz, 261.5f);
        EXPECT_EQ(progress->StepResults()[1].averageTessim, 0.5f);
        ASSERT_TRUE(progress->RecordStep(300.0f, 0.125f));
        EXPECT_EQ(progress->GetExercise().CurrentStep(), 2);
    }
    auto progress = ExerciseProgress::Load();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), 2);
    EXPECT_EQ(progress->GetExercise().StepText(), "step 2");
    ASSERT_EQ(progress->StepResults().size(), 3u);
    EXPECT_EQ(progress->StepResults()[2].averagePitchHz, 300.0f);
    EXPECT_EQ(progress->StepResults()[2].averageTessim, 0.125f);
}

TEST_F(ExerciseProgressTest, NotBegunLoadsBeforeTheFirstStep) {
    StartScales();
    auto progress = ExerciseProgress::Load();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), -1);
    EXPECT_TRUE(progress->StepResults().empty());
}

TEST_F(ExerciseProgressTest, FinishedLoadsOnTheFinalResults) {
    {
        auto progress = StartScales();
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(progress->RecordStep(100.0f * i, 0.1f * i));
        }
    }
    auto progress = ExerciseProgress::Load();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), 2);
    EXPECT_EQ(progress->GetExercise().StepCount(), 2);
    EXPECT_EQ(progress->StepResults().size(), 3u);
    EXPECT_FALSE(progress->RecordStep(1.0f, 1.0f));
}

TEST_F(ExerciseProgressTest, TrailingHalfPairIsIgnored) {
    StartScales();
    auto bytes = FileBytes();
    bytes.insert(bytes.end(), {0, 0, 0x80, 0x3f, 1, 2, 3});  // 1.0f then 3 stray bytes
    ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), bytes));
    auto progress = ExerciseProgress::Load();
    ASSERT_TRUE(progress);
    EXPECT_TRUE(progress->StepResults().empty());
}

TEST_F(ExerciseProgressTest, CloseKeepingLeavesTheFileCloseAndDeleteRemovesIt) {
    auto progress = StartScales();
    progress->CloseKeeping();
    progress.reset();
    EXPECT_TRUE(Exists(ExerciseProgress::FilePath()));
    progress = ExerciseProgress::Load();
    ASSERT_TRUE(progress);
    progress->CloseAndDelete();
    progress.reset();
    EXPECT_FALSE(Exists(ExerciseProgress::FilePath()));
    EXPECT_FALSE(ExerciseProgress::Load());
}

TEST_F(ExerciseProgressTest, StartReplacesAnOlderUnfinishedExercise) {
    {
        auto old = ExerciseProgress::Start(Exercise::Open("Long.exc"), when_);
        ASSERT_TRUE(old->RecordStep(0.0f, 0.0f));
        ASSERT_TRUE(old->RecordStep(5.0f, 5.0f));
    }
    auto progress = StartScales();
    ASSERT_TRUE(progress);
    progress.reset();
    auto loaded = ExerciseProgress::Load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetExercise().FileName(), "Scales.exc");
    EXPECT_TRUE(loaded->StepResults().empty());
}

TEST(ExerciseProgressNoFolder, StartFailsWithoutTheExercisesFolder) {
    TempProgramDirectory dir;
    auto e = Exercise::FromBytes("x.exc", SimpleExercise(1));
    ASSERT_TRUE(e);
    EXPECT_FALSE(ExerciseProgress::Start(std::move(e)));
    EXPECT_FALSE(ExerciseProgress::Load());
}

struct BadProgress {
    const char* name;
    std::vector<unsigned char> bytes;
};
void PrintTo(const BadProgress& b, std::ostream* os) {
    *os << b.name;
}

std::vector<unsigned char> ProgressBytes(const std::string& name, int32_t step,
                                         const std::string& stamp = "0612051130") {
    std::vector<unsigned char> b;
    for (const std::string& s : {name, stamp, std::string("Tue Dec  5 11:30:00 2006")}) {
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
    }
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<unsigned char>(static_cast<uint32_t>(step) >> (8 * i)));
    }
    return b;
}

class ExerciseProgressBadFile : public ExerciseProgressTest,
                                public ::testing::WithParamInterface<BadProgress> {};

TEST_P(ExerciseProgressBadFile, LoadsAsNone) {
    ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), GetParam().bytes));
    EXPECT_FALSE(ExerciseProgress::Load());
}

std::vector<BadProgress> BadProgressFiles() {
    std::vector<BadProgress> v;
    v.push_back({"empty", {}});
    v.push_back({"exercise gone", ProgressBytes("Gone.exc", -1)});
    v.push_back({"exercise name with a folder", ProgressBytes("../Outside.exc", -1)});
    auto cut = ProgressBytes("Scales.exc", 0);
    cut.resize(cut.size() - 2);
    v.push_back({"current step cut short", cut});
    std::vector<unsigned char> noZero = {'S', 'c', 'a', 'l', 'e', 's', '.', 'e', 'x', 'c'};
    v.push_back({"file name without zero byte", noZero});
    v.push_back({"step beyond the step count", ProgressBytes("Scales.exc", 3)});
    v.push_back({"step far beyond", ProgressBytes("Scales.exc", 0x7fffffff)});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Files, ExerciseProgressBadFile, ::testing::ValuesIn(BadProgressFiles()));

TEST_F(ExerciseProgressTest, UnreachableStoredStepInAnExerciseWithMissingRecords) {
    auto bytes = SimpleExercise(3);
    bytes.resize(bytes.size() - 20);  // the last step record is cut short
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "Cut.exc", bytes));
    ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), ProgressBytes("Cut.exc", 2)));
    EXPECT_FALSE(ExerciseProgress::Load());
    ASSERT_TRUE(WriteAll(ExerciseProgress::FilePath(), ProgressBytes("Cut.exc", 1)));
    auto progress = ExerciseProgress::Load();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetExercise().CurrentStep(), 1);
}

TEST_F(ExerciseProgressTest, RecordingPathCreatesTheFolders) {
    auto progress = StartScales();
    ASSERT_TRUE(progress);
    ASSERT_TRUE(progress->RecordStep(0.0f, 0.0f));
    const char sep = PathSeparator();
    const std::string folder = dir_.path() + "ExerciseRecordings" + sep + "Scales_0612051130";
    EXPECT_FALSE(Exists(folder));
    EXPECT_EQ(progress->RecordingPath(1), folder + sep + "step0_try#1.wav");
    EXPECT_TRUE(Exists(folder));
    // A file can be written there.
    EXPECT_TRUE(WriteAll(progress->RecordingPath(1), {1}));
    ASSERT_TRUE(progress->RecordStep(200.0f, 0.5f));
    EXPECT_EQ(progress->RecordingPath(3), folder + sep + "step1_try#3.wav");
}

TEST_F(ExerciseProgressTest, RecordingFolderDropsOnlyTheLastExtension) {
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "a.b.exc", SimpleExercise(1)));
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "plain", SimpleExercise(1)));
    auto progress = ExerciseProgress::Start(Exercise::Open("a.b.exc"), when_);
    ASSERT_TRUE(progress);
    const char sep = PathSeparator();
    const std::string root = dir_.path() + "ExerciseRecordings" + sep;
    EXPECT_EQ(progress->RecordingPath(2), root + "a.b_0612051130" + sep + "step-1_try#2.wav");
    progress = ExerciseProgress::Start(Exercise::Open("plain"), when_);
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->RecordingPath(1), root + "plain_0612051130" + sep + "step-1_try#1.wav");
    EXPECT_TRUE(Exists(root + "plain_0612051130"));
}

TEST(ExerciseFolderCreate, MakesEveryLevelAndLeavesExistingOnes) {
    TempProgramDirectory dir;
    const std::string deep = dir.path() + "one/two/three/";
    ExerciseFolder::CreateFolders(deep);
    EXPECT_TRUE(Exists(dir.path() + "one/two/three"));
    ASSERT_TRUE(WriteAll(dir.path() + "one/keep.txt", {7}));
    ExerciseFolder::CreateFolders(dir.path() + "one/two/four");
    EXPECT_TRUE(Exists(dir.path() + "one/two/four"));
    EXPECT_EQ(ReadAll(dir.path() + "one/keep.txt"), std::vector<unsigned char>{7});
}

}  // namespace
}  // namespace melvora

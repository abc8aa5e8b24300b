#include "exercises/exercise.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>

#include "exercises/exercise_folder.h"
#include "exercises/exercise_test_files.h"

namespace melvora {
namespace {

using namespace testing_support;

std::unique_ptr<Exercise> Parse(const Bytes& bytes) {
    return Exercise::FromBytes("t.exc", bytes);
}

TEST(ExerciseHeader, FourBytesAfterTheIntroductionAreTheStepCountWithoutInstrument) {
    Bytes file;
    PutBlock(file, Header("Scales", "Up and down", "Listen first", -1, 0));
    auto e = Parse(file);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Title(), "Scales");
    EXPECT_EQ(e->Description(), "Up and down");
    EXPECT_EQ(e->Introduction(), "Listen first");
    EXPECT_EQ(e->Instrument(), 255);
    EXPECT_EQ(e->StepCount(), 0);
    EXPECT_EQ(e->CurrentStep(), -1);
    EXPECT_EQ(e->FileName(), "t.exc");
}

TEST(ExerciseHeader, FiveOrMoreBytesLeftStartWithTheInstrument) {
    Bytes header = Header("T", "D", "I", 41, 2);
    header.push_back(0xee);  // ignored rest
    header.push_back(0xee);
    Bytes file;
    PutBlock(file, header);
    auto e = Parse(file);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Instrument(), 41);
    EXPECT_EQ(e->StepCount(), 2);
}

TEST(ExerciseHeader, EmptyTextsAreAllowed) {
    Bytes file;
    PutBlock(file, Header("", "", "", 0, 1));
    auto e = Parse(file);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Title(), "");
    EXPECT_EQ(e->Instrument(), 0);
    EXPECT_EQ(e->StepCount(), 1);
}

Bytes StepFile(const Bytes& payload) {
    Bytes file;
    PutBlock(file, Header("T", "D", "I", -1, 1));
    PutBlock(file, payload);
    return file;
}

TEST(ExerciseStep, TwelveBytesAfterTheTextAreTwoNotesWithoutInstrument) {
    Bytes payload;
    PutStr(payload, "abc");
    PutNote(payload, 64, 90, 400);
    PutNote(payload, -1, 0, 300);
    auto e = Parse(StepFile(payload));
    ASSERT_TRUE(e);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 0);
    EXPECT_EQ(e->StepText(), "abc");
    EXPECT_EQ(e->StepInstrument(), -1);
    ASSERT_EQ(e->NoteCount(), 2);
    EXPECT_EQ(e->Notes()[0].key, 64);
    EXPECT_EQ(e->Notes()[0].velocity, 90);
    EXPECT_EQ(e->Notes()[0].durationMs, 400);
    EXPECT_EQ(e->Notes()[1].key, -1);  // a rest
    EXPECT_EQ(e->Notes()[1].durationMs, 300);
    EXPECT_EQ(e->TotalDurationMs(), 700);
}

TEST(ExerciseStep, ThirteenBytesStartWithTheInstrument) {
    Bytes payload;
    PutStr(payload, "abc");
    payload.push_back(19);
    PutNote(payload, 60, 100, 1);
    PutNote(payload, 62, 100, 2);
    auto e = Parse(StepFile(payload));
    ASSERT_TRUE(e);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepInstrument(), 19);
    ASSERT_EQ(e->NoteCount(), 2);
    EXPECT_EQ(e->Notes()[1].key, 62);
    EXPECT_EQ(e->TotalDurationMs(), 3);
}

TEST(ExerciseStep, InstrumentByteIsSignedAndLeftoverBytesAreIgnored) {
    Bytes payload;
    PutStr(payload, "x");
    payload.push_back(255);
    PutNote(payload, 60, 100, 10);
    payload.push_back(1);  // 7 bytes after the text plus one: 1 + 6 + 1 = 8, not a multiple
    auto e = Parse(StepFile(payload));
    ASSERT_TRUE(e);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepInstrument(), -1);
    EXPECT_EQ(e->NoteCount(), 1);
}

TEST(ExerciseStep, HugeAndNegativeDurationsAreSummedWithoutOverflow) {
    Bytes payload;
    PutStr(payload, "");
    PutNote(payload, 60, 100, INT_MAX);
    PutNote(payload, 60, 100, INT_MAX);
    PutNote(payload, 60, 100, -5);
    auto e = Parse(StepFile(payload));
    ASSERT_TRUE(e);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->TotalDurationMs(), 2LL * INT_MAX - 5);
}

TEST(ExerciseAdvance, ThreeStepsGiveTrueFourTimesThenFalse) {
    auto e = Parse(SimpleExercise(3));
    ASSERT_TRUE(e);
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(e->Advance()) << k;
        EXPECT_EQ(e->CurrentStep(), k);
        EXPECT_EQ(e->StepText(), "step " + std::to_string(k));
        EXPECT_EQ(e->NoteCount(), k + 1);
        EXPECT_EQ(e->Notes()[0].key, 60 + k);
        EXPECT_EQ(e->TotalDurationMs(), 250 * (k + 1));
    }
    ASSERT_TRUE(e->Advance());  // final results position
    EXPECT_EQ(e->CurrentStep(), 3);
    EXPECT_EQ(e->StepText(), "");
    EXPECT_EQ(e->NoteCount(), 0);
    EXPECT_EQ(e->TotalDurationMs(), 0);
    EXPECT_FALSE(e->Advance());
    EXPECT_FALSE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 3);
}

TEST(ExerciseAdvance, ZeroStepsGoStraightToTheFinalResults) {
    auto e = Parse(SimpleExercise(0));
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 0);
    EXPECT_FALSE(e->Advance());
}

TEST(ExerciseAdvance, MissingOrTruncatedRecordFailsAfterMovingOn) {
    Bytes file = SimpleExercise(2);
    file.resize(file.size() - 3);  // the second record loses part of its notes
    auto e = Parse(file);
    ASSERT_TRUE(e);
    ASSERT_TRUE(e->Advance());
    EXPECT_FALSE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 1);
    EXPECT_EQ(e->StepText(), "");
    EXPECT_EQ(e->NoteCount(), 0);
    EXPECT_TRUE(e->Advance());  // the final results position needs no record
    EXPECT_EQ(e->CurrentStep(), 2);
    EXPECT_FALSE(e->Advance());
}

TEST(ExerciseAdvance, StepCountBeyondTheRecordsFails) {
    Bytes file;
    PutBlock(file, Header("T", "D", "I", -1, INT_MAX));
    auto e = Parse(file);
    ASSERT_TRUE(e);
    EXPECT_FALSE(e->Advance());
    EXPECT_FALSE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 1);
}

struct Rejection {
    const char* name;
    Bytes bytes;
};
void PrintTo(const Rejection& r, std::ostream* os) {
    *os << r.name;
}

class ExerciseRejected : public ::testing::TestWithParam<Rejection> {};

TEST_P(ExerciseRejected, IsNotOffered) {
    EXPECT_FALSE(Parse(GetParam().bytes));
}

std::vector<Rejection> Rejections() {
    std::vector<Rejection> r;
    r.push_back({"empty", {}});
    r.push_back({"three bytes", {5, 0, 0}});
    {
        Bytes b;
        Put32(b, 100);
        PutStr(b, "short");
        r.push_back({"header longer than the file", b});
    }
    {
        Bytes b;
        Put32(b, 0xffffffffu);
        r.push_back({"header length near 2^32", b});
    }
    {
        // The title's zero byte comes right after the header: it must not be used.
        Bytes h = {'T', 'i', 't', 'l', 'e'};
        Bytes b;
        PutBlock(b, h);
        b.push_back(0);
        Put32(b, 0);
        r.push_back({"title without zero byte inside the header", b});
    }
    {
        Bytes h;
        PutStr(h, "Title");
        Bytes b;
        PutBlock(b, h);
        r.push_back({"header ends after the title", b});
    }
    {
        Bytes h;
        PutStr(h, "T");
        PutStr(h, "D");
        Bytes b;
        PutBlock(b, h);
        r.push_back({"header ends after the description", b});
    }
    {
        Bytes h;
        PutStr(h, "T");
        PutStr(h, "D");
        h.insert(h.end(), {'I', 'n', 't', 'r', 'o'});
        Bytes b;
        PutBlock(b, h);
        Put32(b, 0);
        r.push_back({"introduction without zero byte inside the header", b});
    }
    {
        Bytes h;
        PutStr(h, "T");
        PutStr(h, "D");
        PutStr(h, "I");
        h.insert(h.end(), {1, 0, 0});
        Bytes b;
        PutBlock(b, h);
        r.push_back({"step count cut short", b});
    }
    {
        Bytes b;
        PutBlock(b, Header("T", "D", "I", -1, -1));
        r.push_back({"negative step count", b});
    }
    {
        Bytes b;
        PutBlock(b, Header("T", "D", "I", -1, 1));
        Bytes p = {'a', 'b', 'c'};
        PutBlock(b, p);
        b.push_back(0);
        r.push_back({"step text without zero byte inside the payload", b});
    }
    {
        Bytes b;
        PutBlock(b, Header("T", "D", "I", -1, 1));
        PutBlock(b, Bytes());
        r.push_back({"empty step payload", b});
    }
    {
        Bytes p = {'x', 'y'};
        Bytes b;
        PutBlock(b, Header("T", "D", "I", -1, 2));
        Bytes good;
        PutStr(good, "fine");
        PutBlock(b, good);
        PutBlock(b, p);
        r.push_back({"second step text without zero byte", b});
    }
    return r;
}

INSTANTIATE_TEST_SUITE_P(Files, ExerciseRejected, ::testing::ValuesIn(Rejections()));

TEST(ExerciseRecordsBeyondTheStepCount, AreNotChecked) {
    Bytes b = SimpleExercise(1);
    PutBlock(b, Bytes{'n', 'o', ' ', 'z', 'e', 'r', 'o'});
    EXPECT_TRUE(Parse(b));
}

class ExerciseFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(mkdir(ExerciseFolder::Path().c_str(), 0777), 0); }
    void Write(const std::string& name, const Bytes& bytes) {
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + name, bytes));
    }
    TempProgramDirectory dir_;
};

TEST_F(ExerciseFolderTest, OpenReadsFromTheExercisesFolder) {
    Write("Scales.exc", SimpleExercise(2, "Scales"));
    auto e = Exercise::Open("Scales.exc");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->FileName(), "Scales.exc");
    EXPECT_EQ(e->Title(), "Scales");
    EXPECT_TRUE(e->Advance());
    EXPECT_FALSE(Exercise::Open("Missing.exc"));
}

TEST_F(ExerciseFolderTest, OpenRefusesNamesWithFolders) {
    ASSERT_TRUE(WriteBytes(dir_.path() + "Outside.exc", SimpleExercise(1)));
    EXPECT_FALSE(Exercise::Open("../Outside.exc"));
    EXPECT_FALSE(Exercise::Open("..\\Outside.exc"));
    EXPECT_FALSE(Exercise::Open(""));
}

TEST_F(ExerciseFolderTest, ListOffersOnlyValidExcFilesOfTheFolderItself) {
    Write("b.exc", SimpleExercise(1));
    Write("a.exc", SimpleExercise(3));
    Write("Upper.EXC", SimpleExercise(1));
    Write("notes.txt", SimpleExercise(1));
    Write("c.exc.bak", SimpleExercise(1));
    Write("broken.exc", Bytes{1, 2, 3});
    Write("unfinished.dat", Bytes{0});
    ASSERT_EQ(mkdir((ExerciseFolder::Path() + "folder.exc").c_str(), 0777), 0);
    ASSERT_EQ(mkdir((ExerciseFolder::Path() + "sub").c_str(), 0777), 0);
    Write("sub/deep.exc", SimpleExercise(1));
    EXPECT_EQ(ExerciseFolder::List(), (std::vector<std::string>{"a.exc", "b.exc"}));
}

TEST(ExerciseFolderMissing, ListsNothing) {
    TempProgramDirectory dir;
    EXPECT_TRUE(ExerciseFolder::List().empty());
}

}  // namespace
}  // namespace melvora

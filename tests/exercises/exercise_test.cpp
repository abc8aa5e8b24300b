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

// A one-step exercise around `payload`, the header carrying `headerTail` after the count.
Bytes StepFile(const Bytes& payload, const Bytes& headerTail = {}, int instrument = -1) {
    Bytes header = Header("Scales", "Up and down", "Listen first", instrument, 1);
    header.insert(header.end(), headerTail.begin(), headerTail.end());
    Bytes file;
    PutBlock(file, header);
    PutBlock(file, payload);
    return file;
}

TEST(ExerciseParse, StepWithAndWithoutInstrument) {
    // The step text, `between` (an instrument byte or nothing), the notes, then `after`.
    auto payload = [](const std::string& text, const Bytes& between,
                      std::vector<ExerciseNote> notes, const Bytes& after = {}) {
        Bytes p;
        PutStr(p, text);
        p.insert(p.end(), between.begin(), between.end());
        for (const ExerciseNote& n : notes) {
            PutNote(p, n.key, n.velocity, n.durationMs);
        }
        p.insert(p.end(), after.begin(), after.end());
        return p;
    };
    // Twelve bytes after the text are two notes, thirteen start with the instrument; the
    // instrument is signed and a stray byte is ignored; durations are summed in 64 bits.
    const Bytes plain = payload("abc", {}, {{64, 90, 400}, {-1, 0, 300}});
    const Bytes withInstrument = payload("abc", {19}, {{60, 100, 1}, {62, 100, 2}});
    const Bytes signedAndLeftover = payload("x", {255}, {{60, 100, 10}}, {1});
    const Bytes huge = payload("", {}, {{60, 100, INT_MAX}, {60, 100, INT_MAX}, {60, 100, -5}});
    const struct {
        Bytes payload;
        int instrument;
        int noteCount;
        int64_t totalMs;
    } cases[] = {{plain, -1, 2, 700},
                 {withInstrument, 19, 2, 3},
                 {signedAndLeftover, -1, 1, 10},
                 {huge, -1, 3, 2LL * INT_MAX - 5}};
    for (const auto& c : cases) {
        // Five or more bytes left in the header start with the instrument; the rest is ignored.
        const bool header = c.noteCount != 1;
        auto e = Parse(StepFile(c.payload, header ? Bytes{0xee, 0xee} : Bytes{}, header ? 41 : -1));
        ASSERT_TRUE(e);
        EXPECT_EQ(e->Instrument(), header ? 41 : 255);
        EXPECT_EQ(e->StepCount(), 1);
        EXPECT_EQ(e->CurrentStep(), -1);
        ASSERT_TRUE(e->Advance());
        EXPECT_EQ(e->CurrentStep(), 0);
        EXPECT_EQ(e->StepInstrument(), c.instrument);
        EXPECT_EQ(e->NoteCount(), c.noteCount);
        EXPECT_EQ(e->TotalDurationMs(), c.totalMs);
    }
    auto e = Parse(StepFile(plain));
    EXPECT_EQ(e->Title(), "Scales");
    EXPECT_EQ(e->Description(), "Up and down");
    EXPECT_EQ(e->Introduction(), "Listen first");
    EXPECT_EQ(e->Instrument(), 255);  // four bytes left: only the step count
    EXPECT_EQ(e->FileName(), "t.exc");
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepText(), "abc");
    EXPECT_EQ(e->Notes()[0].key, 64);
    EXPECT_EQ(e->Notes()[0].velocity, 90);
    EXPECT_EQ(e->Notes()[0].durationMs, 400);
    EXPECT_EQ(e->Notes()[1].key, -1);  // a rest
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
    EXPECT_EQ(e->CurrentStep(), 3);
    e = Parse(SimpleExercise(0));
    EXPECT_TRUE(e->Advance());
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
    Bytes noRecords;
    PutBlock(noRecords, Header("T", "D", "I", -1, INT_MAX));
    e = Parse(noRecords);
    ASSERT_TRUE(e);
    EXPECT_FALSE(e->Advance());
    EXPECT_FALSE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 1);
}

TEST(ExerciseParse, RejectedFilesAreNotOffered) {
    // Header blocks from raw bytes; `after` follows the block in the file.
    auto file = [](const std::string& header, const Bytes& after = {}) {
        Bytes b;
        PutBlock(b, Bytes(header.begin(), header.end()));
        b.insert(b.end(), after.begin(), after.end());
        return b;
    };
    const Bytes count0 = {0, 0, 0, 0};
    Bytes headerTooLong;
    Put32(headerTooLong, 100);
    PutStr(headerTooLong, "short");
    Bytes negativeCount;
    PutBlock(negativeCount, Header("T", "D", "I", -1, -1));
    // The zero byte right after the payload must not be used.
    Bytes textUnterminated = StepFile({'a', 'b', 'c'});
    textUnterminated.push_back(0);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"three bytes", {5, 0, 0}},
        {"header longer than the file", headerTooLong},
        {"header length near 2^32", {0xff, 0xff, 0xff, 0xff}},
        // The title's zero byte comes right after the header: it must not be used.
        {"title without zero byte inside the header", file("Title", {0, 0, 0, 0, 0})},
        {"header ends after the title", file(std::string("Title\0", 6))},
        {"header ends after the description", file(std::string("T\0D\0", 4))},
        {"introduction without zero byte", file(std::string("T\0D\0Intro", 9), count0)},
        {"step count cut short", file(std::string("T\0D\0I\0\1\0\0", 9))},
        {"negative step count", negativeCount},
        {"step text without zero byte", textUnterminated},
        {"empty step payload", StepFile({})},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Parse(c.bytes)) << c.name;
    }
    Bytes second;
    PutBlock(second, Header("T", "D", "I", -1, 2));
    PutBlock(second, {'f', 'i', 'n', 'e', 0});
    PutBlock(second, {'x', 'y'});
    EXPECT_FALSE(Parse(second)) << "second step text without zero byte";
    // Records beyond the step count are not checked.
    Bytes extra = SimpleExercise(1);
    PutBlock(extra, {'n', 'o'});
    EXPECT_TRUE(Parse(extra));
}

class ExerciseFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(mkdir(ExerciseFolder::Path().c_str(), 0777), 0); }
    void Write(const std::string& name, const Bytes& bytes) {
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + name, bytes));
    }
    TempProgramDirectory dir_;
};

TEST_F(ExerciseFolderTest, OpenAndListTakeOnlyValidExcFilesOfTheFolderItself) {
    Write("Scales.exc", SimpleExercise(2, "Scales"));
    auto e = Exercise::Open("Scales.exc");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->FileName(), "Scales.exc");
    EXPECT_EQ(e->Title(), "Scales");
    EXPECT_TRUE(e->Advance());
    EXPECT_FALSE(Exercise::Open("Missing.exc"));
    ASSERT_TRUE(WriteBytes(dir_.path() + "Outside.exc", SimpleExercise(1)));
    EXPECT_FALSE(Exercise::Open("../Outside.exc"));
    EXPECT_FALSE(Exercise::Open("..\\Outside.exc"));
    EXPECT_FALSE(Exercise::Open(""));
    Write("b.exc", SimpleExercise(1));
    Write("a.exc", SimpleExercise(3));
    Write("Upper.EXC", SimpleExercise(1));
    Write("notes.txt", SimpleExercise(1));
    Write("c.exc.bak", SimpleExercise(1));
    Write("broken.exc", Bytes{1, 2, 3});
    ASSERT_EQ(mkdir((ExerciseFolder::Path() + "folder.exc").c_str(), 0777), 0);
    ASSERT_EQ(mkdir((ExerciseFolder::Path() + "sub").c_str(), 0777), 0);
    Write("sub/deep.exc", SimpleExercise(1));
    EXPECT_EQ(ExerciseFolder::List(), (std::vector<std::string>{"Scales.exc", "a.exc", "b.exc"}));
    ASSERT_EQ(std::system(("rm -rf '" + ExerciseFolder::Path() + "'").c_str()), 0);
    EXPECT_TRUE(ExerciseFolder::List().empty());
}

}  // namespace
}  // namespace melvora

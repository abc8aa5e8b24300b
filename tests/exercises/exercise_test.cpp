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

// The step text, `between` (an instrument byte or nothing), the notes, then `after`.
Bytes Payload(const std::string& text, const Bytes& between, std::vector<ExerciseNote> notes,
              const Bytes& after = {}) {
    Bytes p;
    PutStr(p, text);
    p.insert(p.end(), between.begin(), between.end());
    for (const ExerciseNote& n : notes) {
        PutNote(p, n.key, n.velocity, n.durationMs);
    }
    p.insert(p.end(), after.begin(), after.end());
    return p;
}

TEST(ExerciseParse, StepWithAndWithoutInstrument) {
    // Twelve bytes after the text are two notes, thirteen start with the instrument; the
    // instrument is signed and a stray byte is ignored; durations are summed in 64 bits.
    const struct {
        Bytes payload;
        int instrument;
        int noteCount;
        int64_t totalMs;
    } cases[] = {{Payload("abc", {}, {{64, 90, 400}, {-1, 0, 300}}), -1, 2, 700},
                 {Payload("abc", {19}, {{60, 100, 1}, {62, 100, 2}}), 19, 2, 3},
                 {Payload("x", {255}, {{60, 100, 10}}, {1}), -1, 1, 10},
                 {Payload("", {}, {{60, 100, INT_MAX}, {60, 100, INT_MAX}, {60, 100, -5}}), -1, 3,
                  2LL * INT_MAX - 5}};
    for (const auto& c : cases) {
        // Five or more bytes left in the header start with the instrument; the rest is ignored.
        const bool header = c.noteCount != 1;
        auto e = Parse(StepFile(c.payload, header ? Bytes{0xee, 0xee} : Bytes{}, header ? 41 : -1));
        ASSERT_TRUE(e);
        EXPECT_EQ(e->Instrument(), header ? 41 : 255);
        EXPECT_EQ(e->StepCount(), 1);
        ASSERT_TRUE(e->Advance());
        EXPECT_EQ(e->StepInstrument(), c.instrument);
        EXPECT_EQ(e->NoteCount(), c.noteCount);
        EXPECT_EQ(e->TotalDurationMs(), c.totalMs);
    }
}

// Each step once, then the final results position, then false; a record cut short or
// missing fails after moving on, and the final position still follows.
TEST(ExerciseAdvance, StepsThenFinalPositionAndBrokenRecords) {
    auto e = Parse(SimpleExercise(3));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->CurrentStep(), -1);
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
    EXPECT_EQ(e->NoteCount(), 0);
    EXPECT_FALSE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 3);

    Bytes file = SimpleExercise(2);
    file.resize(file.size() - 3);  // the second record loses part of its notes
    e = Parse(file);
    ASSERT_TRUE(e && e->Advance());
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
    Bytes negativeCount;
    PutBlock(negativeCount, Header("T", "D", "I", -1, -1));
    // The zero byte right after the payload must not be used.
    Bytes textUnterminated = StepFile({'a', 'b', 'c'});
    textUnterminated.push_back(0);
    Bytes second;
    PutBlock(second, Header("T", "D", "I", -1, 2));
    PutBlock(second, {'f', 'i', 'n', 'e', 0});
    PutBlock(second, {'x', 'y'});
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"three bytes", {5, 0, 0}},
        {"header length near 2^32", {0xff, 0xff, 0xff, 0xff}},
        // The title's zero byte comes right after the header: it must not be used.
        {"title without zero byte inside the header", file("Title", {0, 0, 0, 0, 0})},
        {"header ends after the title", file(std::string("Title\0", 6))},
        {"header ends after the description", file(std::string("T\0D\0", 4))},
        {"introduction without zero byte", file(std::string("T\0D\0Intro", 9), {0, 0, 0, 0})},
        {"step count cut short", file(std::string("T\0D\0I\0\1\0\0", 9))},
        {"negative step count", negativeCount},
        {"step text without zero byte", textUnterminated},
        {"empty step payload", StepFile({})},
        {"second step text without zero byte", second},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Parse(c.bytes)) << c.name;
    }
    // Records beyond the step count are not checked.
    Bytes extra = SimpleExercise(1);
    PutBlock(extra, {'n', 'o'});
    EXPECT_TRUE(Parse(extra));
}

TEST(ExerciseFolder, OpenAndListTakeOnlyValidExcFilesOfTheFolderItself) {
    TempProgramDirectory dir;
    ASSERT_EQ(mkdir(ExerciseFolder::Path().c_str(), 0777), 0);
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "Scales.exc", SimpleExercise(2, "Scales")));
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "broken.exc", Bytes{1, 2, 3}));
    for (const char* name : {"b.exc", "a.exc", "Upper.EXC", "notes.txt", "c.exc.bak"}) {
        ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + name, SimpleExercise(1)));
    }
    auto e = Exercise::Open("Scales.exc");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->FileName(), "Scales.exc");
    EXPECT_EQ(e->Title(), "Scales");
    EXPECT_FALSE(Exercise::Open("Missing.exc"));
    ASSERT_TRUE(WriteBytes(dir.path() + "Outside.exc", SimpleExercise(1)));
    EXPECT_FALSE(Exercise::Open("../Outside.exc"));
    EXPECT_FALSE(Exercise::Open("..\\Outside.exc"));
    EXPECT_FALSE(Exercise::Open(""));
    ASSERT_EQ(mkdir((ExerciseFolder::Path() + "folder.exc").c_str(), 0777), 0);
    ASSERT_EQ(mkdir((ExerciseFolder::Path() + "sub").c_str(), 0777), 0);
    ASSERT_TRUE(WriteBytes(ExerciseFolder::Path() + "sub/deep.exc", SimpleExercise(1)));
    EXPECT_EQ(ExerciseFolder::List(), (std::vector<std::string>{"Scales.exc", "a.exc", "b.exc"}));
    ASSERT_EQ(std::system(("rm -rf '" + ExerciseFolder::Path() + "'").c_str()), 0);
    EXPECT_TRUE(ExerciseFolder::List().empty());
}

}  // namespace
}  // namespace melvora

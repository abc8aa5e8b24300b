#include "exercises/exercise.h"

#include <gtest/gtest.h>

#include <climits>

#include "exercises/exercise_test_files.h"

namespace melvora {
namespace {

using namespace testing_support;

std::unique_ptr<Exercise> Parse(const Bytes& bytes) {
    return Exercise::FromBytes("t.exc", bytes);
}

// The step text, `before` (an instrument byte or nothing), the notes, then `after`.
Bytes Payload(const std::string& text, const Bytes& before, std::vector<ExerciseNote> notes,
              const Bytes& after = {}) {
    Bytes p = before;
    p.insert(p.begin(), text.c_str(), text.c_str() + text.size() + 1);
    for (const ExerciseNote& n : notes) {
        p.insert(p.end(), {static_cast<uint8_t>(n.key), n.velocity});
        Put32(p, static_cast<uint32_t>(n.durationMs));
    }
    p.insert(p.end(), after.begin(), after.end());
    return p;
}

// Notes are key, velocity, 32-bit duration; a payload length off a multiple of six starts
// with the signed instrument and ignores a stray byte at the end; durations are summed in
// 64 bits. After every step comes the final results position, then false.
TEST(ExerciseAdvance, StepsThenFinalPositionAndBrokenRecords) {
    Bytes header = Header("Scales", 41, 2);
    header.insert(header.end(), {0xee, 0xee});  // five or more bytes left: an instrument
    Bytes file;
    PutBlock(file, header);
    PutBlock(file, Payload("abc", {}, {{64, 90, 400}, {-1, 0, 300}}));
    PutBlock(file,
             Payload("x", {0xfe}, {{60, 100, INT_MAX}, {60, 100, INT_MAX}, {60, 100, -5}}, {1}));
    auto e = Parse(file);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Title(), "Scales");
    EXPECT_EQ(e->Instrument(), 41);
    EXPECT_EQ(e->StepCount(), 2);
    EXPECT_EQ(e->CurrentStep(), -1);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepText(), "abc");
    EXPECT_EQ(e->StepInstrument(), -1);
    ASSERT_EQ(e->NoteCount(), 2);
    EXPECT_EQ(e->Notes()[1].key, -1);
    EXPECT_EQ(e->Notes()[0].velocity, 90);
    EXPECT_EQ(e->TotalDurationMs(), 700);
    ASSERT_TRUE(e->Advance());
    EXPECT_EQ(e->StepInstrument(), -2);
    EXPECT_EQ(e->NoteCount(), 3);
    EXPECT_EQ(e->TotalDurationMs(), 2LL * INT_MAX - 5);
    ASSERT_TRUE(e->Advance());  // final results position
    EXPECT_EQ(e->CurrentStep(), 2);
    EXPECT_EQ(e->NoteCount(), 0);
    EXPECT_FALSE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 2);
    EXPECT_EQ(Parse(SimpleExercise(1))->Instrument(), 255);  // none written

    // A record cut short or missing fails after moving on; the final position still follows.
    file = SimpleExercise(2);
    file.resize(file.size() - 3);  // the second record loses part of its notes
    e = Parse(file);
    ASSERT_TRUE(e && e->Advance());
    EXPECT_FALSE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 1);
    EXPECT_EQ(e->StepText(), "");
    EXPECT_EQ(e->NoteCount(), 0);
    EXPECT_TRUE(e->Advance());
    EXPECT_EQ(e->CurrentStep(), 2);
    Bytes noRecords;
    PutBlock(noRecords, Header("T", -1, INT_MAX));
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
    // The zero byte right after the payload must not be used.
    Bytes textUnterminated =
        file(std::string("T\0D\0I\0\1\0\0\0", 10), {3, 0, 0, 0, 'a', 'b', 'c', 0});
    Bytes second;
    PutBlock(second, Header("T", -1, 2));
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
        {"negative step count", file(std::string("T\0D\0I\0\xff\xff\xff\xff", 10))},
        {"step text without zero byte", textUnterminated},
        {"empty step payload", file(std::string("T\0D\0I\0\1\0\0\0", 10), {0, 0, 0, 0})},
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

}  // namespace
}  // namespace melvora

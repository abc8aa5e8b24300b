#include "music/shared_midi_output.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "music/midi_message.h"
#include "platform/recording_midi_out.h"

namespace melvora {
namespace {

class SharedMidiOutputTest : public ::testing::Test {
  protected:
    RecordingMidiOut::Journal journal;
    SharedMidiOutput output{std::make_unique<RecordingMidiOut>(journal)};
};

// The mapper is opened once with the first program; the media player takes the device away
// (silenced, sends dropped) and gives it back with its instrument; closing silences it.
TEST_F(SharedMidiOutputTest, OpensTheMapperOnceAndTheMediaPlayerTakesItAndGivesItBack) {
    ASSERT_TRUE(output.Open());
    EXPECT_TRUE(output.Open());
    EXPECT_EQ(journal.opens, 1);
    EXPECT_EQ(journal.lastDeviceId, MidiOut::kMapper);
    EXPECT_EQ(journal.Messages(), std::vector<uint32_t>{midi::ProgramChange(0)});
    output.Send(midi::ProgramChange(73));
    output.Send(midi::Pack(0xB0, 7, 90));  // channel volume
    EXPECT_TRUE(output.Send(midi::NoteOn(60, 88)));
    EXPECT_EQ(journal.Messages().back(), midi::NoteOn(60, 88));
    journal.Clear();

    output.Release();
    EXPECT_FALSE(output.IsOpen());
    EXPECT_EQ(journal.closes, 1);
    EXPECT_EQ(journal.Messages(), std::vector<uint32_t>{midi::AllNotesOff()});
    EXPECT_FALSE(output.Send(midi::NoteOn(62, 88)));  // dropped, not sent on a closed device
    EXPECT_EQ(journal.sendsWhileClosed, 0);

    journal.Clear();
    ASSERT_TRUE(output.Reclaim());
    EXPECT_TRUE(output.IsOpen());
    EXPECT_EQ(journal.opens, 2);
    const std::vector<uint32_t> restored = {midi::ProgramChange(73), midi::Pack(0xB0, 7, 90)};
    EXPECT_EQ(journal.Messages(), restored);
    EXPECT_TRUE(output.Reclaim());  // already back: nothing more
    EXPECT_EQ(journal.opens, 2);
    output.Release();
    journal.failOpen = true;
    EXPECT_FALSE(output.Reclaim());
    journal.failOpen = false;
    EXPECT_TRUE(output.Reclaim());  // a failed reclaim can be tried again
    output.Close();
    EXPECT_EQ(journal.Messages().back(), midi::AllNotesOff());
    EXPECT_EQ(journal.closes, 3);
    EXPECT_FALSE(output.Send(midi::NoteOn(60, 88)));
}

TEST_F(SharedMidiOutputTest, AMissingDeviceIsTriedOnceAndSendsAreDropped) {
    journal.failOpen = true;
    EXPECT_FALSE(output.Open());
    journal.failOpen = false;
    EXPECT_FALSE(output.Open());  // reported once: no second attempt, no second message
    EXPECT_EQ(journal.opens, 0);
    EXPECT_FALSE(output.Send(midi::NoteOn(60, 88)));
    output.Release();
    EXPECT_FALSE(output.Reclaim());
    EXPECT_EQ(journal.sendsWhileClosed, 0);
}

}  // namespace
}  // namespace melvora

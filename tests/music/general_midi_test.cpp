#include "music/general_midi.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace melvora {
namespace {

TEST(GeneralMidi, MenuCommandsChooseTheirProgramsOneEach) {
    const struct {
        int command, program;
        const char* name;
    } cases[] = {
        {32917, 0, "Acoustic Grand Piano"},
        {32989, 72, "Piccolo"},
        {32990, -1, nullptr},
        {32991, 73, "Flute"},
        {32997, 79, "Ocarina"},
        {32998, -1, nullptr},
        {32999, 80, "Lead 1 (square)"},
        {33046, 127, "Gunshot"},
        {33047, -1, nullptr},
        {32916, -1, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GeneralMidi::ProgramOfCommand(c.command), c.program) << c.command;
        if (c.program >= 0) {
            EXPECT_EQ(GeneralMidi::CommandOfProgram(c.program), c.command);
            EXPECT_STREQ(GeneralMidi::ProgramName(c.program), c.name);
        }
    }
    // Every program has one name and one command.
    std::set<int> commands;
    std::set<std::string> names;
    for (int p = 0; p < GeneralMidi::kProgramCount; ++p) {
        ASSERT_NE(GeneralMidi::ProgramName(p), nullptr);
        names.insert(GeneralMidi::ProgramName(p));
        commands.insert(GeneralMidi::CommandOfProgram(p));
        EXPECT_EQ(GeneralMidi::ProgramOfCommand(GeneralMidi::CommandOfProgram(p)), p);
    }
    EXPECT_EQ(names.size(), 128u);
    EXPECT_EQ(commands.size(), 128u);
    EXPECT_STREQ(GeneralMidi::FamilyName(0), "Piano");
    EXPECT_STREQ(GeneralMidi::FamilyName(15), "Sound Effects");
    EXPECT_EQ(GeneralMidi::FamilyName(16), nullptr);
    EXPECT_EQ(GeneralMidi::ProgramName(128), nullptr);
}

}  // namespace
}  // namespace melvora

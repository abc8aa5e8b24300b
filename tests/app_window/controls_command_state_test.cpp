#include <gtest/gtest.h>

#include "app/controls_command_state.h"
#include "app/controls_commands.h"

namespace melvora {
namespace {

using Inputs = ControlsCommandState::Inputs;

struct FileCase {
    bool busy, opened, recorded;
    bool newOpenEnabled, saveEnabled;
};

class ControlsCommandStateFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(ControlsCommandStateFiles, NewOpenAndSaveFollowTheTransport) {
    const FileCase c = GetParam();
    Inputs in;
    in.busy = c.busy;
    in.opened = c.opened;
    in.recorded = c.recorded;
    EXPECT_EQ(ControlsCommandState::Evaluate(controls::kCommandNew, in).enabled, c.newOpenEnabled);
    EXPECT_EQ(ControlsCommandState::Evaluate(controls::kCommandOpen, in).enabled, c.newOpenEnabled);
    EXPECT_EQ(ControlsCommandState::Evaluate(controls::kCommandSave, in).enabled, c.saveEnabled);
    // Options, Exit and the help commands never depend on the transport.
    for (int id : {controls::kCommandOptions, controls::kCommandExit, controls::kCommandHelpTopics,
                   controls::kCommandAbout}) {
        EXPECT_TRUE(ControlsCommandState::Evaluate(id, in).enabled) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ControlsCommandStateFiles,
                         ::testing::Values(
                             // idle or stopped or paused, nothing recorded
                             FileCase{false, false, false, true, false},
                             // unsaved recording in the working file
                             FileCase{false, false, true, true, true},
                             // a user's file is open: its recordings are in it already
                             FileCase{false, true, true, true, false},
                             FileCase{false, true, false, true, false},
                             // recording or replaying
                             FileCase{true, false, true, false, false},
                             FileCase{true, true, false, false, false}));

TEST(ControlsCommandState, ExercisesStayDisabledUntilTheChooserExists) {
    Inputs in;
    EXPECT_FALSE(ControlsCommandState::Evaluate(controls::kCommandExercises, in).enabled);
    in.exercisesAvailable = true;
    EXPECT_TRUE(ControlsCommandState::Evaluate(controls::kCommandExercises, in).enabled);
    in.busy = true;
    EXPECT_FALSE(ControlsCommandState::Evaluate(controls::kCommandExercises, in).enabled);
}

TEST(ControlsCommandState, ViewItemsAreCheckedWhileTheirWindowIsShown) {
    Inputs in;
    in.shown = {true, false, true, false, true};
    for (int i = 0; i < 5; ++i) {
        const int id = controls::ViewCommandOfWindow(i);
        const ControlsCommandState::Ui ui = ControlsCommandState::Evaluate(id, in);
        EXPECT_EQ(ui.checked, in.shown[i]) << id;
        EXPECT_TRUE(ui.enabled) << id;
    }
    EXPECT_FALSE(ControlsCommandState::Evaluate(controls::kCommandNew, in).checked);
}

TEST(ControlsCommands, ViewCommandsMapToTheWindowIndices) {
    EXPECT_EQ(controls::ViewCommandOfWindow(0), 33071);
    EXPECT_EQ(controls::ViewCommandOfWindow(1), 33057);
    EXPECT_EQ(controls::ViewCommandOfWindow(2), 33058);
    EXPECT_EQ(controls::ViewCommandOfWindow(3), 33059);
    EXPECT_EQ(controls::ViewCommandOfWindow(4), 33068);
    EXPECT_EQ(controls::ViewCommandOfWindow(5), 0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(controls::WindowOfViewCommand(controls::ViewCommandOfWindow(i)), i);
    }
    EXPECT_EQ(controls::WindowOfViewCommand(controls::kCommandNew), -1);
}

}  // namespace
}  // namespace melvora

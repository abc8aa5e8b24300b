#include <gtest/gtest.h>

#include "app/controls_command_state.h"
#include "app/controls_commands.h"

namespace melvora {
namespace {

using Inputs = ControlsCommandState::Inputs;

struct FileCase {
    bool canNewOrOpen, canSave;
};

class ControlsCommandStateFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(ControlsCommandStateFiles, FileCommandsFollowTheDeck) {
    const FileCase c = GetParam();
    Inputs in;
    in.canNewOrOpen = c.canNewOrOpen;
    in.canSave = c.canSave;
    in.exercisesAvailable = true;
    EXPECT_EQ(ControlsCommandState::Evaluate(controls::kCommandNew, in).enabled, c.canNewOrOpen);
    EXPECT_EQ(ControlsCommandState::Evaluate(controls::kCommandOpen, in).enabled, c.canNewOrOpen);
    EXPECT_EQ(ControlsCommandState::Evaluate(controls::kCommandExercises, in).enabled,
              c.canNewOrOpen);
    EXPECT_EQ(ControlsCommandState::Evaluate(controls::kCommandSave, in).enabled, c.canSave);
    // Options, Exit and the help commands never depend on the transport.
    for (int id : {controls::kCommandOptions, controls::kCommandExit, controls::kCommandHelpTopics,
                   controls::kCommandAbout}) {
        EXPECT_TRUE(ControlsCommandState::Evaluate(id, in).enabled) << id;
        EXPECT_FALSE(ControlsCommandState::Evaluate(id, in).checked) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Deck, ControlsCommandStateFiles,
                         ::testing::Values(FileCase{true, false}, FileCase{true, true},
                                           FileCase{false, false}));

TEST(ControlsCommandState, ExercisesStayDisabledUntilTheChooserExists) {
    Inputs in;
    EXPECT_FALSE(ControlsCommandState::Evaluate(controls::kCommandExercises, in).enabled);
    in.exercisesAvailable = true;
    EXPECT_TRUE(ControlsCommandState::Evaluate(controls::kCommandExercises, in).enabled);
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
    EXPECT_EQ(controls::ViewCommandOfWindow(-1), 0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(controls::WindowOfViewCommand(controls::ViewCommandOfWindow(i)), i);
    }
    EXPECT_EQ(controls::WindowOfViewCommand(controls::kCommandNew), -1);
}

}  // namespace
}  // namespace melvora

#include <gtest/gtest.h>

#include "app/controls_command_state.h"
#include "app/controls_commands.h"

namespace melvora {
namespace {

using Inputs = ControlsCommandState::Inputs;

bool Enabled(int id, const Inputs& in) {
    return ControlsCommandState::Evaluate(id, in).enabled;
}

TEST(ControlsCommandState, FileCommandsFollowTheDeckAndTheChooser) {
    for (const auto& c :
         {std::make_pair(true, false), std::make_pair(true, true), std::make_pair(false, false)}) {
        Inputs in;
        in.canNewOrOpen = c.first;
        in.canSave = c.second;
        in.exercisesAvailable = true;
        EXPECT_EQ(Enabled(controls::kCommandNew, in), c.first);
        EXPECT_EQ(Enabled(controls::kCommandOpen, in), c.first);
        EXPECT_EQ(Enabled(controls::kCommandExercises, in), c.first);
        EXPECT_EQ(Enabled(controls::kCommandSave, in), c.second);
        // Options, Exit and the help commands never depend on the transport.
        for (int id : {controls::kCommandOptions, controls::kCommandExit,
                       controls::kCommandHelpTopics, controls::kCommandAbout}) {
            EXPECT_TRUE(Enabled(id, in)) << id;
            EXPECT_FALSE(ControlsCommandState::Evaluate(id, in).checked) << id;
        }
        in.exercisesAvailable = false;
        EXPECT_FALSE(Enabled(controls::kCommandExercises, in));
    }
}

TEST(ControlsCommandState, ViewItemsAreCheckedWhileTheirWindowIsShown) {
    Inputs in;
    in.shown = {true, false, true, false, true};
    const int ids[] = {33071, 33057, 33058, 33059, 33068};  // the View menu's items
    for (int i = 0; i < 5; ++i) {
        const int id = controls::ViewCommandOfWindow(i);
        EXPECT_EQ(id, ids[i]);
        EXPECT_EQ(controls::WindowOfViewCommand(id), i);
        EXPECT_EQ(ControlsCommandState::Evaluate(id, in).checked, in.shown[i]) << id;
        EXPECT_TRUE(Enabled(id, in)) << id;
    }
    EXPECT_FALSE(ControlsCommandState::Evaluate(controls::kCommandNew, in).checked);
    EXPECT_EQ(controls::ViewCommandOfWindow(5), 0);
    EXPECT_EQ(controls::WindowOfViewCommand(controls::kCommandNew), -1);
}

}  // namespace
}  // namespace melvora

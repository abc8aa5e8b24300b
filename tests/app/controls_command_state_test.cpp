#include <gtest/gtest.h>

#include "app/controls_command_state.h"
#include "app/floating_window.h"
#include "resource_ids.h"

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
        EXPECT_EQ(Enabled(ID_FILE_NEW, in), c.first);
        EXPECT_EQ(Enabled(ID_FILE_OPEN, in), c.first);
        EXPECT_EQ(Enabled(ID_EXERCISES, in), c.first);
        EXPECT_EQ(Enabled(ID_FILE_SAVE, in), c.second);
        // Options, Exit and the help commands never depend on the transport.
        for (int id : {ID_OPTIONS, ID_EXIT, ID_HELP_TOPICS, ID_ABOUT}) {
            EXPECT_TRUE(Enabled(id, in)) << id;
            EXPECT_FALSE(ControlsCommandState::Evaluate(id, in).checked) << id;
        }
        in.exercisesAvailable = false;
        EXPECT_FALSE(Enabled(ID_EXERCISES, in));
    }
}

TEST(ControlsCommandState, ViewItemsAreCheckedWhileTheirWindowIsShown) {
    Inputs in;
    in.shown = {true, false, true, false, true};
    // The View menu's items, in set order.
    const int ids[] = {ID_VIEW_ANALYSIS, ID_VIEW_MEDIA_PLAYER, ID_VIEW_KEYBOARD, ID_VIEW_STAFF,
                       ID_VIEW_VOLUME};
    for (int i = 0; i < kFloatingWindowCount; ++i) {
        FloatingWindow window = FloatingWindow::Volume;
        ASSERT_TRUE(FloatingWindowAt(i, &window));
        const int id = Describe(window).viewCommand;
        EXPECT_EQ(id, ids[i]);
        FloatingWindow back = FloatingWindow::Analysis;
        ASSERT_TRUE(FloatingWindowOfCommand(id, &back));
        EXPECT_EQ(back, window);
        EXPECT_EQ(ControlsCommandState::Evaluate(id, in).checked, in.shown[i]) << id;
        EXPECT_TRUE(Enabled(id, in)) << id;
    }
    EXPECT_FALSE(ControlsCommandState::Evaluate(ID_FILE_NEW, in).checked);
    FloatingWindow none = FloatingWindow::Analysis;
    EXPECT_FALSE(FloatingWindowAt(kFloatingWindowCount, &none));
    EXPECT_FALSE(FloatingWindowAt(-1, &none));
    EXPECT_FALSE(FloatingWindowOfCommand(ID_FILE_NEW, &none));
}

}  // namespace
}  // namespace melvora

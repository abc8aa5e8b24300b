#pragma once

#include <array>

namespace melvora {

// Whether a menu command of the main controls window is enabled and checked, decided each
// time one of its menus opens.
class ControlsCommandState {
  public:
    struct Inputs {
        // New and Open may run: the transport is neither recording nor replaying.
        bool canNewOrOpen = true;
        // Save may run: an unsaved recording is in the working file and the deck is at rest.
        bool canSave = false;
        // The exercise chooser exists in this build.
        bool exercisesAvailable = false;
        // Shown flags of the five floating windows.
        std::array<bool, 5> shown{};
    };

    struct Ui {
        bool enabled = true;
        bool checked = false;
    };

    // The state of `commandId`; commands without a rule are enabled and unchecked.
    static Ui Evaluate(int commandId, const Inputs& inputs);
};

}  // namespace melvora

#pragma once

#include <array>

namespace melvora {

// Whether a menu command of the main controls window is enabled and checked, decided each
// time one of its menus opens.
class ControlsCommandState {
  public:
    struct Inputs {
        // The transport is recording or replaying.
        bool busy = false;
        // The current file was opened by the user (not the working file).
        bool opened = false;
        // Something was recorded into the working file and not saved yet.
        bool recorded = false;
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

#include "app/controls_command_state.h"

#include "app/controls_commands.h"

namespace melvora {

ControlsCommandState::Ui ControlsCommandState::Evaluate(int commandId, const Inputs& inputs) {
    Ui ui;
    switch (commandId) {
        case controls::kCommandNew:
        case controls::kCommandOpen:
            ui.enabled = inputs.canNewOrOpen;
            return ui;
        case controls::kCommandExercises:
            // Follows New and Open: the exercises take over the transport.
            ui.enabled = inputs.canNewOrOpen && inputs.exercisesAvailable;
            return ui;
        case controls::kCommandSave:
            ui.enabled = inputs.canSave;
            return ui;
        default:
            break;
    }
    const int window = controls::WindowOfViewCommand(commandId);
    if (window >= 0) {
        ui.checked = inputs.shown[window];
    }
    return ui;
}

}  // namespace melvora

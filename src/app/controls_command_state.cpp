#include "app/controls_command_state.h"

#include "app/controls_commands.h"

namespace melvora {

ControlsCommandState::Ui ControlsCommandState::Evaluate(int commandId, const Inputs& inputs) {
    Ui ui;
    switch (commandId) {
        case controls::kCommandNew:
        case controls::kCommandOpen:
            ui.enabled = !inputs.busy;
            return ui;
        case controls::kCommandExercises:
            ui.enabled = !inputs.busy && inputs.exercisesAvailable;
            return ui;
        case controls::kCommandSave:
            // Only an unsaved recording in the working file can be saved.
            ui.enabled = !inputs.busy && !inputs.opened && inputs.recorded;
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

#include "app/controls_command_state.h"

#include "app/floating_window.h"
#include "resource_ids.h"

namespace melvora {

ControlsCommandState::Ui ControlsCommandState::Evaluate(int commandId, const Inputs& inputs) {
    Ui ui;
    switch (commandId) {
        case ID_FILE_NEW:
        case ID_FILE_OPEN:
            ui.enabled = inputs.canNewOrOpen;
            return ui;
        case ID_EXERCISES:
            // Follows New and Open: the exercises take over the transport.
            ui.enabled = inputs.canNewOrOpen && inputs.exercisesAvailable;
            return ui;
        case ID_FILE_SAVE:
            ui.enabled = inputs.canSave;
            return ui;
        default:
            break;
    }
    FloatingWindow window = FloatingWindow::Analysis;
    if (FloatingWindowOfCommand(commandId, &window)) {
        ui.checked = inputs.shown[static_cast<size_t>(IndexOf(window))];
    }
    return ui;
}

}  // namespace melvora

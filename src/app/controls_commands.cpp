#include "app/controls_commands.h"

namespace melvora {
namespace controls {

namespace {

constexpr int kViewCommands[5] = {kCommandViewAnalysis, kCommandViewMediaPlayer,
                                  kCommandViewKeyboard, kCommandViewStaff, kCommandViewVolume};

}  // namespace

int ViewCommandOfWindow(int index) {
    if (index < 0 || index >= 5) {
        return 0;
    }
    return kViewCommands[index];
}

int WindowOfViewCommand(int commandId) {
    for (int i = 0; i < 5; ++i) {
        if (kViewCommands[i] == commandId) {
            return i;
        }
    }
    return -1;
}

}  // namespace controls
}  // namespace melvora

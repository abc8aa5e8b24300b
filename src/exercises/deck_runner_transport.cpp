#include "exercises/deck_runner_transport.h"

namespace melvora {

void DeckRunnerTransport::StopRecording() {
    if (deck_.Transport().Mode() == TransportMode::Recording) {
        deck_.StopRecording();
    }
}

}  // namespace melvora

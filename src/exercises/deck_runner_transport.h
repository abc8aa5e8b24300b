#pragma once

#include "transport/deck_operations.h"
#include "exercises/runner_transport.h"

namespace melvora {

// The exercise runner's transport operations on the main controls' deck.
class DeckRunnerTransport : public RunnerTransport {
  public:
    explicit DeckRunnerTransport(DeckOperations& deck) : deck_(deck) {}

    void Pause() override { deck_.Transport().Pause(); }
    void Resume() override { deck_.Transport().Resume(); }
    void RecordToggle() override { deck_.RecordToggle(); }
    // Only a running take is stopped: from RecordStopped the deck's Stop would start a new
    // take, which a try whose recording failed must not do.
    void StopRecording() override;
    [[nodiscard]] bool SaveTo(const std::string& targetPath) override {
        return deck_.SaveTo(targetPath);
    }
    void NewForced() override { deck_.New(true); }

  private:
    DeckOperations& deck_;
};

}  // namespace melvora

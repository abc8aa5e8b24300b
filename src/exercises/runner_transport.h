#pragma once

#include <string>

namespace melvora {

// The main controls' transport operations that the exercise runner records tries with. The
// program forwards them to the deck operations; tests record the calls. Window thread.
class RunnerTransport {
  public:
    virtual ~RunnerTransport() = default;
    // The worker's handshake; pauses nest.
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Starts a take into the working file.
    virtual void RecordToggle() = 0;
    // Ends the running take (nothing when none runs).
    virtual void StopRecording() = 0;
    // Copies the take to `targetPath` (UTF-8); true on success or when nothing was recorded.
    [[nodiscard]] virtual bool SaveTo(const std::string& targetPath) = 0;
    // Empties the working file without asking, for the next try.
    virtual void NewForced() = 0;
};

}  // namespace melvora

#pragma once

namespace melvora {

// Command identifiers of the deck buttons; the worker posts the first two at the end of a
// replayed file.
constexpr int kPlayCommandId = 1009;
constexpr int kRewindCommandId = 1008;
constexpr int kRecCommandId = 1006;
constexpr int kEjectCommandId = 1011;

// Where the transport's worker sends commands. The main controls window implements it with
// PostMessage(WM_COMMAND, id, button handle); tests with a queue. PostCommand is called on the
// worker thread and must only queue the command: the command runs later on the window thread,
// which is the thread that may change the transport's mode.
class TransportOwner {
  public:
    virtual ~TransportOwner() = default;
    virtual void PostCommand(int commandId) = 0;
};

}  // namespace melvora

#pragma once

#include "exercises/runner_transport.h"
#include "music/midi_sender.h"

namespace melvora {

// What the exercise window needs from the main controls window, which owns the transport,
// the MIDI output and the floating windows and stays hidden while the exercise runs.
class ExerciseHost {
  public:
    virtual ~ExerciseHost() = default;
    virtual RunnerTransport& ExerciseTransport() = 0;
    // The shared MIDI output; null when there is none (the samples then play silently).
    virtual MidiSender* ExerciseMidi() = 0;
    // Options and the View commands (analysis, staff, volume) are the main window's.
    virtual void ForwardCommand(int commandId) = 0;
    virtual bool CommandChecked(int commandId) = 0;
    // The exercise window moved: the floating windows stuck to it follow.
    virtual void ExerciseWindowMoved() = 0;
    // The exercise is over. Must only queue the restoring: the main window destroys the
    // exercise window later, outside the exercise window's own message handling.
    virtual void ExerciseEnded() = 0;
};

}  // namespace melvora

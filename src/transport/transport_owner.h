#pragma once

// The deck buttons' ids (IDC_REC ... IDC_EJECT) are the commands; the worker posts IDC_PLAY and
// IDC_REW at the end of a replayed file.
#include "resource_ids.h"

namespace melvora {

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

#pragma once

#include "transport/transport_event.h"

namespace melvora {

// Where the transport's worker reports what happened. The main controls window implements it
// by posting a message to itself; tests with a queue. PostEvent is called on the worker thread
// and must only queue the event: it is handled later on the window thread, which is the thread
// that may change the transport's mode.
class TransportOwner {
  public:
    virtual ~TransportOwner() = default;
    // `deviceError` is the sound system's error code for CaptureFailed and PlaybackFailed (0
    // when the device simply stopped returning buffers), else 0.
    virtual void PostEvent(TransportEvent event, int deviceError) = 0;
};

}  // namespace melvora

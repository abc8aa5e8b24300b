#pragma once

#include <cstdint>

namespace melvora {

// What the transport's worker reports to the window that owns it. Kept apart from the buttons'
// commands, so that the end of a replayed file is never mistaken for a click.
enum class TransportEvent : int32_t {
    // The replay reader ran dry; the worker passes nothing on until the window pauses and
    // rewinds the replay.
    ReplayEnded = 1,
    // A block could not be appended to the current file (a full disk, a lost drive); the
    // worker appends nothing more until the recording is stopped.
    RecordingStopped = 2,
    // The capture device stopped returning buffers or failed; the worker closed it.
    CaptureFailed = 3,
    // The playback device stopped taking buffers or failed; the worker closed it.
    PlaybackFailed = 4,
};

}  // namespace melvora

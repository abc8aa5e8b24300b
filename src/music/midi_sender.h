#pragma once

#include <cstdint>

namespace melvora {

// Where MIDI short messages go: the shared output in the program, a recording fake in
// tests. A message is packed as status | data1 << 8 | data2 << 16, channel 1.
// Send may be called from any thread; it returns false when no output is open, and the
// message is then dropped (the program carries on silently without a MIDI device).
class MidiSender {
  public:
    virtual ~MidiSender() = default;
    virtual bool Send(uint32_t packedShortMessage) = 0;
};

}  // namespace melvora

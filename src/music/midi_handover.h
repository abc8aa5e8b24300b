#pragma once

namespace melvora {

// The media player borrows the MIDI output device around a MIDI file: the shared output
// closes it (senders then see no output) and takes it back afterwards, restoring the
// instrument and volume it had.
class MidiHandover {
  public:
    virtual ~MidiHandover() = default;
    // Closes the shared output so that another player can open the device.
    virtual void Release() = 0;
    // Reopens it; false when the device cannot be opened again.
    virtual bool Reclaim() = 0;
};

}  // namespace melvora

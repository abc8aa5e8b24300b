#pragma once

#include <cstdint>

namespace melvora {

// The midiOut shaped seam under the shared MIDI output: the WINMM backend in the program, a
// recording fake in tests. A short message is packed as status | data1 << 8 | data2 << 16.
// One object is one device at a time; it is not thread-safe by itself (the shared output
// serialises every call).
class MidiOut {
  public:
    // Device id of the system's MIDI mapper (MIDI_MAPPER).
    static constexpr int kMapper = -1;

    virtual ~MidiOut() = default;
    // Opens device `deviceId` (0..n-1) or the mapper; true on success. Opening an open port
    // closes it first.
    [[nodiscard]] virtual bool Open(int deviceId) = 0;
    virtual bool IsOpen() const = 0;
    // Sends one short message; false when the port is closed or the device refused it.
    virtual bool ShortMessage(uint32_t packedMessage) = 0;
    // Closes the device; true when it was open and closed.
    virtual bool Close() = 0;

    // Program change on channel 1 (program 0..127).
    bool ProgramChange(int program) {
        return ShortMessage(0xC0u | (static_cast<uint32_t>(program) & 0x7Fu) << 8);
    }
};

}  // namespace melvora

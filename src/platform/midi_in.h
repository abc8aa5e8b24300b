#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace melvora {

// The midiIn shaped seam under the keyboard's MIDI input: the WINMM backend in the program, a
// recording fake in tests.
class MidiIn {
  public:
    // Receives each short message (MIM_DATA) on the system's MIDI thread. It must not block
    // and must not touch windows.
    using Callback = std::function<void(uint32_t packedMessage)>;

    virtual ~MidiIn() = default;
    // Input devices of the system and their product names.
    virtual int DeviceCount() const = 0;
    virtual std::string DeviceName(int deviceId) const = 0;
    // Opens device `deviceId` with `callback`; true on success.
    [[nodiscard]] virtual bool Open(int deviceId, Callback callback) = 0;
    virtual bool IsOpen() const = 0;
    // Starts and stops the delivery of messages; true on success.
    [[nodiscard]] virtual bool Start() = 0;
    virtual bool Stop() = 0;
    // Stops and closes the device; after it returns the callback is not called again.
    virtual bool Close() = 0;
};

}  // namespace melvora

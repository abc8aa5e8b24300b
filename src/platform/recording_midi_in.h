#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi_in.h"

namespace melvora {

// A MIDI input for tests: a list of device names, opens and starts that can be made to fail,
// and Deliver(), which calls the callback as the system's MIDI thread would (call it from a
// thread of the test's choosing).
class RecordingMidiIn : public MidiIn {
  public:
    explicit RecordingMidiIn(std::vector<std::string> deviceNames = {})
        : names_(std::move(deviceNames)) {}

    int DeviceCount() const override { return static_cast<int>(names_.size()); }
    std::string DeviceName(int deviceId) const override;
    [[nodiscard]] bool Open(int deviceId, Callback callback) override;
    bool IsOpen() const override;
    [[nodiscard]] bool Start() override;
    bool Stop() override;
    bool Close() override;

    // Hands `packedMessage` to the callback when the device is open and started.
    void Deliver(uint32_t packedMessage);

    bool failOpen = false;
    bool failStart = false;
    int openedDevice = -1;
    int opens = 0;
    int closes = 0;
    bool started = false;

  private:
    std::vector<std::string> names_;
    mutable std::mutex lock_;
    Callback callback_;
    bool open_ = false;
};

}  // namespace melvora

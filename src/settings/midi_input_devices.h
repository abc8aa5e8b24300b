#pragma once

#include <string>
#include <vector>

namespace melvora {

// The keyboard's MIDI input devices, as the options dialog sees them.
class MidiInputDevices {
  public:
    virtual ~MidiInputDevices() = default;
    // Device names in device order; empty when there are none (or after a failed switch).
    virtual std::vector<std::string> DeviceNames() const = 0;
    // Index of the device in use, -1 for none.
    virtual int SelectedDevice() const = 0;
    // Closes the device in use, opens and starts device `index` and writes its name into
    // the options record's MIDI input name; does not save options.dat (the caller does).
    // On failure it shows its own message and empties the device list.
    virtual bool SelectDevice(int index) = 0;
};

}  // namespace melvora

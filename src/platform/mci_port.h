#pragma once

#include <cstdint>
#include <string>

namespace melvora {

// The media control interface driven by command strings ("open ... alias mydevice", "play
// mydevice notify"...). The Windows backend sends them with mciSendStringW and names the
// player's window for the end-of-play notification; tests use a recording fake.
class MciPort {
  public:
    virtual ~MciPort() = default;
    // Sends `command`; `reply` (may be null) receives the returned text, at most 127
    // characters. Returns 0 on success, otherwise the MCI error code.
    virtual uint32_t Send(const std::string& command, std::string* reply) = 0;
    // The system's text for error `code` ("" when it has none).
    virtual std::wstring ErrorText(uint32_t code) = 0;
    // Whether the system has a MIDI output for the sequencer. Without one some systems
    // accept "play" for a MIDI file and then stand still, playing nothing, for ever.
    virtual bool MidiOutputAvailable() = 0;
};

}  // namespace melvora

#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/midi_out.h"

namespace melvora {

// A MIDI output that records what it is asked to do, for tests (natively and in the GUI
// suite, where it replaces the WINMM output). Its record is kept by a Journal that outlives
// the port, so a test can hand the port to its owner and still read what was sent. Every
// call is safe from any thread, and a message sent while the port is closed is counted as
// an error (the send-on-a-closed-handle fault the shared output must prevent).
class RecordingMidiOut : public MidiOut {
  public:
    struct Journal {
        mutable std::mutex lock;
        std::vector<uint32_t> messages;  // messages sent while open, in order
        int opens = 0;
        int closes = 0;
        int sendsWhileClosed = 0;
        int lastDeviceId = 0;
        bool failOpen = false;  // the next opens fail (no device)

        std::vector<uint32_t> Messages() const;
        void Clear();
    };

    explicit RecordingMidiOut(Journal& journal) : journal_(journal) {}

    [[nodiscard]] bool Open(int deviceId) override;
    bool IsOpen() const override;
    bool ShortMessage(uint32_t packedMessage) override;
    bool Close() override;

  private:
    Journal& journal_;
    bool open_ = false;
};

}  // namespace melvora

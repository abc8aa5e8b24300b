#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "music/midi_handover.h"
#include "music/midi_sender.h"
#include "platform/midi_out.h"

namespace melvora {

// The one MIDI output of the program. The keyboard opens it once; the keyboard, the staff,
// play-along, the MIDI input echo and the exercises send through it (MidiSender), and the
// media player borrows the device around a MIDI file (MidiHandover).
//
// Threads: every call may come from any thread. One lock orders the port's calls, so a
// sender sees either the open device or none, never a device being closed under it. The
// port's calls do not call back into this object, so the lock is never taken twice.
class SharedMidiOutput : public MidiSender, public MidiHandover {
  public:
    explicit SharedMidiOutput(std::unique_ptr<MidiOut> port);
    ~SharedMidiOutput() override;
    SharedMidiOutput(const SharedMidiOutput&) = delete;
    SharedMidiOutput& operator=(const SharedMidiOutput&) = delete;

    // Opens the device (the MIDI mapper by default) and selects program 0. Only the first call
    // tries the device; later calls return what it gave, so a missing device is reported once.
    [[nodiscard]] bool Open(int deviceId = MidiOut::kMapper);
    // The device is open now (false while the media player has it).
    bool IsOpen() const;
    // Sends all notes off and closes the device for good.
    void Close();

    // MidiSender. Program changes and channel-volume changes are remembered, so that a
    // reclaimed device gets the instrument and volume back.
    bool Send(uint32_t packedShortMessage) override;

    // MidiHandover: all notes off, then close; reopen and restore.
    void Release() override;
    bool Reclaim() override;

  private:
    bool OpenLocked();

    mutable std::mutex lock_;
    std::unique_ptr<MidiOut> port_;  // guarded by lock_
    int deviceId_ = MidiOut::kMapper;
    bool tried_ = false;
    bool openedOnce_ = false;
    bool released_ = false;
    uint32_t program_ = 0;
    int channelVolume_ = -1;  // -1: never set
};

}  // namespace melvora

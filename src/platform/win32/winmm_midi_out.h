#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <memory>

#include "platform/midi_out.h"

namespace melvora {

// The MIDI output of the system through WINMM (midiOutOpen without a callback).
class CWinmmMidiOut : public MidiOut {
  public:
    CWinmmMidiOut() = default;
    ~CWinmmMidiOut() override;

    [[nodiscard]] bool Open(int deviceId) override;
    bool IsOpen() const override { return handle_ != nullptr; }
    bool ShortMessage(uint32_t packedMessage) override;
    bool Close() override;

  private:
    HMIDIOUT handle_ = nullptr;
};

std::unique_ptr<MidiOut> MakeWinmmMidiOut();

}  // namespace melvora

#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <memory>

#include "platform/midi_in.h"

namespace melvora {

// A MIDI input device of the system through WINMM (midiInOpen with a callback function).
class CWinmmMidiIn : public MidiIn {
  public:
    CWinmmMidiIn() = default;
    ~CWinmmMidiIn() override;

    int DeviceCount() const override;
    std::string DeviceName(int deviceId) const override;
    [[nodiscard]] bool Open(int deviceId, Callback callback) override;
    bool IsOpen() const override { return handle_ != nullptr; }
    [[nodiscard]] bool Start() override;
    bool Stop() override;
    bool Close() override;

  private:
    static void CALLBACK InputProc(HMIDIIN handle, UINT message, DWORD_PTR instance,
                                   DWORD_PTR param1, DWORD_PTR param2);

    HMIDIIN handle_ = nullptr;
    Callback callback_;
};

std::unique_ptr<MidiIn> MakeWinmmMidiIn();

}  // namespace melvora

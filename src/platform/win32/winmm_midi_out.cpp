#include "platform/win32/winmm_midi_out.h"

namespace melvora {

CWinmmMidiOut::~CWinmmMidiOut() {
    Close();
}

bool CWinmmMidiOut::Open(int deviceId) {
    Close();
    const UINT device = deviceId == kMapper ? MIDI_MAPPER : static_cast<UINT>(deviceId);
    HMIDIOUT handle = nullptr;
    if (::midiOutOpen(&handle, device, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        return false;
    }
    handle_ = handle;
    return true;
}

bool CWinmmMidiOut::ShortMessage(uint32_t packedMessage) {
    return handle_ != nullptr && ::midiOutShortMsg(handle_, packedMessage) == MMSYSERR_NOERROR;
}

bool CWinmmMidiOut::Close() {
    if (handle_ == nullptr) {
        return false;
    }
    // Silences what still sounds so that the closed device leaves no hanging notes.
    ::midiOutReset(handle_);
    const bool closed = ::midiOutClose(handle_) == MMSYSERR_NOERROR;
    handle_ = nullptr;
    return closed;
}

std::unique_ptr<MidiOut> MakeWinmmMidiOut() {
    return std::make_unique<CWinmmMidiOut>();
}

}  // namespace melvora

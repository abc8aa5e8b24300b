#include "platform/win32/winmm_midi_in.h"

#include <cwchar>

#include "platform/text_encoding.h"

namespace melvora {

CWinmmMidiIn::~CWinmmMidiIn() {
    Close();
}

int CWinmmMidiIn::DeviceCount() const {
    return static_cast<int>(::midiInGetNumDevs());
}

std::string CWinmmMidiIn::DeviceName(int deviceId) const {
    // The wide name, as UTF-8: the options keep it and the windows show it in any code page.
    MIDIINCAPSW caps = {};
    if (deviceId < 0 || ::midiInGetDevCapsW(static_cast<UINT_PTR>(deviceId), &caps, sizeof(caps)) !=
                            MMSYSERR_NOERROR) {
        return std::string();
    }
    return WideToUtf8(std::wstring(caps.szPname, ::wcsnlen(caps.szPname, MAXPNAMELEN)));
}

bool CWinmmMidiIn::Open(int deviceId, Callback callback) {
    Close();
    callback_ = std::move(callback);
    HMIDIIN handle = nullptr;
    if (deviceId < 0 ||
        ::midiInOpen(&handle, static_cast<UINT>(deviceId),
                     reinterpret_cast<DWORD_PTR>(&CWinmmMidiIn::InputProc),
                     reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        callback_ = nullptr;
        return false;
    }
    handle_ = handle;
    return true;
}

bool CWinmmMidiIn::Start() {
    return handle_ != nullptr && ::midiInStart(handle_) == MMSYSERR_NOERROR;
}

bool CWinmmMidiIn::Stop() {
    return handle_ != nullptr && ::midiInStop(handle_) == MMSYSERR_NOERROR;
}

bool CWinmmMidiIn::Close() {
    if (handle_ == nullptr) {
        return false;
    }
    ::midiInStop(handle_);
    ::midiInReset(handle_);
    const bool closed = ::midiInClose(handle_) == MMSYSERR_NOERROR;
    handle_ = nullptr;
    callback_ = nullptr;
    return closed;
}

void CALLBACK CWinmmMidiIn::InputProc(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                      DWORD_PTR) {
    if (message != MIM_DATA || instance == 0) {
        return;
    }
    auto* self = reinterpret_cast<CWinmmMidiIn*>(instance);
    if (self->callback_) {
        self->callback_(static_cast<uint32_t>(param1));
    }
}

std::unique_ptr<MidiIn> MakeWinmmMidiIn() {
    return std::make_unique<CWinmmMidiIn>();
}

}  // namespace melvora

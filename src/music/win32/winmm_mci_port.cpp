#include "music/win32/winmm_mci_port.h"

#include <mmsystem.h>

#include "platform/win32/resource_strings.h"

namespace melvora {

namespace {

constexpr UINT kReplyChars = 128;

}  // namespace

uint32_t WinmmMciPort::Send(const std::string& command, std::string* reply) {
    // Wide, so that a path beyond the system's code page still opens.
    wchar_t buffer[kReplyChars] = {};
    const MCIERROR error =
        ::mciSendStringW(Utf8ToWide(command).c_str(), buffer, kReplyChars, notifyWindow_);
    if (reply != nullptr) {
        buffer[kReplyChars - 1] = L'\0';
        *reply = WideToUtf8(buffer);
    }
    return static_cast<uint32_t>(error);
}

std::wstring WinmmMciPort::ErrorText(uint32_t code) {
    wchar_t text[kReplyChars] = {};
    if (!::mciGetErrorStringW(code, text, kReplyChars)) {
        return std::wstring();
    }
    text[kReplyChars - 1] = L'\0';
    return text;
}

bool WinmmMciPort::MidiOutputAvailable() {
    // The MIDI mapper alone does not count: it needs a device to map to.
    return ::midiOutGetNumDevs() > 0;
}

}  // namespace melvora

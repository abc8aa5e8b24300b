#pragma once

#include <windows.h>

#include "platform/mci_port.h"

namespace melvora {

// MCI command strings through mciSendStringW. The end of a "play ... notify" arrives as
// MM_MCINOTIFY at the notification window.
class WinmmMciPort : public MciPort {
  public:
    void SetNotifyWindow(HWND window) { notifyWindow_ = window; }

    uint32_t Send(const std::string& command, std::string* reply) override;
    std::wstring ErrorText(uint32_t code) override;
    bool MidiOutputAvailable() override;

  private:
    HWND notifyWindow_ = nullptr;
};

}  // namespace melvora

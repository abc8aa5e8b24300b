#pragma once

#include <windows.h>

#include <mmsystem.h>

#include "platform/mixer_port.h"

namespace melvora {

// The mixer port over the WINMM mixer functions. The mixers are found through the default
// wave devices (opened for a moment with a 16 kHz mono format) and report control changes to
// `notifyWindow` as MM_MIXM_CONTROL_CHANGE (wParam the mixer handle, lParam the control id).
class MixerPortWinmm : public MixerPort {
  public:
    explicit MixerPortWinmm(HWND notifyWindow) : notifyWindow_(notifyWindow) {}
    ~MixerPortWinmm() override;

    // The side of an open mixer handle from a notification; false for an unknown handle.
    bool SideOfHandle(WPARAM mixerHandle, MixerSide* side) const;

    int DeviceCount() override;
    [[nodiscard]] bool Open(MixerSide side) override;
    void Close(MixerSide side) override;
    bool IsOpen(MixerSide side) const override { return mixers_[Index(side)] != nullptr; }

  protected:
    bool QueryDestinationLine(MixerSide side, MixerComponent component, MixerLine* line) override;
    bool QuerySourceLine(MixerSide side, uint32_t destination, uint32_t source,
                         MixerLine* line) override;
    bool QueryControl(MixerSide side, uint32_t lineId, MixerControlType type,
                      MixerControl* control) override;
    bool QueryListTexts(MixerSide side, const MixerControl& control,
                        std::vector<std::string>* names) override;
    bool QueryValues(MixerSide side, const MixerControl& control, uint32_t channels,
                     std::vector<uint32_t>* values) override;
    bool ApplyValues(MixerSide side, const MixerControl& control, uint32_t channels,
                     const std::vector<uint32_t>& values) override;

  private:
    static int Index(MixerSide side) { return side == MixerSide::kInput ? 0 : 1; }
    HMIXEROBJ Object(MixerSide side) const {
        return reinterpret_cast<HMIXEROBJ>(mixers_[Index(side)]);
    }

    HWND notifyWindow_;
    HMIXER mixers_[2] = {nullptr, nullptr};
};

}  // namespace melvora

#pragma once

#include <memory>

#include "app/win32/floating_frame_dlg.h"
#include "platform/win32/mixer_port_winmm.h"
#include "platform/win32/tool_tip.h"
#include "settings/volume_mixer.h"
#include "settings/volume_window_owner.h"
#include "ui/win32/skin_slider.h"
#include "views/view_owner.h"
#include "views/win32/energy_bar.h"

namespace melvora {

// The volume window: output volume, recording source, input level and voice activation
// sensitivity, with the energy bar. The mixer logic runs over the system's mixer (or any
// port given for tests); the sensitivity slider works with or without a mixer.
class CVolumeDlg : public CFloatingFrameDlg, private VolumeMixerView {
  public:
    // `port` null: the WINMM mixers.
    CVolumeDlg(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
               const ViewOwner& views, VolumeWindowOwner& volumeOwner,
               std::unique_ptr<MixerPort> port = nullptr);
    ~CVolumeDlg() override;

    CEnergyBar& EnergyBar() { return energyBar_; }
    VolumeMixer* Mixer() { return mixer_.get(); }
    void ApplyLanguage(int language) override;

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // VolumeMixerView
    void EnableControl(Control control, bool enabled) override;
    void SetSourceNames(const std::vector<std::string>& names) override;
    void SelectListItem(int index) override;
    void SetSliderRange(Control slider, int minimum, int maximum, int tickFrequency) override;
    void SetSliderPosition(Control slider, int position) override;
    void StoreInputSource(int source) override;

    HWND ControlHandle(Control control) const;
    void OnVScroll(HWND slider, int code);
    void OnDestroy();

    VolumeWindowOwner& volumeOwner_;
    std::unique_ptr<MixerPort> port_;
    MixerPortWinmm* winmm_ = nullptr;
    std::unique_ptr<VolumeMixer> mixer_;
    CEnergyBar energyBar_;
    CSkinSlider sliders_[3];
    CToolTip toolTip_;
};

}  // namespace melvora

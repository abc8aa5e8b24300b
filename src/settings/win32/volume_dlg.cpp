#include "settings/win32/volume_dlg.h"

#include <commctrl.h>

#include "app/app_options.h"
#include "platform/string_table.h"
#include "platform/win32/resource_strings.h"
#include "platform/win32/trackbar.h"
#include "resource_ids.h"
#include "string_ids.h"

namespace melvora {

namespace {

// Slider ids in the order of the sliders_ array: output, input, voice activation.
constexpr int kSliderIds[3] = {IDC_VOLUME_OUT_SLIDER, IDC_VOLUME_IN_SLIDER, IDC_VOLUME_VAD_SLIDER};
constexpr int kLabelIds[3] = {IDC_VOLUME_OUT_LABEL, IDC_VOLUME_IN_LABEL, IDC_VOLUME_VAD_LABEL};
constexpr int kLabelStrings[3] = {IDS_LABEL_OUT, IDS_LABEL_IN, IDS_LABEL_VAD};
constexpr int kTipStrings[3] = {IDS_SYSTEM_VOLUME, IDS_INPUT_GAIN, IDS_VOICE_ACTIVATION};
constexpr int kThumbFrameWidth = 22;
constexpr int kThumbFrameHeight = 12;

}  // namespace

CVolumeDlg::CVolumeDlg(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
                       const ViewOwner& views, VolumeWindowOwner& volumeOwner,
                       std::unique_ptr<MixerPort> port)
    : CFloatingFrameDlg(description, owner),
      volumeOwner_(volumeOwner),
      port_(std::move(port)),
      energyBar_(views) {}

CVolumeDlg::~CVolumeDlg() {
    DestroyWindow();
}

HWND CVolumeDlg::ControlHandle(Control control) const {
    switch (control) {
        case Control::kOutputSlider:
            return ::GetDlgItem(Handle(), IDC_VOLUME_OUT_SLIDER);
        case Control::kInputSlider:
            return ::GetDlgItem(Handle(), IDC_VOLUME_IN_SLIDER);
        default:
            return ::GetDlgItem(Handle(), IDC_VOLUME_SOURCE);
    }
}

BOOL CVolumeDlg::OnInitDialog() {
    CFloatingFrameDlg::OnInitDialog();

    RECT place = {};
    HWND placeholder = ::GetDlgItem(Handle(), IDC_VOLUME_ENERGY_BAR);
    if (placeholder != nullptr) {
        ::GetWindowRect(placeholder, &place);
        ::MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&place), 2);
    }
    energyBar_.SetLanguage(Language());
    energyBar_.Create(Handle(), place, IDC_VOLUME_ENERGY_BAR);

    for (int i = 0; i < 3; ++i) {
        if (sliders_[i].Attach(Handle(), kSliderIds[i])) {
            sliders_[i].SetChannel(IDB_SLIDER_VOLUME_AFTER, IDB_SLIDER_VOLUME_BEFORE);
            sliders_[i].SetThumb(IDB_THUMB_VOLUME, kThumbFrameWidth, kThumbFrameHeight);
        }
    }

    if (port_ == nullptr) {
        auto winmm = std::make_unique<MixerPortWinmm>(Handle());
        winmm_ = winmm.get();
        port_ = std::move(winmm);
    }
    mixer_ = std::make_unique<VolumeMixer>(*port_, static_cast<VolumeMixerView&>(*this));
    mixer_->Start(Options().notLoaded != 0, Options().inputSource);
    volumeOwner_.InputLevelControlChanged(mixer_.get());

    CTrackbar vad(::GetDlgItem(Handle(), IDC_VOLUME_VAD_SLIDER));
    vad.SetRange(0, 100, false);
    ::SendMessageW(vad.Handle(), TBM_SETTICFREQ, 10, 0);
    vad.SetPos(VolumeMixer::SensitivityPosition(Options().voiceActivationSensitivity));

    if (toolTip_.Create(Handle())) {
        toolTip_.SetDelays(60000, 100, 100);
        for (int i = 0; i < 3; ++i) {
            const std::wstring tip = LoadText(kTipStrings[i], Language());
            toolTip_.AddTool(::GetDlgItem(Handle(), kSliderIds[i]), tip);
            toolTip_.AddTool(::GetDlgItem(Handle(), kLabelIds[i]), tip);
        }
        toolTip_.AddTool(::GetDlgItem(Handle(), IDC_VOLUME_SOURCE),
                         LoadText(IDS_SELECT_INPUT_DEVICE, Language()));
        toolTip_.Activate(true);
    }
    ApplyLanguage(Language());
    return TRUE;
}

void CVolumeDlg::ApplyLanguage(int language) {
    CFloatingFrameDlg::ApplyLanguage(language);
    energyBar_.SetLanguage(language);
    for (int i = 0; i < 3; ++i) {
        ::SetDlgItemTextW(Handle(), kLabelIds[i], LoadText(kLabelStrings[i], language).c_str());
        if (toolTip_.Handle() != nullptr) {
            const std::wstring tip = LoadText(kTipStrings[i], language);
            toolTip_.UpdateTipText(::GetDlgItem(Handle(), kSliderIds[i]), tip);
            toolTip_.UpdateTipText(::GetDlgItem(Handle(), kLabelIds[i]), tip);
        }
    }
    if (toolTip_.Handle() != nullptr) {
        toolTip_.UpdateTipText(::GetDlgItem(Handle(), IDC_VOLUME_SOURCE),
                               LoadText(IDS_SELECT_INPUT_DEVICE, language));
    }
}

// ---- VolumeMixerView ----

void CVolumeDlg::EnableControl(Control control, bool enabled) {
    ::EnableWindow(ControlHandle(control), enabled ? TRUE : FALSE);
}

void CVolumeDlg::SetSourceNames(const std::vector<std::string>& names) {
    HWND combo = ControlHandle(Control::kSourceList);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : names) {
        const std::wstring wide = Utf8ToWide(name);
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
}

void CVolumeDlg::SelectListItem(int index) {
    ::SendMessageW(ControlHandle(Control::kSourceList), CB_SETCURSEL, static_cast<WPARAM>(index),
                   0);
}

void CVolumeDlg::SetSliderRange(Control slider, int minimum, int maximum, int tickFrequency) {
    CTrackbar trackbar(ControlHandle(slider));
    trackbar.SetRange(minimum, maximum, false);
    ::SendMessageW(trackbar.Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(tickFrequency), 0);
}

void CVolumeDlg::SetSliderPosition(Control slider, int position) {
    CTrackbar(ControlHandle(slider)).SetPos(position, true);
}

void CVolumeDlg::StoreInputSource(int source) {
    Options().inputSource = source;
    static_cast<void>(Options().Save());  // a failure is shown by the main window
}

// ---- messages ----

void CVolumeDlg::OnVScroll(HWND slider, int code) {
    const int position = CTrackbar(slider).Pos();
    const int id = ::GetDlgCtrlID(slider);
    if (id == IDC_VOLUME_OUT_SLIDER) {
        mixer_->OnOutputSlider(position);
    } else if (id == IDC_VOLUME_IN_SLIDER) {
        mixer_->OnInputSlider(position);
    } else if (id == IDC_VOLUME_VAD_SLIDER) {
        const float s = VolumeMixer::SensitivityOfPosition(position);
        Options().voiceActivationSensitivity = s;
        volumeOwner_.SensitivityChanged(s);
        // A move by the keyboard ends without a mouse release; it is saved here.
        if (code == TB_ENDTRACK && ::GetCapture() != slider) {
            static_cast<void>(Options().Save());  // a failure is shown by the main window
        }
    }
}

void CVolumeDlg::OnDestroy() {
    volumeOwner_.InputLevelControlChanged(nullptr);
    if (mixer_ != nullptr) {
        mixer_->Stop();
    }
}

INT_PTR CVolumeDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_VSCROLL:
            if (lParam != 0 && mixer_ != nullptr) {
                OnVScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
            }
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_VOLUME_SOURCE && HIWORD(wParam) == CBN_SELCHANGE &&
                mixer_ != nullptr) {
                const LRESULT index =
                    ::SendMessageW(ControlHandle(Control::kSourceList), CB_GETCURSEL, 0, 0);
                if (index != CB_ERR) {
                    mixer_->OnSourceListChanged(static_cast<int>(index));
                }
                return TRUE;
            }
            return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == IDC_VOLUME_VAD_SLIDER && header->code == NM_RELEASEDCAPTURE) {
                static_cast<void>(Options().Save());  // a failure is shown by the main window
                return TRUE;
            }
            return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
        }
        case MM_MIXM_CONTROL_CHANGE: {
            MixerSide side = MixerSide::kInput;
            if (mixer_ != nullptr && winmm_ != nullptr && winmm_->SideOfHandle(wParam, &side)) {
                mixer_->OnControlChanged(side, static_cast<uint32_t>(lParam));
            }
            return TRUE;
        }
        case WM_DESTROY:
            OnDestroy();
            return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
        default:
            return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
    }
}

}  // namespace melvora

#include "platform/win32/mixer_port_winmm.h"

#include "platform/win32/resource_strings.h"

namespace melvora {

namespace {

WAVEFORMATEX FindingFormat() {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 16000;
    format.nAvgBytesPerSec = 32000;
    format.nBlockAlign = 2;
    format.wBitsPerSample = 16;
    return format;
}

MixerComponent ComponentOf(DWORD type) {
    switch (type) {
        case MIXERLINE_COMPONENTTYPE_DST_WAVEIN:
            return MixerComponent::kWaveInDestination;
        case MIXERLINE_COMPONENTTYPE_DST_SPEAKERS:
            return MixerComponent::kSpeakersDestination;
        case MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE:
            return MixerComponent::kMicrophone;
        default:
            return MixerComponent::kOther;
    }
}

MixerLine FromLine(const MIXERLINEW& line) {
    return MixerLine{line.dwDestination, line.dwLineID,
                     line.cConnections,  ComponentOf(line.dwComponentType),
                     line.cChannels,     WideToUtf8(line.szName)};
}

// Looks a line up by the fields of `info` that `how` (MIXER_GETLINEINFOF_...) names.
bool GetLine(HMIXEROBJ mixer, DWORD how, MIXERLINEW* info, MixerLine* line) {
    info->cbStruct = sizeof(*info);
    if (::mixerGetLineInfoW(mixer, info, how | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR) {
        return false;
    }
    *line = FromLine(*info);
    return true;
}

// The details of `control` over `items` (one channel for a list, else `channels`).
MIXERCONTROLDETAILS DetailsOf(const MixerControl& control, uint32_t channels, size_t itemSize,
                              void* items) {
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof(details);
    details.dwControlID = control.id;
    details.cChannels = control.itemCount > 0 ? 1 : channels;
    details.cMultipleItems = control.itemCount;
    details.cbDetails = static_cast<DWORD>(itemSize);
    details.paDetails = items;
    return details;
}

}  // namespace

MixerPortWinmm::~MixerPortWinmm() {
    Close(MixerSide::kInput);
    Close(MixerSide::kOutput);
}

bool MixerPortWinmm::SideOfHandle(WPARAM mixerHandle, MixerSide* side) const {
    for (MixerSide s : {MixerSide::kInput, MixerSide::kOutput}) {
        if (mixers_[Index(s)] != nullptr &&
            reinterpret_cast<WPARAM>(mixers_[Index(s)]) == mixerHandle) {
            *side = s;
            return true;
        }
    }
    return false;
}

int MixerPortWinmm::DeviceCount() {
    return static_cast<int>(::mixerGetNumDevs());
}

namespace {

// The mixer of an open wave device. Some systems (Wine) do not map a handle of the wave
// mapper to a mixer: then the device the mapper chose, or the first (default) device.
template <typename Handle>
bool MixerIdOf(Handle wave, DWORD handleFlag, DWORD deviceFlag,
               MMRESULT(WINAPI* getId)(Handle, UINT*), UINT deviceCount, UINT* mixerId) {
    if (::mixerGetID(reinterpret_cast<HMIXEROBJ>(wave), mixerId, handleFlag) == MMSYSERR_NOERROR) {
        return true;
    }
    UINT device = 0;
    if (getId(wave, &device) != MMSYSERR_NOERROR || device >= deviceCount) {
        device = 0;
    }
    return ::mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(device)), mixerId,
                        deviceFlag) == MMSYSERR_NOERROR;
}

}  // namespace

bool MixerPortWinmm::Open(MixerSide side) {
    if (IsOpen(side)) {
        return true;
    }
    WAVEFORMATEX format = FindingFormat();
    UINT mixerId = 0;
    bool found = false;
    if (side == MixerSide::kInput) {
        HWAVEIN wave = nullptr;
        if (::waveInOpen(&wave, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            return false;
        }
        found = MixerIdOf<HWAVEIN>(wave, MIXER_OBJECTF_HWAVEIN, MIXER_OBJECTF_WAVEIN,
                                   &::waveInGetID, ::waveInGetNumDevs(), &mixerId);
        ::waveInClose(wave);
    } else {
        HWAVEOUT wave = nullptr;
        if (::waveOutOpen(&wave, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            return false;
        }
        found = MixerIdOf<HWAVEOUT>(wave, MIXER_OBJECTF_HWAVEOUT, MIXER_OBJECTF_WAVEOUT,
                                    &::waveOutGetID, ::waveOutGetNumDevs(), &mixerId);
        ::waveOutClose(wave);
    }
    HMIXER mixer = nullptr;
    const DWORD_PTR callback = reinterpret_cast<DWORD_PTR>(notifyWindow_);
    const DWORD flags = notifyWindow_ != nullptr ? CALLBACK_WINDOW : 0;
    if (!found || ::mixerOpen(&mixer, mixerId, callback, 0, MIXER_OBJECTF_MIXER | flags) !=
                      MMSYSERR_NOERROR) {
        return false;
    }
    mixers_[Index(side)] = mixer;
    return true;
}

void MixerPortWinmm::Close(MixerSide side) {
    if (mixers_[Index(side)] != nullptr) {
        ::mixerClose(mixers_[Index(side)]);
        mixers_[Index(side)] = nullptr;
    }
}

bool MixerPortWinmm::QueryDestinationLine(MixerSide side, MixerComponent component,
                                          MixerLine* line) {
    MIXERLINEW info = {};
    info.dwComponentType = component == MixerComponent::kWaveInDestination
                               ? MIXERLINE_COMPONENTTYPE_DST_WAVEIN
                               : MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    return GetLine(Object(side), MIXER_GETLINEINFOF_COMPONENTTYPE, &info, line);
}

bool MixerPortWinmm::QuerySourceLine(MixerSide side, uint32_t destination, uint32_t source,
                                     MixerLine* line) {
    MIXERLINEW info = {};
    info.dwDestination = destination;
    info.dwSource = source;
    return GetLine(Object(side), MIXER_GETLINEINFOF_SOURCE, &info, line);
}

bool MixerPortWinmm::QueryControl(MixerSide side, uint32_t lineId, MixerControlType type,
                                  MixerControl* control) {
    MIXERCONTROLW info = {};
    info.cbStruct = sizeof(info);
    MIXERLINECONTROLSW controls = {};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = lineId;
    controls.dwControlType = type == MixerControlType::kMixer ? MIXERCONTROL_CONTROLTYPE_MIXER
                             : type == MixerControlType::kMux ? MIXERCONTROL_CONTROLTYPE_MUX
                                                              : MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(info);
    controls.pamxctrl = &info;
    if (::mixerGetLineControlsW(Object(side), &controls,
                                MIXER_GETLINECONTROLSF_ONEBYTYPE | MIXER_OBJECTF_HMIXER) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    const bool list = type != MixerControlType::kVolume;
    *control = MixerControl{info.dwControlID,
                            type,
                            list ? info.cMultipleItems : 0,
                            info.Bounds.dwMinimum,
                            info.Bounds.dwMaximum,
                            (info.fdwControl & MIXERCONTROL_CONTROLF_DISABLED) != 0};
    return true;
}

bool MixerPortWinmm::QueryListTexts(MixerSide side, const MixerControl& control,
                                    std::vector<std::string>* names) {
    if (control.itemCount == 0) {
        return false;
    }
    std::vector<MIXERCONTROLDETAILS_LISTTEXTW> texts(control.itemCount);
    MIXERCONTROLDETAILS details = DetailsOf(control, 1, sizeof(texts[0]), texts.data());
    if (::mixerGetControlDetailsW(Object(side), &details,
                                  MIXER_GETCONTROLDETAILSF_LISTTEXT | MIXER_OBJECTF_HMIXER) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    names->clear();
    for (const MIXERCONTROLDETAILS_LISTTEXTW& text : texts) {
        names->push_back(WideToUtf8(text.szName));
    }
    return true;
}

bool MixerPortWinmm::QueryValues(MixerSide side, const MixerControl& control, uint32_t channels,
                                 std::vector<uint32_t>* values) {
    if (channels == 0) {
        return false;
    }
    const uint32_t count = ValueCount(control, channels);
    // Booleans and unsigned values are both one 32-bit value each.
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> raw(count);
    MIXERCONTROLDETAILS details = DetailsOf(control, channels, sizeof(raw[0]), raw.data());
    if (::mixerGetControlDetailsW(Object(side), &details,
                                  MIXER_GETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    values->resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        (*values)[i] = raw[i].dwValue;
    }
    return true;
}

bool MixerPortWinmm::ApplyValues(MixerSide side, const MixerControl& control, uint32_t channels,
                                 const std::vector<uint32_t>& values) {
    const uint32_t count = ValueCount(control, channels);
    if (count == 0 || values.size() != count) {
        return false;
    }
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> raw(count);
    for (uint32_t i = 0; i < count; ++i) {
        raw[i].dwValue = values[i];
    }
    MIXERCONTROLDETAILS details = DetailsOf(control, channels, sizeof(raw[0]), raw.data());
    return ::mixerSetControlDetails(Object(side), &details,
                                    MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) ==
           MMSYSERR_NOERROR;
}

}  // namespace melvora

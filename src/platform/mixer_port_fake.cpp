#include "platform/mixer_port_fake.h"

namespace melvora {

namespace {

constexpr uint32_t kWaveInLineId = 0xFFFF0000u;
constexpr uint32_t kSpeakersLineId = 0;
constexpr uint32_t kSourceLineId = 1000;

}  // namespace

int MixerPortFake::SelectedSourceLine() const {
    std::lock_guard<std::mutex> guard(lock_);
    for (size_t k = 0; k < listValues.size(); ++k) {
        if (listValues[k] == 1) {
            return static_cast<int>(listValues.size() - 1 - k);
        }
    }
    return -1;
}

bool MixerPortFake::Open(MixerSide side) {
    if (devices <= 0 || openFails[static_cast<int>(side)]) {
        return false;
    }
    open_[static_cast<int>(side)] = true;
    return true;
}

void MixerPortFake::Close(MixerSide side) {
    open_[static_cast<int>(side)] = false;
}

bool MixerPortFake::QueryDestinationLine(MixerSide side, MixerComponent component,
                                         MixerLine* line) {
    if (side == MixerSide::kInput && component == MixerComponent::kWaveInDestination &&
        hasWaveInDestination) {
        *line = MixerLine{0, kWaveInLineId, static_cast<uint32_t>(sources.size()), component,
                          1, "Recording"};
        return true;
    }
    if (side == MixerSide::kOutput && component == MixerComponent::kSpeakersDestination &&
        hasSpeakers) {
        *line = MixerLine{
            0,         kSpeakersLineId, 0, component, static_cast<uint32_t>(speakerValues.size()),
            "Speakers"};
        return true;
    }
    return false;
}

bool MixerPortFake::QuerySourceLine(MixerSide side, uint32_t destination, uint32_t source,
                                    MixerLine* line) {
    if (side != MixerSide::kInput || destination != 0 || source >= sources.size()) {
        return false;
    }
    const Source& s = sources[source];
    *line = MixerLine{0,
                      kSourceLineId + source,
                      0,
                      s.component,
                      static_cast<uint32_t>(s.channelValues.size()),
                      s.name};
    return true;
}

bool MixerPortFake::QueryControl(MixerSide side, uint32_t lineId, MixerControlType type,
                                 MixerControl* control) {
    if (side == MixerSide::kInput && lineId == kWaveInLineId) {
        if (!hasList || type != listType) {
            return false;
        }
        *control =
            MixerControl{kListId, listType, static_cast<uint32_t>(listValues.size()), 0, 1, false};
        return true;
    }
    if (side == MixerSide::kInput && lineId >= kSourceLineId &&
        lineId - kSourceLineId < sources.size() && type == MixerControlType::kVolume) {
        const Source& s = sources[lineId - kSourceLineId];
        if (!s.hasVolume) {
            return false;
        }
        *control = MixerControl{kSourceVolumeId + (lineId - kSourceLineId),
                                type,
                                0,
                                s.minimum,
                                s.maximum,
                                s.volumeDisabled};
        return true;
    }
    if (side == MixerSide::kOutput && lineId == kSpeakersLineId &&
        type == MixerControlType::kVolume && hasSpeakers) {
        *control = MixerControl{kSpeakersVolumeId, type, 0, speakerMinimum, speakerMaximum, false};
        return true;
    }
    return false;
}

bool MixerPortFake::QueryListTexts(MixerSide /*side*/, const MixerControl& control,
                                   std::vector<std::string>* names) {
    if (listTextsFail || control.id != kListId) {
        return false;
    }
    names->clear();
    for (size_t k = 0; k < listValues.size(); ++k) {
        names->push_back(sources[sources.size() - 1 - k].name);
    }
    return true;
}

std::vector<uint32_t>* MixerPortFake::ValuesOf(MixerSide side, uint32_t controlId) {
    if (side == MixerSide::kInput && controlId == kListId) {
        return &listValues;
    }
    if (side == MixerSide::kInput && controlId >= kSourceVolumeId &&
        controlId - kSourceVolumeId < sources.size()) {
        return &sources[controlId - kSourceVolumeId].channelValues;
    }
    if (side == MixerSide::kOutput && controlId == kSpeakersVolumeId) {
        return &speakerValues;
    }
    return nullptr;
}

bool MixerPortFake::QueryValues(MixerSide side, const MixerControl& control, uint32_t channels,
                                std::vector<uint32_t>* values) {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<uint32_t>* stored = ValuesOf(side, control.id);
    const size_t count = ValueCount(control, channels);
    if (stored == nullptr || stored->size() != count) {
        return false;
    }
    *values = *stored;
    return true;
}

bool MixerPortFake::ApplyValues(MixerSide side, const MixerControl& control, uint32_t channels,
                                const std::vector<uint32_t>& values) {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<uint32_t>* stored = ValuesOf(side, control.id);
    const size_t count = ValueCount(control, channels);
    if (stored == nullptr || stored->size() != count || values.size() != count) {
        return false;
    }
    *stored = values;
    ++writes;
    return true;
}

}  // namespace melvora

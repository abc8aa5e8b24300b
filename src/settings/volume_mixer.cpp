#include "settings/volume_mixer.h"

#include <cmath>

namespace melvora {

namespace {

using Control = VolumeMixerView::Control;

int TickFrequency(int32_t minimum, int32_t maximum) {
    return static_cast<int>(static_cast<double>(maximum - minimum) * 0.1);
}

}  // namespace

VolumeMixer::VolumeMixer(MixerPort& port, VolumeMixerView& view) : port_(port), view_(view) {}

VolumeMixer::~VolumeMixer() = default;

int VolumeMixer::SensitivityPosition(float sensitivity) {
    return static_cast<int>(std::lround((1.0 - static_cast<double>(sensitivity)) * 100.0));
}

float VolumeMixer::SensitivityOfPosition(int position) {
    return static_cast<float>(100 - position) * 0.01f;
}

void VolumeMixer::Start(bool firstRun, int storedSource) {
    if (port_.DeviceCount() <= 0) {
        view_.EnableControl(Control::kOutputSlider, false);
        view_.EnableControl(Control::kSourceList, false);
        view_.EnableControl(Control::kInputSlider, false);
        return;
    }
    if (port_.Open(MixerSide::kInput)) {
        SetUpSources(firstRun, storedSource);
    } else {
        view_.EnableControl(Control::kSourceList, false);
        view_.EnableControl(Control::kInputSlider, false);
    }
    if (port_.Open(MixerSide::kOutput)) {
        SetUpOutput();
    } else {
        view_.EnableControl(Control::kOutputSlider, false);
    }
}

void VolumeMixer::Stop() {
    restoring_ = true;
    if (sourcesReady_) {
        SelectSource(startUpSource_);
    }
    inputAvailable_.store(false);
    port_.Close(MixerSide::kInput);
    port_.Close(MixerSide::kOutput);
    sourcesReady_ = false;
    outputReady_ = false;
}

void VolumeMixer::SetUpSources(bool firstRun, int storedSource) {
    MixerLine destination;
    if (!port_.DestinationLine(MixerSide::kInput, MixerComponent::kWaveInDestination,
                               &destination)) {
        view_.EnableControl(Control::kSourceList, false);
        view_.EnableControl(Control::kInputSlider, false);
        return;
    }
    destination_ = destination.destination;
    MixerControl list;
    std::vector<std::string> names;
    const bool listFound =
        port_.FindControl(MixerSide::kInput, destination.lineId, MixerControlType::kMixer, &list) ||
        port_.FindControl(MixerSide::kInput, destination.lineId, MixerControlType::kMux, &list);
    if (!listFound || list.itemCount == 0 || !port_.ListTexts(MixerSide::kInput, list, &names) ||
        names.size() != list.itemCount) {
        // No list to choose from: the list shows what records (the destination's sources by
        // the system's names) but stays disabled, and the input slider and the automatic
        // gain work on the first source's level.
        std::vector<std::string> sourceNames;
        for (uint32_t i = 0; i < destination.sourceCount; ++i) {
            MixerLine line;
            if (port_.SourceLine(MixerSide::kInput, destination_, i, &line)) {
                sourceNames.push_back(line.name);
            }
        }
        view_.SetSourceNames(sourceNames);
        if (!sourceNames.empty()) {
            view_.SelectListItem(0);
        }
        view_.EnableControl(Control::kSourceList, false);
        if (destination.sourceCount > 0) {
            SetUpInputLevel(0);
        } else {
            view_.EnableControl(Control::kInputSlider, false);
        }
        return;
    }
    sourceControl_ = list;
    sourceCount_ = list.itemCount;
    sourcesReady_ = true;
    // The list shows the sources in source-line order: the last item first.
    view_.SetSourceNames(std::vector<std::string>(names.rbegin(), names.rend()));

    ReadSelection();
    startUpSource_ = currentSource_;

    int chosen = currentSource_;
    if (firstRun) {
        for (uint32_t k = 0; k < sourceCount_; ++k) {
            MixerLine line;
            if (port_.SourceLine(MixerSide::kInput, destination_, sourceCount_ - 1 - k, &line) &&
                line.component == MixerComponent::kMicrophone) {
                chosen = static_cast<int>(k);
                break;
            }
        }
    } else if (storedSource >= 0 && static_cast<uint32_t>(storedSource) < sourceCount_) {
        chosen = storedSource;
    }
    SelectSource(chosen);
    // The system usually reports the change too; the window does not wait for it.
    SourceChanged();
}

void VolumeMixer::ReadSelection() {
    std::vector<uint32_t> values;
    if (!port_.ReadValues(MixerSide::kInput, sourceControl_, 1, &values)) {
        return;
    }
    for (size_t k = 0; k < values.size(); ++k) {
        if (values[k] == 1) {
            currentSource_ = static_cast<int>(k);
            SetUpInputLevel(static_cast<int>(sourceCount_) - 1 - currentSource_);
            return;
        }
    }
}

void VolumeMixer::SelectSource(int item) {
    std::vector<uint32_t> values;
    if (item < 0 || static_cast<uint32_t>(item) >= sourceCount_ ||
        !port_.ReadValues(MixerSide::kInput, sourceControl_, 1, &values) ||
        values.size() != sourceCount_) {
        return;
    }
    if (sourceControl_.type == MixerControlType::kMux) {
        for (uint32_t& value : values) {
            value = 0;
        }
    }
    values[static_cast<size_t>(item)] = 1;
    port_.WriteValues(MixerSide::kInput, sourceControl_, 1, values);
}

void VolumeMixer::SourceChanged() {
    ReadSelection();
    if (!restoring_) {
        view_.StoreInputSource(currentSource_);
    }
    view_.SelectListItem(static_cast<int>(sourceCount_) - 1 - currentSource_);
}

void VolumeMixer::SetUpInputLevel(int sourceLine) {
    view_.EnableControl(Control::kInputSlider, true);
    MixerLine destination;
    MixerLine source;
    MixerControl volume;
    if (sourceLine < 0 ||
        !port_.DestinationLine(MixerSide::kInput, MixerComponent::kWaveInDestination,
                               &destination) ||
        !port_.SourceLine(MixerSide::kInput, destination.destination,
                          static_cast<uint32_t>(sourceLine), &source) ||
        !port_.FindControl(MixerSide::kInput, source.lineId, MixerControlType::kVolume, &volume) ||
        volume.disabled) {
        inputAvailable_.store(false);
        view_.EnableControl(Control::kInputSlider, false);
        return;
    }
    inputControlId_.store(volume.id);
    inputChannels_.store(source.channels > 0 ? source.channels : 1);
    inputMinimum_.store(static_cast<int32_t>(volume.minimum));
    inputMaximum_.store(static_cast<int32_t>(volume.maximum));
    inputAvailable_.store(true);
    const int32_t minimum = static_cast<int32_t>(volume.minimum);
    const int32_t maximum = static_cast<int32_t>(volume.maximum);
    view_.SetSliderRange(Control::kInputSlider, -maximum, -minimum,
                         TickFrequency(minimum, maximum));
    ReadInputLevelFromMixer();
}

void VolumeMixer::SetUpOutput() {
    MixerLine speakers;
    MixerControl volume;
    if (!port_.DestinationLine(MixerSide::kOutput, MixerComponent::kSpeakersDestination,
                               &speakers) ||
        !port_.FindControl(MixerSide::kOutput, speakers.lineId, MixerControlType::kVolume,
                           &volume)) {
        view_.EnableControl(Control::kOutputSlider, false);
        return;
    }
    outputControl_ = volume;
    outputChannels_ = speakers.channels > 0 ? speakers.channels : 1;
    outputReady_ = true;
    const int32_t minimum = static_cast<int32_t>(volume.minimum);
    const int32_t maximum = static_cast<int32_t>(volume.maximum);
    view_.SetSliderRange(Control::kOutputSlider, -maximum, -minimum,
                         TickFrequency(minimum, maximum));
    ReadOutputVolume();
}

bool VolumeMixer::ReadAverage(MixerSide side, const MixerControl& control, uint32_t channels,
                              int32_t* average) {
    std::vector<uint32_t> values;
    if (!port_.ReadValues(side, control, channels, &values) || values.empty()) {
        return false;
    }
    int64_t sum = 0;
    for (uint32_t value : values) {
        sum += value;
    }
    *average = static_cast<int32_t>(sum / static_cast<int64_t>(values.size()));
    return true;
}

void VolumeMixer::ReadInputLevelFromMixer() {
    MixerControl control;
    control.id = inputControlId_.load();
    const uint32_t channels = inputChannels_.load();
    int32_t level = 0;
    if (inputAvailable_.load() && ReadAverage(MixerSide::kInput, control, channels, &level)) {
        inputCurrent_.store(level);
        view_.SetSliderPosition(Control::kInputSlider, -level);
    }
}

void VolumeMixer::ReadOutputVolume() {
    int32_t volume = 0;
    if (outputReady_ && ReadAverage(MixerSide::kOutput, outputControl_, outputChannels_, &volume)) {
        outputCurrent_ = volume;
        view_.SetSliderPosition(Control::kOutputSlider, -volume);
    }
}

void VolumeMixer::WriteAll(MixerSide side, const MixerControl& control, uint32_t channels,
                           uint32_t value) {
    port_.WriteValues(side, control, channels, std::vector<uint32_t>(channels, value));
}

void VolumeMixer::OnSourceListChanged(int listIndex) {
    if (!sourcesReady_) {
        return;
    }
    SelectSource(static_cast<int>(sourceCount_) - 1 - listIndex);
    SourceChanged();
}

void VolumeMixer::OnOutputSlider(int position) {
    if (!outputReady_) {
        return;
    }
    outputCurrent_ = -position;
    WriteAll(MixerSide::kOutput, outputControl_, outputChannels_,
             static_cast<uint32_t>(outputCurrent_));
}

void VolumeMixer::OnInputSlider(int position) {
    ApplyInputLevel(-position);
}

void VolumeMixer::OnControlChanged(MixerSide side, uint32_t controlId) {
    if (side == MixerSide::kInput && sourcesReady_ && controlId == sourceControl_.id) {
        SourceChanged();
    } else if (side == MixerSide::kInput && inputAvailable_.load() &&
               controlId == inputControlId_.load()) {
        ReadInputLevelFromMixer();
    } else if (side == MixerSide::kOutput && outputReady_ && controlId == outputControl_.id) {
        ReadOutputVolume();
    }
}

bool VolumeMixer::ReadInputLevel(int32_t* current, int32_t* minimum, int32_t* maximum) {
    if (!inputAvailable_.load()) {
        return false;
    }
    *current = inputCurrent_.load();
    *minimum = inputMinimum_.load();
    *maximum = inputMaximum_.load();
    return true;
}

void VolumeMixer::ApplyInputLevel(int32_t value) {
    if (!inputAvailable_.load()) {
        return;
    }
    inputCurrent_.store(value);
    MixerControl control;
    control.id = inputControlId_.load();
    WriteAll(MixerSide::kInput, control, inputChannels_.load(), static_cast<uint32_t>(value));
}

}  // namespace melvora

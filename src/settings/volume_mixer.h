#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "analysis/input_level_control.h"
#include "platform/mixer_port.h"
#include "settings/volume_mixer_view.h"

namespace melvora {

// The logic of the volume window over a mixer port: the recording source list and its
// choice (the microphone on a first run, else the stored one; the system's own choice put
// back at the end), the input level of the chosen source, which the automatic input gain
// also moves, and the output volume; the sliders follow the mixer's change notifications.
//
// Threads: everything runs on the window thread except the InputLevelControl calls, which
// come from the transport's worker; the values they share are single 32-bit atomics.
class VolumeMixer : public InputLevelControl {
  public:
    VolumeMixer(MixerPort& port, VolumeMixerView& view);
    ~VolumeMixer() override;

    // Opens the mixers and fills the window. `firstRun`: no options file was read.
    // `storedSource`: the input source setting (list item).
    void Start(bool firstRun, int storedSource);
    // Puts the start-up source back and closes the mixers.
    void Stop();

    // The user chose entry `listIndex` of the source list.
    void OnSourceListChanged(int listIndex);
    void OnOutputSlider(int position);
    void OnInputSlider(int position);
    // The mixer reported a change of control `controlId`.
    void OnControlChanged(MixerSide side, uint32_t controlId);

    // The voice activation slider (0..100, top 0): position = (1 - s) x 100 rounded to the
    // nearest step, so that a stored value shows, and is saved back, unchanged.
    static int SensitivityPosition(float sensitivity);
    static float SensitivityOfPosition(int position);

    int SourceCount() const { return static_cast<int>(sourceCount_); }
    // List items (of the mixer's source control) of the current and the start-up source.
    int CurrentSource() const { return currentSource_; }
    int StartUpSource() const { return startUpSource_; }
    int32_t InputLevel() const { return inputCurrent_.load(); }
    int32_t OutputVolume() const { return outputCurrent_; }
    bool HasInputLevel() const { return inputAvailable_.load(); }
    uint32_t SourceControlId() const { return sourceControl_.id; }
    uint32_t InputLevelControlId() const { return inputControlId_.load(); }
    uint32_t OutputControlId() const { return outputControl_.id; }

    // InputLevelControl (worker thread)
    bool ReadInputLevel(int32_t* current, int32_t* minimum, int32_t* maximum) override;
    void ApplyInputLevel(int32_t value) override;

  private:
    void SetUpSources(bool firstRun, int storedSource);
    void SetUpOutput();
    void ReadSelection();
    void SelectSource(int item);
    void SourceChanged();
    void SetUpInputLevel(int sourceLine);
    void ReadInputLevelFromMixer();
    void ReadOutputVolume();
    bool ReadAverage(MixerSide side, const MixerControl& control, uint32_t channels,
                     int32_t* average);
    void WriteAll(MixerSide side, const MixerControl& control, uint32_t channels, uint32_t value);

    MixerPort& port_;
    VolumeMixerView& view_;
    bool sourcesReady_ = false;
    MixerControl sourceControl_;
    uint32_t sourceCount_ = 0;
    uint32_t destination_ = 0;
    int currentSource_ = 0;
    int startUpSource_ = 0;
    bool restoring_ = false;

    // Shared with the worker thread.
    std::atomic<bool> inputAvailable_{false};
    std::atomic<uint32_t> inputControlId_{0};
    std::atomic<uint32_t> inputChannels_{1};
    std::atomic<int32_t> inputMinimum_{0};
    std::atomic<int32_t> inputMaximum_{0};
    std::atomic<int32_t> inputCurrent_{0};

    bool outputReady_ = false;
    MixerControl outputControl_;
    uint32_t outputChannels_ = 1;
    int32_t outputCurrent_ = 0;
};

}  // namespace melvora

#pragma once

#include <mutex>

#include "platform/mixer_port.h"

namespace melvora {

// A mixer in memory for tests: one input mixer whose wave-in destination has the given
// sources and a list control (MUX or MIXER) choosing among them, and one output mixer with a
// speakers volume. Writes are applied and counted; no notifications are sent (tests call the
// change handler as the system would).
class MixerPortFake : public MixerPort {
  public:
    // Control ids: the source list, the sources' volumes (kSourceVolumeId + source line),
    // the speakers' volume.
    static constexpr uint32_t kListId = 1;
    static constexpr uint32_t kSourceVolumeId = 100;
    static constexpr uint32_t kSpeakersVolumeId = 200;

    struct Source {
        std::string name;
        MixerComponent component = MixerComponent::kOther;
        bool hasVolume = true;
        bool volumeDisabled = false;
        std::vector<uint32_t> channelValues{32768};
        uint32_t minimum = 0;
        uint32_t maximum = 65535;
    };

    int devices = 4;
    bool openFails[2] = {false, false};
    bool hasWaveInDestination = true;
    bool hasList = true;
    MixerControlType listType = MixerControlType::kMux;
    bool listTextsFail = false;
    std::vector<Source> sources;       // in source-line order
    std::vector<uint32_t> listValues;  // in list order: item k is source line count - 1 - k
    bool hasSpeakers = true;
    std::vector<uint32_t> speakerValues{40000, 40000};
    uint32_t speakerMinimum = 0;
    uint32_t speakerMaximum = 65535;
    int writes = 0;

    // The source line whose list item is on (the first one), or -1.
    int SelectedSourceLine() const;

    int DeviceCount() override { return devices; }
    [[nodiscard]] bool Open(MixerSide side) override;
    void Close(MixerSide side) override;
    bool IsOpen(MixerSide side) const override { return open_[static_cast<int>(side)]; }

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
    std::vector<uint32_t>* ValuesOf(MixerSide side, uint32_t controlId);

    bool open_[2] = {false, false};
    // The worker thread writes the input level while the window thread reads.
    mutable std::mutex lock_;
};

}  // namespace melvora

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace melvora {

// The system's audio mixer as the volume window uses it, shaped like the WINMM mixer
// functions: lines (destinations and their sources) carry controls (a list that chooses the
// recording source, volumes), and controls hold one value per channel, or one per list item.
// Backends: WINMM (Windows) and a fake for tests. All calls return false on failure.

// The mixer of the default wave-in device (input) or of the default wave-out device (output).
enum class MixerSide { kInput = 0, kOutput = 1 };

// Component types of lines, as far as the volume window tells them apart.
enum class MixerComponent { kOther = 0, kWaveInDestination, kSpeakersDestination, kMicrophone };

enum class MixerControlType { kMixer, kMux, kVolume };

struct MixerLine {
    uint32_t destination = 0;  // index of the destination (of this line or its destination)
    uint32_t lineId = 0;
    uint32_t sourceCount = 0;  // destinations only
    MixerComponent component = MixerComponent::kOther;
    uint32_t channels = 1;
    std::string name;  // UTF-8
};

struct MixerControl {
    uint32_t id = 0;
    MixerControlType type = MixerControlType::kVolume;
    uint32_t itemCount = 0;  // list items of a MIXER or MUX control; 0 for a volume
    uint32_t minimum = 0;    // bounds of a volume (unsigned)
    uint32_t maximum = 0;
    bool disabled = false;
};

class MixerPort {
  public:
    virtual ~MixerPort() = default;

    // Number of mixer devices of the system.
    virtual int DeviceCount() = 0;
    // Opens the mixer of the default wave device of `side`; the backend tells its window
    // when a control of an open mixer changes.
    [[nodiscard]] virtual bool Open(MixerSide side) = 0;
    virtual void Close(MixerSide side) = 0;
    virtual bool IsOpen(MixerSide side) const = 0;

    // The calls below fail on a side that is not open.
    bool DestinationLine(MixerSide side, MixerComponent component, MixerLine* line) {
        return IsOpen(side) && QueryDestinationLine(side, component, line);
    }
    // Source line `source` (0..sourceCount-1) of destination `destination`.
    bool SourceLine(MixerSide side, uint32_t destination, uint32_t source, MixerLine* line) {
        return IsOpen(side) && QuerySourceLine(side, destination, source, line);
    }
    // The first control of `type` on line `lineId`.
    bool FindControl(MixerSide side, uint32_t lineId, MixerControlType type,
                     MixerControl* control) {
        return IsOpen(side) && QueryControl(side, lineId, type, control);
    }
    // The names of a list control's items, in list order (UTF-8).
    bool ListTexts(MixerSide side, const MixerControl& control, std::vector<std::string>* names) {
        return IsOpen(side) && QueryListTexts(side, control, names);
    }
    // The control's values: `channels` values for a volume, one per item for a list (read
    // with one channel).
    bool ReadValues(MixerSide side, const MixerControl& control, uint32_t channels,
                    std::vector<uint32_t>* values) {
        return IsOpen(side) && QueryValues(side, control, channels, values);
    }
    bool WriteValues(MixerSide side, const MixerControl& control, uint32_t channels,
                     const std::vector<uint32_t>& values) {
        return IsOpen(side) && ApplyValues(side, control, channels, values);
    }

    // How many values the control holds: one per list item, else one per channel.
    static uint32_t ValueCount(const MixerControl& control, uint32_t channels) {
        return control.itemCount > 0 ? control.itemCount : channels;
    }

  protected:
    // The calls above, on an open side.
    virtual bool QueryDestinationLine(MixerSide side, MixerComponent component,
                                      MixerLine* line) = 0;
    virtual bool QuerySourceLine(MixerSide side, uint32_t destination, uint32_t source,
                                 MixerLine* line) = 0;
    virtual bool QueryControl(MixerSide side, uint32_t lineId, MixerControlType type,
                              MixerControl* control) = 0;
    virtual bool QueryListTexts(MixerSide side, const MixerControl& control,
                                std::vector<std::string>* names) = 0;
    virtual bool QueryValues(MixerSide side, const MixerControl& control, uint32_t channels,
                             std::vector<uint32_t>* values) = 0;
    virtual bool ApplyValues(MixerSide side, const MixerControl& control, uint32_t channels,
                             const std::vector<uint32_t>& values) = 0;
};

}  // namespace melvora

#pragma once

namespace melvora {

class InputLevelControl;

// What the volume window tells the main controls window: the sensitivity moved (it goes to
// the running engine at once) and the recording level control came or went (the automatic
// input gain works on it while the window exists).
class VolumeWindowOwner {
  public:
    virtual ~VolumeWindowOwner() = default;
    virtual void SensitivityChanged(float sensitivity) = 0;
    // Null when the window is going away.
    virtual void InputLevelControlChanged(InputLevelControl* control) = 0;
};

}  // namespace melvora

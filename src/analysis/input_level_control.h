#pragma once

#include <cstdint>

namespace melvora {

// The recording input level as the automatic input gain sees it (the mixer window implements
// it). Both calls come from the transport's worker thread once per block, while the window
// thread may move the level slider, so implementations keep the value in one aligned 32-bit
// atomic.
class InputLevelControl {
  public:
    virtual ~InputLevelControl() = default;

    // The current value and the control's range as the mixer reports them. Returns false
    // when the control is not available now (no mixer window or no window handle); the
    // automatic gain then does nothing for this block.
    virtual bool ReadInputLevel(int32_t* current, int32_t* minimum, int32_t* maximum) = 0;

    // Stores `value` as the current level and applies it to the recording input.
    virtual void ApplyInputLevel(int32_t value) = 0;
};

}  // namespace melvora

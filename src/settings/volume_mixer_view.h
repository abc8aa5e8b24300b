#pragma once

#include <string>
#include <vector>

namespace melvora {

// What the volume mixer logic shows through the volume window (and a recording fake in
// tests). Sliders are vertical trackbars: a position p shows the value -p, so the top is
// loudest.
class VolumeMixerView {
  public:
    enum class Control { kOutputSlider, kInputSlider, kSourceList };

    virtual ~VolumeMixerView() = default;
    virtual void EnableControl(Control control, bool enabled) = 0;
    // The sources in the order the list shows them.
    virtual void SetSourceNames(const std::vector<std::string>& names) = 0;
    virtual void SelectListItem(int index) = 0;
    virtual void SetSliderRange(Control slider, int minimum, int maximum, int tickFrequency) = 0;
    virtual void SetSliderPosition(Control slider, int position) = 0;
    // The source chosen (list item of the mixer's source control) becomes the stored choice.
    virtual void StoreInputSource(int source) = 0;
};

}  // namespace melvora

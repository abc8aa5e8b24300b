#include "settings/volume_mixer.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/mixer_port_fake.h"

namespace melvora {
namespace {

using Control = VolumeMixerView::Control;

class RecordingView : public VolumeMixerView {
  public:
    std::map<Control, bool> enabled{{Control::kOutputSlider, true},
                                    {Control::kInputSlider, true},
                                    {Control::kSourceList, true}};
    std::vector<std::string> names;
    int listItem = -1;
    std::map<Control, std::pair<int, int>> ranges;
    std::map<Control, int> ticks;
    std::map<Control, int> positions;
    std::vector<int> stored;

    void EnableControl(Control control, bool on) override { enabled[control] = on; }
    void SetSourceNames(const std::vector<std::string>& n) override { names = n; }
    void SelectListItem(int index) override { listItem = index; }
    void SetSliderRange(Control slider, int minimum, int maximum, int tick) override {
        ranges[slider] = {minimum, maximum};
        ticks[slider] = tick;
    }
    void SetSliderPosition(Control slider, int position) override { positions[slider] = position; }
    void StoreInputSource(int source) override { stored.push_back(source); }
};

// A MUX whose list is (Line In, Microphone, CD) in list order: source lines are in reverse,
// so line 0 is CD, line 1 the microphone, line 2 Line In. Line In is on at start.
struct Rig {
    Rig() {
        port.sources = {{"CD", MixerComponent::kOther, true, false, {1000, 1000}},
                        {"Microphone", MixerComponent::kMicrophone, true, false, {100, 103}},
                        {"Line In", MixerComponent::kOther, true, false, {5000, 5000}}};
        port.listValues = {1, 0, 0};
    }
    MixerPortFake port;
    RecordingView view;
    VolumeMixer mixer{port, view};
};
struct VolumeMixerTest : ::testing::Test, Rig {};

TEST_F(VolumeMixerTest, FirstRunChoosesTheMicrophoneAndPutsTheOldSourceBack) {
    mixer.Start(true, 0);
    EXPECT_EQ(view.names, (std::vector<std::string>{"CD", "Microphone", "Line In"}));
    EXPECT_EQ(mixer.StartUpSource(), 0);
    EXPECT_EQ(mixer.CurrentSource(), 1);
    EXPECT_EQ(port.SelectedSourceLine(), 1);
    EXPECT_EQ(view.listItem, 1);  // the list's second entry
    EXPECT_EQ(view.stored, std::vector<int>{1});
    // The microphone's own level: (100 + 103) / 2 truncated; the slider shows it negated.
    EXPECT_EQ(mixer.InputLevel(), 101);
    EXPECT_EQ(view.positions[Control::kInputSlider], -101);
    EXPECT_EQ(view.ranges[Control::kInputSlider], std::make_pair(-65535, 0));
    EXPECT_EQ(view.ticks[Control::kInputSlider], 6553);
    EXPECT_EQ(view.positions[Control::kOutputSlider], -40000);
    EXPECT_TRUE(view.enabled[Control::kSourceList]);

    mixer.Stop();
    EXPECT_EQ(port.SelectedSourceLine(), 2);      // Line In again
    EXPECT_EQ(view.stored, std::vector<int>{1});  // putting it back is not a user's choice
    EXPECT_FALSE(port.IsOpen(MixerSide::kInput));
    EXPECT_FALSE(port.IsOpen(MixerSide::kOutput));
}

TEST_F(VolumeMixerTest, StoredSourceAndChoosingFromTheList) {
    // A stored source beyond the list keeps the system's choice.
    for (int stored : {7, -1}) {
        mixer.Start(false, stored);
        EXPECT_EQ(port.SelectedSourceLine(), 2);
    }
    mixer.Start(false, 2);  // CD
    EXPECT_EQ(port.SelectedSourceLine(), 0);
    EXPECT_EQ(mixer.InputLevel(), 1000);
    // The user picks "Line In" (third entry): the level follows that source and the choice
    // is stored.
    mixer.OnSourceListChanged(2);
    EXPECT_EQ(port.SelectedSourceLine(), 2);
    EXPECT_EQ(mixer.CurrentSource(), 0);
    EXPECT_EQ(mixer.InputLevel(), 5000);
    EXPECT_EQ(view.positions[Control::kInputSlider], -5000);
    EXPECT_EQ(view.stored.back(), 0);
}

TEST_F(VolumeMixerTest, MixerListKeepsOtherItemsAndSlidersScale) {
    port.listType = MixerControlType::kMixer;
    port.listValues = {1, 0, 1};
    mixer.Start(false, 1);
    EXPECT_EQ(port.listValues, (std::vector<uint32_t>{1, 1, 1}));
    // Sliders write the negated position to every channel.
    mixer.OnOutputSlider(-12345);
    EXPECT_EQ(port.speakerValues, (std::vector<uint32_t>{12345, 12345}));
    mixer.OnInputSlider(-777);
    int32_t current = 0, minimum = -1, maximum = 0;
    ASSERT_TRUE(mixer.ReadInputLevel(&current, &minimum, &maximum));
    EXPECT_EQ(current, 777);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 65535);
    // The system (or the automatic gain) changed the level: the slider follows the mixer.
    // (The current source is the first item that is on: Line In, source line 2.)
    EXPECT_EQ(mixer.CurrentSource(), 0);
    port.sources[2].channelValues = {2000, 2001};
    port.speakerValues = {10, 20};
    mixer.OnControlChanged(MixerSide::kInput, mixer.InputLevelControlId());
    mixer.OnControlChanged(MixerSide::kOutput, mixer.OutputControlId());
    EXPECT_EQ(view.positions[Control::kInputSlider], -2000);
    EXPECT_EQ(view.positions[Control::kOutputSlider], -15);
}

TEST_F(VolumeMixerTest, NoMixerDisablesTheMixerControlsOnly) {
    port.devices = 0;
    mixer.Start(true, 0);
    EXPECT_FALSE(view.enabled[Control::kOutputSlider]);
    EXPECT_FALSE(view.enabled[Control::kInputSlider]);
    EXPECT_FALSE(view.enabled[Control::kSourceList]);
    int32_t current = 0, minimum = 0, maximum = 0;
    EXPECT_FALSE(mixer.ReadInputLevel(&current, &minimum, &maximum));
    mixer.ApplyInputLevel(5);
    mixer.OnOutputSlider(-5);
    mixer.OnSourceListChanged(0);
    EXPECT_EQ(port.writes, 0);
    mixer.Stop();
}

// The input mixer does not open (no list, no input level, the output still works); there is
// no source list (its first source's level still works); the microphone has no volume
// control (no input slider, no automatic gain).
TEST(VolumeMixer, PartialMixers) {
    for (int partial = 0; partial < 3; ++partial) {
        SCOPED_TRACE(partial);
        Rig rig;
        rig.port.openFails[0] = partial == 0;
        rig.port.hasList = partial != 1;
        rig.port.sources[1].volumeDisabled = partial == 2;
        rig.mixer.Start(true, 0);
        EXPECT_EQ(rig.view.enabled[Control::kSourceList], partial == 2);
        EXPECT_EQ(rig.view.enabled[Control::kInputSlider], partial == 1);
        EXPECT_TRUE(rig.view.enabled[Control::kOutputSlider]);
        EXPECT_EQ(rig.mixer.HasInputLevel(), partial == 1);
        if (partial == 1) {
            // The list shows the sources by their line names, the first one chosen.
            EXPECT_EQ(rig.view.names, (std::vector<std::string>{"CD", "Microphone", "Line In"}));
            EXPECT_EQ(rig.view.listItem, 0);
            EXPECT_EQ(rig.mixer.InputLevel(), 1000);
        }
    }
}

TEST(VolumeMixer, SensitivitySliderRoundTrips) {
    EXPECT_EQ(VolumeMixer::SensitivityPosition(0.5f), 50);
    EXPECT_FLOAT_EQ(VolumeMixer::SensitivityOfPosition(0), 1.0f);
    // Truncating (1 - 0.71f) x 100 = 28.999... would move the slider, and the value saved
    // from it, one step on every start.
    for (int position = 0; position <= 100; ++position) {
        EXPECT_EQ(VolumeMixer::SensitivityPosition(VolumeMixer::SensitivityOfPosition(position)),
                  position);
    }
}

}  // namespace
}  // namespace melvora

// The WINMM mixer port against the system's mixers. With the PulseAudio null sink of
// sound_under_wine.sh (MELVORA_SOUND_TESTS set), Wine shows four mixer devices; the
// recording destination's sources must reach the source list.

#include <map>

#include "platform/win32/mixer_port_winmm.h"
#include "settings/volume_mixer.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

bool SoundTestsWanted() {
    wchar_t value[8] = {};
    return ::GetEnvironmentVariableW(L"MELVORA_SOUND_TESTS", value, 8) > 0;
}

class ListingView : public VolumeMixerView {
  public:
    std::map<Control, bool> enabled;
    std::vector<std::string> names;
    std::map<Control, int> positions;
    std::map<Control, std::pair<int, int>> ranges;
    void EnableControl(Control control, bool on) override { enabled[control] = on; }
    void SetSourceNames(const std::vector<std::string>& n) override { names = n; }
    void SelectListItem(int) override {}
    void SetSliderRange(Control slider, int minimum, int maximum, int) override {
        ranges[slider] = {minimum, maximum};
    }
    void SetSliderPosition(Control slider, int position) override { positions[slider] = position; }
    void StoreInputSource(int) override {}
};

TEST(MixerWinmm, ListsTheRecordingSourcesOfTheSoundServer) {
    if (!SoundTestsWanted()) {
        GTEST_SKIP() << "needs the PulseAudio null sink of sound_under_wine.sh";
    }
    guitest::HostWindow host;
    ASSERT_TRUE(host.Open(-2000, -2000, 50, 50, L"Mixer"));
    MixerPortWinmm port(host.Handle());
    EXPECT_EQ(port.DeviceCount(), 4);
    ListingView view;
    VolumeMixer mixer(port, view);
    mixer.Start(true, 0);
    ASSERT_TRUE(port.IsOpen(MixerSide::kInput));
    ASSERT_TRUE(port.IsOpen(MixerSide::kOutput));
    MixerLine destination;
    ASSERT_TRUE(
        port.DestinationLine(MixerSide::kInput, MixerComponent::kWaveInDestination, &destination));
    std::printf("wave-in destination: %u sources; list: %d items; input level %s\n",
                destination.sourceCount, mixer.SourceCount(),
                mixer.HasInputLevel() ? "available" : "none");
    for (const std::string& name : view.names) {
        std::printf("  source \"%s\"\n", name.c_str());
    }
    // With a list control its items are listed; without one, the destination's sources.
    EXPECT_GT(destination.sourceCount, 0u);
    EXPECT_EQ(view.names.size(), mixer.SourceCount() > 0 ? static_cast<size_t>(mixer.SourceCount())
                                                         : destination.sourceCount);
    for (const std::string& name : view.names) {
        EXPECT_FALSE(name.empty());
    }
    EXPECT_TRUE(mixer.HasInputLevel());
    // The output volume is read and scaled onto the slider.
    ASSERT_EQ(view.ranges.count(VolumeMixerView::Control::kOutputSlider), 1u);
    EXPECT_EQ(view.positions[VolumeMixerView::Control::kOutputSlider], -mixer.OutputVolume());
    mixer.Stop();
    EXPECT_FALSE(port.IsOpen(MixerSide::kInput));
}

}  // namespace
}  // namespace melvora

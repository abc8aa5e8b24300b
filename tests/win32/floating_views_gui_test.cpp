// The volume and analysis windows under Wine, and the WINMM mixer port against the system's
// mixers.
#include <windows.h>

#include <commctrl.h>

#include "platform/mixer_port_fake.h"
#include "platform/win32/mixer_port_winmm.h"
#include "settings/volume_mixer.h"
#include "settings/win32/volume_dlg.h"
#include "views/win32/inst_tessim_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

class VolumeDlgGuiTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(host.Open(-2000, -2000, 50, 50, L"Owner", true)); }
    void Open(std::unique_ptr<MixerPortFake> port) {
        fake = port.get();
        dialog = std::make_unique<CVolumeDlg>(Describe(FloatingWindow::Volume), owner, link, link,
                                              std::move(port));
        ASSERT_TRUE(dialog->Create(host.Handle()));
        ::SetWindowPos(dialog->Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dialog->Show(SW_SHOWNA);
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog->Handle(), id); }
    guitest::TempProgramFolder folder_{"volume"};
    guitest::FloatingOwner owner;
    guitest::ViewLink link;
    guitest::HostWindow host;
    MixerPortFake* fake = nullptr;
    std::unique_ptr<CVolumeDlg> dialog;
};

// Without a mixer its controls are disabled and no error box comes; the sensitivity slider and
// the energy bar work all the same. With one, its sources are listed and the choice followed.
TEST_F(VolumeDlgGuiTest, WithoutAMixerAndWithOne) {
    auto port = std::make_unique<MixerPortFake>();
    port->devices = 0;
    Options().voiceActivationSensitivity = 0.7f;
    Open(std::move(port));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_VOLUME_OUT_SLIDER)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_VOLUME_IN_SLIDER)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_VOLUME_SOURCE)));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_VOLUME_VAD_SLIDER)));
    EXPECT_EQ(::SendMessageW(Item(IDC_VOLUME_VAD_SLIDER), TBM_GETPOS, 0, 0), 30);
    guitest::PumpMessages(300);  // time for an error box, which must not come
    EXPECT_EQ(guitest::FindThreadWindow(guitest::IsMessageBox), nullptr);
    // The sensitivity slider reaches the engine at once and the options.
    ::SendMessageW(Item(IDC_VOLUME_VAD_SLIDER), TBM_SETPOS, TRUE, 10);
    ::SendMessageW(dialog->Handle(), WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 10),
                   reinterpret_cast<LPARAM>(Item(IDC_VOLUME_VAD_SLIDER)));
    EXPECT_FLOAT_EQ(link.sensitivity, 0.9f);
    EXPECT_FLOAT_EQ(Options().voiceActivationSensitivity, 0.9f);
    // The energy bar draws the level: green at the bottom.
    link.Publish(0.7f, 0, 0, 0, 0);
    const guitest::Frame bar = guitest::Capture(dialog->EnergyBar());
    EXPECT_GT(bar.height, 50);
    EXPECT_GT(bar.CountNear(0, bar.height - 10, bar.width, bar.height, 0, 255, 0, 40), 0);
    dialog->DestroyWindow();

    // With a mixer: the sources listed, the choice followed.
    port = std::make_unique<MixerPortFake>();
    port->sources = {{"CD", MixerComponent::kOther, true, false, {1000, 1000}},
                     {"Mikrofon", MixerComponent::kMicrophone, true, false, {30000, 30000}},
                     {"Line In", MixerComponent::kOther, true, false, {5000, 5000}}};
    port->listValues = {1, 0, 0};
    Options().notLoaded = 1;
    Open(std::move(port));
    HWND combo = Item(IDC_VOLUME_SOURCE);
    ASSERT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    wchar_t text[64] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Mikrofon");
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);  // the microphone on a first run
    EXPECT_EQ(::SendMessageW(Item(IDC_VOLUME_IN_SLIDER), TBM_GETPOS, 0, 0), -30000);
    EXPECT_EQ(link.inputLevel, dialog->Mixer());
    // The user picks Line In.
    ::SendMessageW(combo, CB_SETCURSEL, 2, 0);
    ::SendMessageW(dialog->Handle(), WM_COMMAND, MAKEWPARAM(IDC_VOLUME_SOURCE, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(fake->SelectedSourceLine(), 2);
    EXPECT_EQ(::SendMessageW(Item(IDC_VOLUME_IN_SLIDER), TBM_GETPOS, 0, 0), -5000);
    EXPECT_EQ(Options().inputSource, 0);
    // At the end the source of before the start comes back, and the engine loses the level.
    dialog->DestroyWindow();
    EXPECT_EQ(fake->SelectedSourceLine(), 2);
    EXPECT_EQ(link.inputLevel, nullptr);
}

TEST(AnalysisDlgGuiTest, ViewFillsTheWindowBelowTheTitleRow) {
    guitest::TempProgramFolder folder("analysis");
    guitest::FloatingOwner owner;
    guitest::ViewLink link;
    guitest::HostWindow host;
    ASSERT_TRUE(host.Open(-2000, -2000, 50, 50, L"Owner", true));
    CInstTessimDlg dialog(Describe(FloatingWindow::Analysis), owner, link);
    ASSERT_TRUE(dialog.Create(host.Handle()));
    dialog.Show(SW_SHOWNA);
    const RECT client = dialog.ClientRect();
    const RECT view = guitest::WindowRectInParent(dialog.View().Handle());
    EXPECT_EQ(view.top, 29);
    EXPECT_EQ(view.right, client.right);
    EXPECT_EQ(view.bottom, client.bottom);
    EXPECT_TRUE(dialog.View().HasContext());
    // The panel fits beside a square of at least 200 pixels.
    EXPECT_GE(dialog.View().Layout().SquareSize(), 200);
    EXPECT_LE(dialog.View().Layout().SquareSize() + 250, RectWidth(client));
}

// The WINMM mixer port against the system's mixers. With the PulseAudio null sink of
// sound_under_wine.sh (MELVORA_SOUND_TESTS set), Wine shows four mixer devices; the
// recording destination's sources must reach the source list.
class ListingView : public VolumeMixerView {
  public:
    std::vector<std::string> names;
    std::map<Control, int> positions;
    std::map<Control, std::pair<int, int>> ranges;
    void EnableControl(Control, bool) override {}
    void SetSourceNames(const std::vector<std::string>& n) override { names = n; }
    void SelectListItem(int) override {}
    void SetSliderRange(Control slider, int minimum, int maximum, int) override {
        ranges[slider] = {minimum, maximum};
    }
    void SetSliderPosition(Control slider, int position) override { positions[slider] = position; }
    void StoreInputSource(int) override {}
};

TEST(MixerWinmm, ListsTheRecordingSourcesOfTheSoundServer) {
    if (!guitest::EnvironmentHas(L"MELVORA_SOUND_TESTS")) {
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

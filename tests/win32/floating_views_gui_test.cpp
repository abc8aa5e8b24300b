#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/floating_window.h"
#include "platform/mixer_port_fake.h"
#include "platform/program_directory.h"
#include "platform/win32/resource_strings.h"
#include "resource_ids.h"
#include "settings/win32/volume_dlg.h"
#include "views/win32/inst_tessim_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

class TestFloatingOwner : public FloatingWindowOwner {
  public:
    int language = guitest::kEnglish;
    WindowSet::Position FloatingMoving(FloatingWindow, const WindowSet::Position& proposed,
                                       bool) override {
        return proposed;
    }
    void FloatingActivated(FloatingWindow) override {}
    void FloatingClosed(FloatingWindow) override {}
    int Language() const override { return language; }
};

class TestLink : public ViewOwner, public VolumeWindowOwner {
  public:
    ResultHolder holder;
    float sensitivity = -1.0f;
    InputLevelControl* inputLevel = nullptr;
    int inputLevelCalls = 0;
    ResultRecord NewestResult() const override { return holder.ReadNewest(); }
    std::vector<ResultRecord> AllResults() const override { return holder.ReadAll(); }
    bool TransportRecordingOrReplaying() const override { return false; }
    uint32_t ClippedBlocks() const override { return 0; }
    void SensitivityChanged(float s) override { sensitivity = s; }
    void InputLevelControlChanged(InputLevelControl* control) override {
        inputLevel = control;
        ++inputLevelCalls;
    }
};

// Top-level windows of this thread other than `except` (message boxes would be among them).
int OtherVisibleWindows(const std::vector<HWND>& except) {
    struct Search {
        const std::vector<HWND>* except;
        int count;
    } search{&except, 0};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            bool listed = false;
            for (HWND h : *s->except) {
                listed = listed || h == hwnd;
            }
            wchar_t cls[64] = {};
            ::GetClassNameW(hwnd, cls, 64);
            if (!listed && ::IsWindowVisible(hwnd) && std::wstring(cls) == L"#32770") {
                ++s->count;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

class VolumeDlgGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = Options();
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        SetProgramDirectoryOverride(WideToUtf8(temp));
        ASSERT_TRUE(host.Open(-2000, -2000, 50, 50, L"Owner", true));
    }
    void TearDown() override {
        SetProgramDirectoryOverride("");
        Options() = saved_;
    }
    void Open(std::unique_ptr<MixerPortFake> port) {
        fake = port.get();
        dialog = std::make_unique<CVolumeDlg>(Describe(FloatingWindow::Volume), owner, link, link,
                                              std::move(port));
        ASSERT_TRUE(dialog->Create(host.Handle()));
        ::SetWindowPos(dialog->Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dialog->Show(SW_SHOWNA);
        guitest::PumpMessages(50);
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog->Handle(), id); }
    AppOptions saved_;
    TestFloatingOwner owner;
    TestLink link;
    guitest::HostWindow host;
    MixerPortFake* fake = nullptr;
    std::unique_ptr<CVolumeDlg> dialog;
};

TEST_F(VolumeDlgGuiTest, NoMixerDisablesTheMixerControlsWithoutAnErrorBox) {
    auto port = std::make_unique<MixerPortFake>();
    port->devices = 0;
    Options().voiceActivationSensitivity = 0.7f;
    Open(std::move(port));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_VOLUME_OUT_SLIDER)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_VOLUME_IN_SLIDER)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_VOLUME_SOURCE)));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_VOLUME_VAD_SLIDER)));
    EXPECT_EQ(::SendMessageW(Item(IDC_VOLUME_VAD_SLIDER), TBM_GETPOS, 0, 0), 30);
    guitest::PumpMessages(300);
    EXPECT_EQ(OtherVisibleWindows({dialog->Handle()}), 0);
    // The sensitivity slider reaches the engine at once and the options.
    ::SendMessageW(Item(IDC_VOLUME_VAD_SLIDER), TBM_SETPOS, TRUE, 10);
    ::SendMessageW(dialog->Handle(), WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 10),
                   reinterpret_cast<LPARAM>(Item(IDC_VOLUME_VAD_SLIDER)));
    EXPECT_FLOAT_EQ(link.sensitivity, 0.9f);
    EXPECT_FLOAT_EQ(Options().voiceActivationSensitivity, 0.9f);
    // The energy bar is there and draws.
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    EXPECT_TRUE(dialog->EnergyBar().CaptureFrame(&rgb, &width, &height));
    EXPECT_GT(height, 50);
}

TEST_F(VolumeDlgGuiTest, ListsTheSourcesAndFollowsTheChoice) {
    auto port = std::make_unique<MixerPortFake>();
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

class AnalysisDlgGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = Options();
        Options().analysisView = 0;
        ASSERT_TRUE(host.Open(-2000, -2000, 50, 50, L"Owner", true));
    }
    void TearDown() override { Options() = saved_; }
    AppOptions saved_;
    TestFloatingOwner owner;
    TestLink link;
    guitest::HostWindow host;
};

TEST_F(AnalysisDlgGuiTest, ViewFillsTheWindowBelowTheTitleRow) {
    CInstTessimDlg dialog(Describe(FloatingWindow::Analysis), owner, link);
    ASSERT_TRUE(dialog.Create(host.Handle()));
    dialog.Show(SW_SHOWNA);
    guitest::PumpMessages(50);
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

}  // namespace
}  // namespace melvora

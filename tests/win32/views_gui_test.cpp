// The OpenGL views under Wine, read back from their rendering contexts (the view window
// itself, the energy bar, the analysis view), and the volume and analysis windows.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <commctrl.h>

#include <array>

#include "platform/mixer_port_fake.h"
#include "settings/win32/volume_dlg.h"
#include "views/win32/energy_bar.h"
#include "views/win32/inst_tessim_dlg.h"
#include "views/win32/insta_view.h"
#include "views/win32/open_gl_wnd.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::Capture;
using guitest::Frame;

// Rows of the bar's centre column lit brightly (one channel at full): the level bar and the
// peak marker; the dark column under them never goes above half.
int BrightRows(const Frame& frame) {
    int rows = 0;
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* p = frame.At(frame.width / 2, y);
        rows += (p[0] > 200 || p[1] > 200) ? 1 : 0;
    }
    return rows;
}

// The level and the peak marker drawn (the meter's numbers are its own tests), the idle timer
// that lets the marker fall and stops, none while recording or replaying, and the clip warning.
TEST(EnergyBarGuiTest, DrawsTheLevelThePeakMarkerAndTheClipWarning) {
    guitest::ViewLink owner;
    guitest::HostWindow host;
    CEnergyBar bar{owner};
    ASSERT_TRUE(host.Open(100, 100, 40, 200, L"Bar"));
    ASSERT_TRUE(bar.Create(host.Handle(), RECT{0, 0, 40, 200}, 1021));
    owner.Publish(0.2f, 0, 0, 0, 0);
    const Frame quiet = Capture(bar);
    owner.Publish(0.7f, 0, 0, 0, 0);
    const Frame loud = Capture(bar);
    // 200 pixels are full scale: 40 and 140 rows, each with the 4-row peak marker on top.
    EXPECT_NEAR(BrightRows(quiet), 42, 4);
    EXPECT_NEAR(BrightRows(loud), 142, 4);
    // Background strips beside the dark column; green at the bottom.
    EXPECT_TRUE(quiet.Near(0, 10, 204, 224, 247)) << int(quiet.At(0, 10)[0]);
    EXPECT_TRUE(loud.Near(20, 195, 0, 255, 0, 40));
    owner.Publish(0.8f, 0, 0, 0, 0);
    Capture(bar);
    owner.Publish(0.1f, 0, 0, 0, 0);
    const Frame after = Capture(bar);
    // The marker has fallen one step (0.795): rows 38..43 from the top are lit; the level
    // bar ends at row 180.
    EXPECT_GT(after.At(20, 41)[0], 200);
    EXPECT_LT(after.At(20, 100)[0], 200);
    EXPECT_FALSE(after.Near(20, 5, 255, 0, 0));
    ASSERT_TRUE(guitest::PumpUntil([&] { return !bar.TimerRunning(); }));
    EXPECT_FLOAT_EQ(bar.Meter().Peak(), 0.1f);
    owner.running = true;
    owner.Publish(0.8f, 0, 0, 0, 0);
    Capture(bar);
    owner.Publish(0.1f, 0, 0, 0, 0);
    Capture(bar);
    EXPECT_FALSE(bar.TimerRunning());
    owner.clips = 3;
    const Frame clipped = Capture(bar);
    EXPECT_TRUE(clipped.Near(20, 5, 255, 0, 0)) << int(clipped.At(20, 5)[1]);
    EXPECT_TRUE(clipped.Near(20, 15, 255, 0, 0));
}

// The note name only while a note is sung, the panel's labels, and a click on a block that
// selects its measure: the frame moves and the animation shows that measure. Every style
// draws in the square.
TEST(InstaViewGuiTest, NoteNameSelectedMeasureAndEveryStyle) {
    guitest::TempProgramFolder folder{"view"};  // and the options at their defaults
    guitest::ViewLink owner;
    guitest::HostWindow host;
    CInstaView view{owner};
    Options().analysisView = 2;  // "Circle": no pure green but the note name
    owner.holder.SetHistoryLength(5);
    ASSERT_TRUE(host.Open(50, 50, 600, 300, L"Analysis"));
    ASSERT_TRUE(view.Create(host.Handle(), RECT{0, 0, 600, 300}, 1067));
    ASSERT_EQ(view.Layout().SquareSize(), 300);
    owner.Publish(0.5f, 0.0f, 0.2f, 0.2f, 0.2f);
    // The name is 0.3 R = 45 pixels wide and high, centred in the circle.
    EXPECT_EQ(Capture(view).CountNear(100, 100, 200, 200, 0, 255, 0), 0);
    owner.Publish(0.5f, 330.0f, 0.9f, 0.1f, 0.5f);
    const Frame before = Capture(view);
    EXPECT_GT(before.CountNear(100, 100, 200, 200, 0, 255, 0), 150);
    EXPECT_EQ(before.CountNear(0, 0, 100, 300, 0, 255, 0), 0);
    EXPECT_GT(before.CountNear(300, 0, 600, 300, 51, 51, 178), 100);  // the panel's labels
    // The selected frame colour (0.5, 0.5, 1) frames the Tessim block (rows 30 + 58 ..).
    EXPECT_GT(before.CountNear(300, 88, 600, 146, 128, 128, 255), 300);
    EXPECT_EQ(before.CountNear(300, 146, 600, 204, 128, 128, 255), 0);
    guitest::MouseMove(view.Handle(), 400, 160);
    EXPECT_EQ(view.HotRegion(), InstaViewLayout::Region::kJitter);
    guitest::MouseDown(view.Handle(), 400, 160);
    guitest::MouseUp(view.Handle(), 400, 160);
    EXPECT_EQ(view.SelectedMeasure(), InstaViewLayout::kJitterMeasure);
    const Frame after = Capture(view);
    EXPECT_EQ(after.CountNear(300, 88, 600, 146, 128, 128, 255), 0);
    EXPECT_GT(after.CountNear(300, 146, 600, 204, 128, 128, 255), 300);
    // The animation now shows the jitter (0.1, orange) instead of the Tessim (0.9, blue).
    const int orangeBefore = before.CountNear(0, 0, 300, 300, 230, 77, 25);
    EXPECT_GT(after.CountNear(0, 0, 300, 300, 230, 77, 25), orangeBefore + 50);
    ::ReleaseCapture();
    owner.holder.SetHistoryLength(10);
    Options().resultHistoryLength = 10;
    for (int i = 0; i < 10; ++i) {
        owner.Publish(0.5f, 200.0f + 30.0f * i, 0.1f * i, 0.5f, 0.5f);
    }
    for (int style = 0; style < 6; ++style) {
        Options().analysisView = style;
        const Frame frame = Capture(view);
        const int background = frame.CountNear(0, 0, 300, 300, 102, 128, 153);
        EXPECT_LT(background, 300 * 300 - 5000) << "style " << style;
    }
    Options().analysisView = 7;  // no such style: only the background and the note
    const Frame none = Capture(view);
    EXPECT_GT(none.CountNear(0, 0, 300, 300, 102, 128, 153), 300 * 300 - 3000);
}

// A view that clears to a chosen colour and, when asked, draws a text in white, the font
// scaled so that its letters are 40 pixels high, from the lower left corner.
class TestGLView : public COpenGLWnd {
  public:
    std::array<float, 3> colour = {};
    std::wstring text;
    int creates = 0, sizes = 0;
    bool fontMade = false;

  protected:
    void OnGLCreate(HDC dc) override {
        ++creates;
        fontMade = BuildOutlineFont(dc, L"Tahoma Bold");
    }
    void OnGLSize(int cx, int cy) override {
        ++sizes;
        gluOrtho2D(0, cx, 0, cy);
    }
    void OnGLPaint() override {
        glClearColor(colour[0], colour[1], colour[2], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        if (!text.empty() && TextLayout().LetterHeight() > 0.0f) {
            const float scale = 40.0f / TextLayout().LetterHeight();
            glColor3f(1.0f, 1.0f, 1.0f);
            glTranslatef(5.0f, 5.0f, 0.0f);
            glScalef(scale, scale, 1.0f);
            DrawText(text);
        }
    }
};

// Clears to its colour and reads it back, leaves no context current, paints an invalidation,
// draws outline text of the font's height, and survives a zero height.
TEST(OpenGLWndGuiTest, ClearsReadsBackPaintsDrawsTextAndTakesAZeroHeight) {
    guitest::HostWindow host;
    TestGLView view;
    ASSERT_TRUE(host.Open(100, 100, 300, 120, L"GL"));
    ASSERT_TRUE(view.Create(host.Handle(), RECT{0, 0, 300, 120}, 1067));
    ASSERT_TRUE(view.HasContext());
    EXPECT_EQ(view.creates, 1);
    EXPECT_GE(view.sizes, 1);
    view.colour = {0.8f, 0.878f, 0.969f};
    const guitest::Frame frame = guitest::Capture(view);
    ASSERT_EQ(frame.width, 300);
    ASSERT_EQ(frame.height, 120);
    EXPECT_EQ(frame.CountNear(0, 0, 300, 120, 204, 224, 247, 39), 300 * 120);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    guitest::PumpMessages(20);  // the first paint
    const uint64_t before = view.FramesDrawn();
    view.Invalidate(false);
    EXPECT_TRUE(guitest::PumpUntil([&] { return view.FramesDrawn() > before; }));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);

    ASSERT_TRUE(view.fontMade);
    const GlyphTextLayout& layout = view.TextLayout();
    // A 12-point outline font measures in ems of about a unit: capitals about 0.7 high.
    EXPECT_GT(layout.LetterHeight(), 0.4f);
    EXPECT_LT(layout.LetterHeight(), 1.2f);
    EXPECT_GT(layout.Width(L"W"), layout.Width(L"i"));
    EXPECT_GT(layout.Width(L"Ş"), 0.0f);
    view.colour = {};  // black
    view.text = L"A4";
    // Text pixels, only in the rows of the letters (5 to 45 from the bottom of 120).
    const guitest::Frame text = guitest::Capture(view);
    EXPECT_GT(text.CountNear(0, 120 - 48, 300, 120, 255, 255, 255, 55), 200);
    EXPECT_EQ(text.CountNear(0, 0, 300, 120 - 48, 255, 255, 255, 55), 0);

    const int sizes = view.sizes;
    view.Resize(300, 0);
    EXPECT_GT(view.sizes, sizes);
    EXPECT_EQ(view.HeightPixels(), 0);
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    EXPECT_TRUE(view.CaptureFrame(&rgb, &width, &height));
    EXPECT_TRUE(rgb.empty());
}

// Sets MELVORA_GL_PRESENT for one scope.
class ScopedPresentChoice {
  public:
    explicit ScopedPresentChoice(const wchar_t* choice) {
        ::SetEnvironmentVariableW(L"MELVORA_GL_PRESENT", choice);
    }
    ~ScopedPresentChoice() { ::SetEnvironmentVariableW(L"MELVORA_GL_PRESENT", nullptr); }
};

// Both ways of showing a frame draw and read back the same picture; the offscreen one
// (Wine's) must also reach the screen, at the corners and after the view grows.
TEST(OpenGLWndPresentGuiTest, EachPathDrawsItsFrameAndTheOffscreenOneShowsIt) {
    for (const wchar_t* choice : {L"gdi", L"window"}) {
        SCOPED_TRACE(::testing::Message() << (choice[0] == L'g' ? "gdi" : "window"));
        ScopedPresentChoice present(choice);
        guitest::HostWindow host;
        ASSERT_TRUE(host.Open(60, 60, 400, 200, L"GL"));
        TestGLView view;
        view.colour = {0.9f, 0.3f, 0.1f};
        ASSERT_TRUE(view.Create(host.Handle(), RECT{0, 0, 150, 90}, 1067));
        ASSERT_TRUE(view.HasContext());
        const bool offscreen = choice[0] == L'g';
        ASSERT_EQ(view.DrawsOffscreen(), offscreen);
        EXPECT_EQ(guitest::Capture(view).CountNear(0, 0, 150, 90, 230, 77, 26, 39), 150 * 90);
        if (!offscreen) {
            continue;  // Wine does not show a child window's pixel format on the screen
        }
        // What the screen shows of the view, near the drawn colour at (x, y).
        auto showsAt = [&](int x, int y) {
            const guitest::Frame shown = guitest::Grab(view.Handle());
            return x < shown.width && y < shown.height && shown.Near(x, y, 230, 77, 26, 8);
        };
        ASSERT_TRUE(guitest::PumpUntil([&] { return showsAt(0, 0); }, guitest::kDeadlineMs));
        EXPECT_TRUE(showsAt(149, 0) && showsAt(0, 89) && showsAt(149, 89));
        view.Resize(390, 190);
        EXPECT_TRUE(guitest::PumpUntil([&] { return showsAt(389, 189); }, guitest::kDeadlineMs));
        EXPECT_TRUE(showsAt(0, 0));
    }
}

// A floating window's surroundings: its program folder, owner, results link and a hidden
// host window to parent it.
class FloatingDlgGui : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(host.Open(-2000, -2000, 50, 50, L"Owner", true)); }
    guitest::TempProgramFolder folder{"floating"};
    guitest::FloatingOwner owner;
    guitest::ViewLink link;
    guitest::HostWindow host;
};

// Without a mixer its controls are disabled and no error box comes; the sensitivity slider
// works all the same. With one, its sources are listed and the choice followed.
TEST_F(FloatingDlgGui, VolumeWithoutAMixerAndWithOne) {
    MixerPortFake* fake = nullptr;
    std::unique_ptr<CVolumeDlg> dialog;
    auto open = [&](std::unique_ptr<MixerPortFake> port) {
        fake = port.get();
        dialog = std::make_unique<CVolumeDlg>(Describe(FloatingWindow::Volume), owner, link, link,
                                              std::move(port));
        EXPECT_TRUE(dialog->Create(host.Handle()));
        dialog->Show(SW_SHOWNA);
    };
    auto Item = [&](int id) { return ::GetDlgItem(dialog->Handle(), id); };
    auto port = std::make_unique<MixerPortFake>();
    port->devices = 0;
    Options().voiceActivationSensitivity = 0.7f;
    open(std::move(port));
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
    dialog->DestroyWindow();

    // With a mixer: the sources listed, the choice followed.
    port = std::make_unique<MixerPortFake>();
    port->sources = {{"CD", MixerComponent::kOther, true, false, {1000, 1000}},
                     {"Mikrofon", MixerComponent::kMicrophone, true, false, {30000, 30000}},
                     {"Line In", MixerComponent::kOther, true, false, {5000, 5000}}};
    port->listValues = {1, 0, 0};
    Options().notLoaded = 1;
    open(std::move(port));
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

TEST_F(FloatingDlgGui, AnalysisViewFillsTheWindowBelowTheTitleRow) {
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

}  // namespace
}  // namespace melvora

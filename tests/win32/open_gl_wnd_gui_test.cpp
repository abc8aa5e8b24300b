#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include "views/win32/open_gl_wnd.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// A view that clears to a chosen colour and, when asked, draws a text in white, the font
// scaled so that its letters are `letterPixels` high, from the lower left corner.
class TestGLView : public COpenGLWnd {
  public:
    float red = 0.0f, green = 0.0f, blue = 0.0f;
    std::wstring text;
    float letterPixels = 40.0f;
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
        glClearColor(red, green, blue, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        if (!text.empty() && TextLayout().LetterHeight() > 0.0f) {
            const float scale = letterPixels / TextLayout().LetterHeight();
            glColor3f(1.0f, 1.0f, 1.0f);
            glTranslatef(5.0f, 5.0f, 0.0f);
            glScalef(scale, scale, 1.0f);
            DrawText(text);
        }
    }
};

class OpenGLWndGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(100, 100, 300, 120, L"GL"));
        ASSERT_TRUE(view.Create(host.Handle(), RECT{0, 0, 300, 120}, 1067));
    }
    guitest::HostWindow host;
    TestGLView view;
};

TEST_F(OpenGLWndGuiTest, ClearsToItsColourAndReadsItBack) {
    ASSERT_TRUE(view.HasContext());
    EXPECT_EQ(view.creates, 1);
    EXPECT_GE(view.sizes, 1);
    view.red = 0.8f;
    view.green = 0.878f;
    view.blue = 0.969f;
    const guitest::Frame frame = guitest::Capture(view);
    ASSERT_EQ(frame.width, 300);
    ASSERT_EQ(frame.height, 120);
    EXPECT_EQ(frame.CountNear(0, 0, 300, 120, 204, 224, 247, 39), 300 * 120);
    // No context is left current once the call returns.
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

// An invalidation is painted by WM_PAINT (GL drawing under Wine does not show in GDI's
// copy of the screen, so the frames are counted; the screenshots show them).
TEST_F(OpenGLWndGuiTest, InvalidationPaintsAFrame) {
    guitest::PumpMessages(20);  // the first paint
    const uint64_t before = view.FramesDrawn();
    view.Invalidate(false);
    ASSERT_TRUE(guitest::PumpUntil([&] { return view.FramesDrawn() > before; }, 2000));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

TEST_F(OpenGLWndGuiTest, OutlineTextDrawsLettersOfTheFontHeight) {
    ASSERT_TRUE(view.fontMade);
    const GlyphTextLayout& layout = view.TextLayout();
    // A 12-point outline font measures in ems of about a unit: capitals about 0.7 high.
    EXPECT_GT(layout.LetterHeight(), 0.4f);
    EXPECT_LT(layout.LetterHeight(), 1.2f);
    EXPECT_GT(layout.Width(L"W"), layout.Width(L"i"));
    EXPECT_GT(layout.Width(L"Ş"), 0.0f);

    EXPECT_EQ(guitest::Capture(view).CountNear(0, 0, 300, 120, 255, 255, 255, 55), 0);
    view.text = L"A4";
    // Text pixels, only in the rows of the letters (5 to 45 from the bottom of 120).
    const guitest::Frame frame = guitest::Capture(view);
    EXPECT_GT(frame.CountNear(0, 120 - 48, 300, 120, 255, 255, 255, 55), 200);
    EXPECT_EQ(frame.CountNear(0, 0, 300, 120 - 48, 255, 255, 255, 55), 0);
}

TEST_F(OpenGLWndGuiTest, ZeroHeightStillResizes) {
    const int before = view.sizes;
    view.Resize(300, 0);
    EXPECT_GT(view.sizes, before);
    EXPECT_EQ(view.HeightPixels(), 0);
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    EXPECT_TRUE(view.CaptureFrame(&rgb, &width, &height));
    EXPECT_TRUE(rgb.empty());
}

}  // namespace
}  // namespace melvora

#include <gtest/gtest.h>

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

// Count of pixels of a captured frame whose channels are all within 40 of (r, g, b).
int CountNear(const std::vector<uint8_t>& rgb, int r, int g, int b) {
    int count = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        if (std::abs(rgb[i] - r) < 40 && std::abs(rgb[i + 1] - g) < 40 &&
            std::abs(rgb[i + 2] - b) < 40) {
            ++count;
        }
    }
    return count;
}

class OpenGLWndGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(100, 100, 300, 120, L"GL"));
        ASSERT_TRUE(view.Create(host.Handle(), RECT{0, 0, 300, 120}, 1067));
        guitest::PumpMessages(30);
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
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    ASSERT_TRUE(view.CaptureFrame(&rgb, &width, &height));
    ASSERT_EQ(width, 300);
    ASSERT_EQ(height, 120);
    EXPECT_EQ(CountNear(rgb, 204, 224, 247), 300 * 120);
    // No context is left current once the call returns.
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

// An invalidation is painted by WM_PAINT.
TEST_F(OpenGLWndGuiTest, InvalidationPaintsAFrame) {
    guitest::PumpMessages(20);
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

    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    ASSERT_TRUE(view.CaptureFrame(&rgb, &width, &height));
    EXPECT_EQ(CountNear(rgb, 255, 255, 255), 0);

    view.text = L"A4";
    ASSERT_TRUE(view.CaptureFrame(&rgb, &width, &height));
    // Text pixels, only in the rows of the letters (5 to 45 from the bottom).
    int inside = 0, above = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            if (p[0] > 200 && p[1] > 200 && p[2] > 200) {
                (y <= 47 ? inside : above) += 1;
            }
        }
    }
    EXPECT_GT(inside, 200);
    EXPECT_EQ(above, 0);
}

TEST_F(OpenGLWndGuiTest, ZeroHeightStillResizes) {
    const int before = view.sizes;
    view.Resize(300, 0);
    guitest::PumpMessages(20);
    EXPECT_GT(view.sizes, before);
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
        view.red = 0.9f;
        view.green = 0.3f;
        view.blue = 0.1f;
        ASSERT_TRUE(view.Create(host.Handle(), RECT{0, 0, 150, 90}, 1067));
        ASSERT_TRUE(view.HasContext());
        const bool offscreen = choice[0] == L'g';
        ASSERT_EQ(view.DrawsOffscreen(), offscreen);
        std::vector<uint8_t> rgb;
        int width = 0, height = 0;
        ASSERT_TRUE(view.CaptureFrame(&rgb, &width, &height));
        EXPECT_EQ(CountNear(rgb, 230, 77, 26), 150 * 90);
        if (!offscreen) {
            continue;  // Wine does not show a child window's pixel format on the screen
        }
        const COLORREF shown = RGB(230, 77, 26);
        auto showsAt = [&](int x, int y) {
            const COLORREF c = guitest::PixelOf(view.Handle(), x, y);
            return std::abs(GetRValue(c) - GetRValue(shown)) < 8 &&
                   std::abs(GetGValue(c) - GetGValue(shown)) < 8 &&
                   std::abs(GetBValue(c) - GetBValue(shown)) < 8;
        };
        ASSERT_TRUE(guitest::PumpUntil([&] { return showsAt(0, 0); }, guitest::kDeadlineMs));
        EXPECT_TRUE(showsAt(149, 0));
        EXPECT_TRUE(showsAt(0, 89));
        EXPECT_TRUE(showsAt(149, 89));
        view.Resize(390, 190);
        EXPECT_TRUE(guitest::PumpUntil([&] { return showsAt(389, 189); }, guitest::kDeadlineMs));
        EXPECT_TRUE(showsAt(0, 0));
    }
}

}  // namespace
}  // namespace melvora

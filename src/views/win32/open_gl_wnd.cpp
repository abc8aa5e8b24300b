#include "views/win32/open_gl_wnd.h"

#include <commctrl.h>
#include <GL/gl.h>

#include "string_ids.h"
#include "platform/string_table.h"
#include "platform/win32/paint_dc.h"
#include "ui/win32/my_message_dlg.h"
#include "views/win32/gl_context_scope.h"

namespace melvora {

namespace {

const wchar_t kClassName[] = L"MelvoraOpenGL";
constexpr UINT_PTR kRegionToolId = 1;

// Saves the DC's state for one scope: the views leave the window's DC as they found it.
class CSavedDC {
  public:
    explicit CSavedDC(HDC dc) : dc_(dc), saved_(dc != nullptr ? ::SaveDC(dc) : 0) {}
    ~CSavedDC() {
        if (saved_ != 0) {
            ::RestoreDC(dc_, saved_);
        }
    }
    CSavedDC(const CSavedDC&) = delete;
    CSavedDC& operator=(const CSavedDC&) = delete;

  private:
    HDC dc_;
    int saved_;
};

std::wstring SystemErrorText(DWORD error) {
    wchar_t buffer[128] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, 128, nullptr);
    return buffer;
}

}  // namespace

COpenGLWnd::COpenGLWnd() = default;

COpenGLWnd::~COpenGLWnd() {
    DestroyWindow();
}

bool COpenGLWnd::Create(HWND parent, const RECT& rect, UINT id) {
    if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, nullptr, nullptr)) {
        return false;
    }
    return CWnd::Create(0, kClassName, L"OpenGL", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect,
                        parent, id);
}

void COpenGLWnd::ReportFailure(int stringId, DWORD error) {
    HWND owner = Parent() != nullptr ? Parent() : Handle();
    ShowMessageBox(LoadText(stringId, language_), L"", MB_OK, owner, language_);
    ShowMessageBox(SystemErrorText(error), L"", MB_OK, owner, language_);
}

void COpenGLWnd::ReportMakeCurrentFailure() {
    const DWORD error = ::GetLastError();
    if (!makeCurrentReported_) {
        makeCurrentReported_ = true;
        ReportFailure(IDS_GL_MAKE_CURRENT_FAILED, error);
    }
}

bool COpenGLWnd::SetPixelFormatOn(HDC dc) {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    const int format = ::ChoosePixelFormat(dc, &pfd);
    if (format == 0) {
        ReportFailure(IDS_CHOOSE_PIXEL_FORMAT_FAILED, ::GetLastError());
        return false;
    }
    if (!::SetPixelFormat(dc, format, &pfd)) {
        ReportFailure(IDS_SET_PIXEL_FORMAT_FAILED, ::GetLastError());
        return false;
    }
    return true;
}

LRESULT COpenGLWnd::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (Default(WM_CREATE, wParam, lParam) == -1) {
        return -1;
    }
    {
        CWindowDC dc(Handle());
        CSavedDC saved(dc.Get());
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        // Without pbuffers the window path is the only one, shown or not.
        if (!CGLOffscreenTarget::Wanted() || !offscreen_.Open(dc.Get(), create->cx, create->cy)) {
            SetPixelFormatOn(dc.Get());
        }
        context_ = ::wglCreateContext(DrawingDc(dc.Get()));
        if (context_ == nullptr) {
            ReportFailure(IDS_NO_GL_CONTEXT, ::GetLastError());
        } else {
            CGLContextScope scope(DrawingDc(dc.Get()), context_);
            if (!scope.IsCurrent()) {
                ReportMakeCurrentFailure();
            } else {
                glShadeModel(GL_SMOOTH);
                OnGLCreate(dc.Get());
            }
        }
    }
    CreateToolTip();
    return 0;
}

void COpenGLWnd::CreateToolTip() {
    const ToolTipKind kind = ToolTipStyle();
    if (kind == ToolTipKind::kNone || !toolTip_.Create(Handle())) {
        return;
    }
    toolTip_.SetDelays(60000, 100, 100);
    if (kind == ToolTipKind::kFixedText) {
        toolTip_.AddTool(Handle(), FixedToolTipText());
        toolTip_.Activate(true);
        return;
    }
    ::SendMessageW(toolTip_.Handle(), TTM_SETMAXTIPWIDTH, 0, 32767);
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = Handle();
    ti.uId = kRegionToolId;
    ti.rect = RECT{0, 0, 0x7FFFFFFF, 0x7FFFFFFF};
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(toolTip_.Handle(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(toolTip_.Handle(), TTM_SETMAXTIPWIDTH, 0, 150);
    toolTip_.Activate(false);
}

void COpenGLWnd::ActivateToolTip(bool active) const {
    toolTip_.Activate(active);
}

void COpenGLWnd::OnSize(int cx, int cy) {
    {
        CWindowDC dc(Handle());
        CSavedDC saved(dc.Get());
        width_ = cx;
        height_ = cy;
        offscreen_.Fit(dc.Get(), cx, cy);
        CGLContextScope scope(DrawingDc(dc.Get()), context_);
        if (context_ != nullptr && !scope.IsCurrent()) {
            ReportMakeCurrentFailure();
        }
        if (scope.IsCurrent()) {
            glViewport(0, 0, cx, cy);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            OnGLSize(cx, cy);
        }
    }
    ::InvalidateRect(Handle(), nullptr, FALSE);
    OnSized(cx, cy);
}

void COpenGLWnd::DrawFrame() {
    glClear(UsesDepth() ? (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) : GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    OnGLPaint();
    glPopMatrix();
    ++framesDrawn_;
}

void COpenGLWnd::OnPaint() {
    CPaintDC dc(Handle());
    CGLContextScope scope(DrawingDc(dc.Get()), context_);
    if (!scope.IsCurrent()) {
        if (context_ != nullptr) {
            ReportMakeCurrentFailure();
        }
        return;
    }
    DrawFrame();
    if (offscreen_.IsOpen()) {
        offscreen_.Present(dc.Get(), width_, height_);
    } else {
        ::SwapBuffers(dc.Get());
    }
}

bool COpenGLWnd::CaptureFrame(std::vector<uint8_t>* rgb, int* width, int* height) {
    CWindowDC dc(Handle());
    CGLContextScope scope(DrawingDc(dc.Get()), context_);
    if (!scope.IsCurrent()) {
        return false;
    }
    DrawFrame();
    glFinish();
    *width = width_;
    *height = height_;
    rgb->assign(static_cast<size_t>(width_ > 0 ? width_ : 0) *
                    static_cast<size_t>(height_ > 0 ? height_ : 0) * 3,
                0);
    if (rgb->empty()) {
        return true;
    }
    // The back buffer in the window; a pbuffer may have only a front one.
    GLint drawn = GL_BACK;
    if (offscreen_.IsOpen()) {
        glGetIntegerv(GL_DRAW_BUFFER, &drawn);
    }
    glReadBuffer(static_cast<GLenum>(drawn));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb->data());
    return glGetError() == GL_NO_ERROR;
}

void COpenGLWnd::OnDestroy() {
    if (context_ != nullptr) {
        CWindowDC dc(Handle());
        CGLContextScope scope(DrawingDc(dc.Get()), context_);
        if (scope.IsCurrent()) {
            OnGLDestroy();
            if (fontListBase_ != 0) {
                glDeleteLists(fontListBase_, GlyphTextLayout::kSlotCount);
                fontListBase_ = 0;
            }
        }
    }
    if (context_ != nullptr) {
        ::wglDeleteContext(context_);
        context_ = nullptr;
    }
    offscreen_.Close();
}

bool COpenGLWnd::BuildOutlineFont(HDC dc, const std::wstring& face, int tenthsOfPoint) {
    fontListBase_ = glGenLists(GlyphTextLayout::kSlotCount);
    if (fontListBase_ == 0) {
        return false;
    }
    CFontHandle font(CreatePointFont(tenthsOfPoint, face.c_str()));
    CSelectObject selected(dc, font.Get());
    // Control characters have no outline; their lists stay empty and their metrics zero.
    constexpr int kFirst = 32;
    std::vector<GLYPHMETRICSFLOAT> metrics(GlyphTextLayout::kSlotCount);
    bool made = ::wglUseFontOutlinesW(dc, kFirst, GlyphTextLayout::kLatinSlots - kFirst,
                                      fontListBase_ + kFirst, 0.0f, 0.0f, WGL_FONT_POLYGONS,
                                      &metrics[kFirst]) != FALSE;
    for (int i = 0; i < GlyphTextLayout::kExtraSlots; ++i) {
        const int slot = GlyphTextLayout::kLatinSlots + i;
        ::wglUseFontOutlinesW(dc, static_cast<DWORD>(GlyphTextLayout::ExtraCharacter(i)), 1,
                              fontListBase_ + slot, 0.0f, 0.0f, WGL_FONT_POLYGONS, &metrics[slot]);
    }
    for (int slot = kFirst; slot < GlyphTextLayout::kSlotCount; ++slot) {
        textLayout_.SetMetric(slot, {metrics[slot].gmfCellIncX, metrics[slot].gmfptGlyphOrigin.y});
    }
    return made;
}

void COpenGLWnd::DrawText(const std::wstring& text) const {
    if (text.empty() || fontListBase_ == 0) {
        return;
    }
    const std::vector<uint16_t> slots = GlyphTextLayout::Slots(text);
    glListBase(fontListBase_);
    glCallLists(static_cast<GLsizei>(slots.size()), GL_UNSIGNED_SHORT, slots.data());
}

LRESULT COpenGLWnd::OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT COpenGLWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(wParam, lParam);
        case WM_SIZE:
            Default(message, wParam, lParam);
            OnSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            // OpenGL paints every pixel; erasing would only flicker.
            return 1;
        case WM_DESTROY:
            Default(message, wParam, lParam);
            OnDestroy();
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->code == TTN_NEEDTEXTW && header->hwndFrom == toolTip_.Handle()) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                const std::wstring text = RegionToolTipText();
                lstrcpynW(info->szText, text.c_str(), 80);
                info->lpszText = info->szText;
                return 0;
            }
            return Default(message, wParam, lParam);
        }
        default:
            return OnViewMessage(message, wParam, lParam);
    }
}

}  // namespace melvora

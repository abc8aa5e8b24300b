#include "views/win32/gl_offscreen_target.h"

#include <GL/gl.h>
#include <GL/wglext.h>

#include <cstring>

#include "views/win32/gl_context_scope.h"

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace melvora {

namespace {

// The pbuffer entry points, asked for once per process.
struct PbufferApi {
    PFNWGLCHOOSEPIXELFORMATARBPROC choose = nullptr;
    PFNWGLCREATEPBUFFERARBPROC create = nullptr;
    PFNWGLGETPBUFFERDCARBPROC getDc = nullptr;
    PFNWGLRELEASEPBUFFERDCARBPROC releaseDc = nullptr;
    PFNWGLDESTROYPBUFFERARBPROC destroy = nullptr;
    bool Complete() const {
        return choose != nullptr && create != nullptr && getDc != nullptr && releaseDc != nullptr &&
               destroy != nullptr;
    }
};

template <typename Proc>
void Load(Proc* proc, const char* name) {
    *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(::wglGetProcAddress(name)));
}

// wglGetProcAddress answers only with a context current, and a view window must not get a
// pixel format: a hidden window lends one for the question.
PbufferApi AskForApi() {
    PbufferApi api;
    HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr) {
        return api;
    }
    HDC dc = ::GetDC(probe);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    const int format = ::ChoosePixelFormat(dc, &pfd);
    HGLRC context = nullptr;
    if (format != 0 && ::SetPixelFormat(dc, format, &pfd)) {
        context = ::wglCreateContext(dc);
    }
    if (context != nullptr) {
        CGLContextScope scope(dc, context);
        if (scope.IsCurrent()) {
            Load(&api.choose, "wglChoosePixelFormatARB");
            Load(&api.create, "wglCreatePbufferARB");
            Load(&api.getDc, "wglGetPbufferDCARB");
            Load(&api.releaseDc, "wglReleasePbufferDCARB");
            Load(&api.destroy, "wglDestroyPbufferARB");
        }
    }
    if (context != nullptr) {
        ::wglDeleteContext(context);
    }
    ::ReleaseDC(probe, dc);
    ::DestroyWindow(probe);
    return api;
}

const PbufferApi& Api() {
    static const PbufferApi api = AskForApi();
    return api;
}

// Sizes grow in steps, so dragging a window's edge does not make a pbuffer per pixel.
int RoundedUp(int pixels) {
    constexpr int kStep = 64;
    return pixels <= 0 ? kStep : (pixels + kStep - 1) / kStep * kStep;
}

bool ReadsBgra() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const bool atLeast12 =
        version != nullptr &&
        (version[0] > '1' || (version[0] == '1' && version[1] == '.' && version[2] >= '2'));
    return atLeast12 || (extensions != nullptr && std::strstr(extensions, "GL_EXT_bgra"));
}

}  // namespace

CGLOffscreenTarget::~CGLOffscreenTarget() {
    Close();
}

bool CGLOffscreenTarget::Wanted() {
    wchar_t choice[16] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"MELVORA_GL_PRESENT", choice, 16);
    if (length > 0 && length < 16) {
        if (::lstrcmpiW(choice, L"gdi") == 0) {
            return true;
        }
        if (::lstrcmpiW(choice, L"window") == 0) {
            return false;
        }
    }
    static const bool wine =
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

bool CGLOffscreenTarget::Open(HDC dc, int cx, int cy) {
    Close();
    const PbufferApi& api = Api();
    if (!api.Complete()) {
        return false;
    }
    // Attributes with their least values; a depth buffer for the views that use one.
    const int attributes[][2] = {{WGL_DRAW_TO_PBUFFER_ARB, TRUE},
                                 {WGL_SUPPORT_OPENGL_ARB, TRUE},
                                 {WGL_PIXEL_TYPE_ARB, WGL_TYPE_RGBA_ARB},
                                 {WGL_COLOR_BITS_ARB, 24},
                                 {WGL_DEPTH_BITS_ARB, 16},
                                 {0, 0}};
    UINT count = 0;
    if (!api.choose(dc, &attributes[0][0], nullptr, 1, &format_, &count) || count == 0) {
        format_ = 0;
        return false;
    }
    return Fit(dc, cx, cy);
}

bool CGLOffscreenTarget::Fit(HDC dc, int cx, int cy) {
    if (format_ == 0 || (IsOpen() && cx <= widthPixels_ && cy <= heightPixels_)) {
        return format_ != 0;
    }
    const PbufferApi& api = Api();
    const int width = RoundedUp(cx > widthPixels_ ? cx : widthPixels_);
    const int height = RoundedUp(cy > heightPixels_ ? cy : heightPixels_);
    const int noAttributes[] = {0};
    HPBUFFERARB pbuffer = api.create(dc, format_, width, height, noAttributes);
    HDC pbufferDc = pbuffer != nullptr ? api.getDc(pbuffer) : nullptr;
    if (pbufferDc == nullptr) {
        if (pbuffer != nullptr) {
            api.destroy(pbuffer);
        }
        return false;
    }
    const int format = format_;
    Close();
    format_ = format;
    pbuffer_ = pbuffer;
    dc_ = pbufferDc;
    widthPixels_ = width;
    heightPixels_ = height;
    return true;
}

void CGLOffscreenTarget::Close() {
    if (pbuffer_ != nullptr) {
        const PbufferApi& api = Api();
        api.releaseDc(static_cast<HPBUFFERARB>(pbuffer_), dc_);
        api.destroy(static_cast<HPBUFFERARB>(pbuffer_));
    }
    pbuffer_ = nullptr;
    dc_ = nullptr;
    format_ = 0;
    widthPixels_ = 0;
    heightPixels_ = 0;
}

void CGLOffscreenTarget::Present(HDC windowDc, int cx, int cy) {
    // A view larger than a pbuffer that could not grow shows its lower left part in place.
    const int top = cy > heightPixels_ ? cy - heightPixels_ : 0;
    cx = cx < widthPixels_ ? cx : widthPixels_;
    cy = cy < heightPixels_ ? cy : heightPixels_;
    if (cx <= 0 || cy <= 0) {
        return;
    }
    if (bgra_ < 0) {
        bgra_ = ReadsBgra() ? 1 : 0;
    }
    const size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    if (pixels_.size() < count) {
        pixels_.resize(count);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, cx, cy, bgra_ != 0 ? GL_BGRA_EXT : GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels_.data());
    if (bgra_ == 0) {
        for (size_t i = 0; i < count; ++i) {
            const uint32_t p = pixels_[i];  // R, G, B, A in memory: swap R and B
            pixels_[i] = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
        }
    }
    // GL rows run from the bottom, as in a bottom-up DIB.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(windowDc, 0, top, static_cast<DWORD>(cx), static_cast<DWORD>(cy), 0, 0, 0,
                        static_cast<UINT>(cy), pixels_.data(), &info, DIB_RGB_COLORS);
}

}  // namespace melvora

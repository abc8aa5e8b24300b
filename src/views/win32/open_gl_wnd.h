#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/tool_tip.h"
#include "platform/win32/wnd.h"
#include "views/win32/gl_offscreen_target.h"
#include "views/glyph_text_layout.h"

namespace melvora {

// The child window every OpenGL view is built on: the pixel format (24-bit RGBA, double
// buffered) or, where child OpenGL windows do not show (Wine), an offscreen pbuffer copied
// into the window with GDI; an owned rendering context that is current only inside one
// message handler, an optional outline font with its text maths, one tool tip, and the
// reports of GL set-up failures in the skinned message box. Views override the GL hooks
// below; each hook runs with the context current.
class COpenGLWnd : public CWnd {
  public:
    COpenGLWnd();
    ~COpenGLWnd() override;

    // Creates the child window over `rect` (parent client coordinates) with control id `id`.
    bool Create(HWND parent, const RECT& rect, UINT id);

    // Language of the error reports and tool tips (0 English, 1 Turkish).
    void SetLanguage(int language) { language_ = language; }
    int Language() const { return language_; }

    // True when the window has a rendering context.
    bool HasContext() const { return context_ != nullptr; }
    // True when frames are drawn offscreen and copied into the window with GDI.
    bool DrawsOffscreen() const { return offscreen_.IsOpen(); }
    int WidthPixels() const { return width_; }
    int HeightPixels() const { return height_; }
    // Frames drawn so far (for the frame-rate figures).
    uint64_t FramesDrawn() const { return framesDrawn_; }

    // Draws one frame as WM_PAINT would, into the back buffer without showing it, and
    // reads it back: `rgb` gets width x height x 3 bytes, bottom row first. False when there
    // is no context or it cannot be made current.
    bool CaptureFrame(std::vector<uint8_t>* rgb, int* width, int* height);

    const GlyphTextLayout& TextLayout() const { return textLayout_; }

  protected:
    enum class ToolTipKind { kNone, kFixedText, kByRegion };

    // Set-up after the pixel format, with the context current: clear colour, fixed state,
    // fonts, display lists, textures. `dc` is the window's DC (for the fonts).
    virtual void OnGLCreate(HDC /*dc*/) {}
    // Projection for a client area of cx x cy (the viewport is set already).
    virtual void OnGLSize(int /*cx*/, int /*cy*/) {}
    // Draws one frame (the colour buffer, and the depth buffer when UsesDepth(), is
    // cleared and a model-view identity pushed).
    virtual void OnGLPaint() {}
    // Layout after a resize, with no context current.
    virtual void OnSized(int /*cx*/, int /*cy*/) {}
    virtual bool UsesDepth() const { return false; }
    // Before WM_DESTROY releases the context, with the context current (textures, lists).
    virtual void OnGLDestroy() {}

    // Tool tips: a fixed text for the whole window, or a text asked for by region.
    virtual ToolTipKind ToolTipStyle() const { return ToolTipKind::kNone; }
    virtual std::wstring FixedToolTipText() const { return std::wstring(); }
    virtual std::wstring RegionToolTipText() const { return L"??"; }
    // Switches the tool tip on or off (by-region views, as the mouse enters regions).
    void ActivateToolTip(bool active) const;
    CToolTip& ToolTip() { return toolTip_; }

    // Builds the outline font lists of `face` at `tenthsOfPoint` (default 12 points) on `dc`
    // and fills the text layout; call from OnGLCreate. False when no glyph could be made.
    bool BuildOutlineFont(HDC dc, const std::wstring& face, int tenthsOfPoint = 120);
    // Draws `text` at the current position with the font lists (nothing for an empty text
    // or without a font).
    void DrawText(const std::wstring& text) const;

    // Reports a GL failure: the message `stringId`, then the system's text for `error`.
    void ReportFailure(int stringId, DWORD error);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Mouse and timer messages of the view (default processing unless handled).
    virtual LRESULT OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    void OnSize(int cx, int cy);
    void OnPaint();
    void OnDestroy();
    bool SetPixelFormatOn(HDC dc);
    void CreateToolTip();
    void DrawFrame();
    // Reports a make-current failure once per view, so a view that cannot draw does not
    // put a message box up on every paint.
    void ReportMakeCurrentFailure();
    // The DC the context draws on: the pbuffer's when drawing offscreen, else `windowDc`.
    HDC DrawingDc(HDC windowDc) const { return offscreen_.IsOpen() ? offscreen_.Dc() : windowDc; }

    CGLOffscreenTarget offscreen_;
    HGLRC context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int language_ = 0;
    uint64_t framesDrawn_ = 0;
    bool makeCurrentReported_ = false;
    CToolTip toolTip_;
    unsigned int fontListBase_ = 0;
    GlyphTextLayout textLayout_;
};

}  // namespace melvora

#include "views/win32/energy_bar.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/string_table.h"
#include "string_ids.h"

namespace melvora {

namespace {

constexpr float kColumnWidth = 1.8f;
constexpr float kBarWidth = 2.0f;

void Colour(const ViewColour& c) {
    glColor4f(c.r, c.g, c.b, c.a);
}

void ShadedQuad(float left, float right, float bottom, float top, const ViewColour& bottomColour,
                const ViewColour& topColour) {
    Colour(bottomColour);
    glVertex2f(left, bottom);
    glVertex2f(right, bottom);
    Colour(topColour);
    glVertex2f(right, top);
    glVertex2f(left, top);
}

}  // namespace

void CEnergyBar::OnGLCreate(HDC /*dc*/) {
    glClearColor(204.0f / 255.0f, 224.0f / 255.0f, 247.0f / 255.0f, 1.0f);
}

void CEnergyBar::OnGLSize(int /*cx*/, int /*cy*/) {
    gluOrtho2D(-1.0, 1.0, -1.0, 1.0);
}

std::wstring CEnergyBar::FixedToolTipText() const {
    return LoadText(IDS_AMPLITUDE, Language());
}

void CEnergyBar::OnGLPaint() {
    glTranslatef(-0.9f, -1.0f, 0.0f);
    const ViewColour darkGreen{0.0f, 0.5f, 0.0f, 1.0f};
    const ViewColour darkYellow{0.5f, 0.5f, 0.0f, 1.0f};
    const ViewColour darkRed{0.5f, 0.0f, 0.0f, 1.0f};
    glBegin(GL_QUADS);
    ShadedQuad(0.0f, kColumnWidth, 0.0f, 1.0f, darkGreen, darkYellow);
    ShadedQuad(0.0f, kColumnWidth, 1.0f, 2.0f, darkYellow, darkRed);
    glEnd();

    const float a = owner_.NewestResult().level;
    const int64_t nowMs = static_cast<int64_t>(::GetTickCount64());
    meter_.NoteClippedBlocks(owner_.ClippedBlocks(), nowMs);

    glTranslatef((kColumnWidth - kBarWidth) * 0.5f, 0.0f, 0.0f);
    EnergyBarMeter::Quad quads[2];
    const int count = EnergyBarMeter::LevelQuads(a, quads);
    glBegin(GL_QUADS);
    for (int i = 0; i < count; ++i) {
        ShadedQuad(0.0f, kBarWidth, quads[i].bottom, quads[i].top, quads[i].bottomColour,
                   quads[i].topColour);
    }
    const bool clipLit = meter_.ClipLit(nowMs);
    if (clipLit) {
        // The clipping warning: the top of the meter in full red.
        const ViewColour red{1.0f, 0.0f, 0.0f, 1.0f};
        ShadedQuad(0.0f, kBarWidth, EnergyBarMeter::kClipBottom, EnergyBarMeter::kFullHeight, red,
                   red);
    }
    glEnd();

    const bool falling = meter_.OnPaint(a);
    if ((falling || clipLit) && !owner_.TransportRecordingOrReplaying()) {
        StartTimer();
    }

    const float p = meter_.Peak() * EnergyBarMeter::kFullHeight;
    const ViewColour peakColour = EnergyBarMeter::ColourAt(meter_.Peak());
    glBegin(GL_QUADS);
    ShadedQuad(0.0f, kBarWidth, p - EnergyBarMeter::kPeakHalfThickness,
               p + EnergyBarMeter::kPeakHalfThickness, peakColour, peakColour);
    glEnd();
}

void CEnergyBar::StartTimer() {
    ::SetTimer(Handle(), kTimerId, kTimerPeriodMs, nullptr);
    timerRunning_ = true;
}

void CEnergyBar::StopTimer() {
    ::KillTimer(Handle(), kTimerId);
    timerRunning_ = false;
}

void CEnergyBar::OnGLDestroy() {
    StopTimer();
}

LRESULT CEnergyBar::OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        const float level = owner_.NewestResult().level;
        if (!meter_.OnTimer(level)) {
            StopTimer();
        }
        // The paint starts the timer again while the clipping warning is lit, so the paint
        // after its second puts the top back.
        Invalidate(false);
    }
    return COpenGLWnd::OnViewMessage(message, wParam, lParam);
}

}  // namespace melvora

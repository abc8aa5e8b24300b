#include "views/win32/insta_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "app/app_options.h"
#include "platform/string_table.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/resource_strings.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "views/analysis_style.h"

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace melvora {

namespace {

using Region = InstaViewLayout::Region;

// The ring resolution of a damaged options file stays within what a paint can afford.
constexpr int kMaximumResolution = 360;

void Colour(const ViewColour& c) {
    glColor4f(c.r, c.g, c.b, c.a);
}

void Vertex(const AnalysisStyle::Point& p, float offset = 0.0f) {
    glVertex3f(p.x + offset, p.y + offset, -offset);
}

int Resolution() {
    return std::clamp(Options().circleResolution, 0, kMaximumResolution);
}

int HistoryLength() {
    return std::max(1, Options().resultHistoryLength);
}

// The star sprite: a regular octagon over the texture's square.
void DrawSprite() {
    static const float kCorners[8][2] = {{0.373f, 0.9f},   {-0.373f, 0.9f},  {-0.9f, 0.373f},
                                         {-0.9f, -0.373f}, {-0.373f, -0.9f}, {0.373f, -0.9f},
                                         {0.9f, -0.373f},  {0.9f, 0.373f}};
    glBegin(GL_POLYGON);
    for (const auto& corner : kCorners) {
        auto tex = [](float c) {
            const float half = std::fabs(c) < 0.5f ? 0.207f : 0.5f;
            return c < 0.0f ? 0.5f - half : 0.5f + half;
        };
        glTexCoord2f(tex(corner[0]), tex(corner[1]));
        glVertex2f(corner[0], corner[1]);
    }
    glEnd();
}

}  // namespace

CInstaView::CInstaView(const ViewOwner& owner)
    : owner_(owner), ring_(std::make_unique<RingGeometry>(Resolution())) {}

CInstaView::~CInstaView() = default;

void CInstaView::OnGLCreate(HDC dc) {
    const ViewColour& bg = AnalysisStyle::kBackground;
    glClearColor(bg.r, bg.g, bg.b, bg.a);
    glDepthFunc(GL_LEQUAL);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_POINT_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    BuildOutlineFont(dc, Utf8ToWide(Options().fontFace));
    const float letterHeight = TextLayout().LetterHeight();
    textScale_ = letterHeight > 0.0f ? 0.3f / letterHeight : 0.0f;
}

void CInstaView::OnGLSize(int cx, int cy) {
    gluOrtho2D(0.0, cx, 0.0, cy);
}

void CInstaView::OnSized(int cx, int cy) {
    layout_.Resize(cx, cy);
    Invalidate(false);
}

void CInstaView::OnGLDestroy() {
    if (starTexture_ != 0) {
        glDeleteTextures(1, &starTexture_);
        starTexture_ = 0;
    }
}

float CInstaView::MeasureOf(const ResultRecord& record) const {
    switch (selectedMeasure_) {
        case InstaViewLayout::kJitterMeasure:
            return record.jitter;
        case InstaViewLayout::kShimmerMeasure:
            return record.shimmer;
        default:
            return record.tessim;
    }
}

void CInstaView::OnGLPaint() {
    if (ring_->PointsPerQuarter() != Resolution()) {
        ring_ = std::make_unique<RingGeometry>(Resolution());
    }
    // One copy under the result lock; the drawing below never holds it.
    std::vector<ResultRecord> newestFirst = owner_.AllResults();
    if (newestFirst.empty()) {
        newestFirst.push_back(ResultRecord());
    }
    const ResultRecord newest = newestFirst.front();
    const std::vector<ResultRecord> oldestFirst(newestFirst.rbegin(), newestFirst.rend());
    const int historyLength = HistoryLength();

    const float r = layout_.Radius();
    glPushMatrix();
    glTranslatef(r, static_cast<float>(HeightPixels()) - r, 1.0f);
    glScalef(r, r, 1.0f);
    switch (Options().analysisView) {
        case AnalysisStyle::kStar:
            DrawStar(newest, false);
            break;
        case AnalysisStyle::kStar2:
            DrawStar(newest, true);
            break;
        case AnalysisStyle::kCircle:
            DrawCircle(oldestFirst, historyLength);
            break;
        case AnalysisStyle::kCircle2:
            DrawClock(oldestFirst, historyLength);
            break;
        case AnalysisStyle::kCircle3D:
            DrawTube(oldestFirst, historyLength, false);
            break;
        case AnalysisStyle::kKnife3D:
            DrawTube(oldestFirst, historyLength, true);
            break;
        default:
            break;
    }
    DrawNoteName(newest);
    glPopMatrix();
    DrawPanel(newest);
}

void CInstaView::MakeStarTexture() {
    HBITMAP bitmap =
        static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_STAR),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr) {
        return;
    }
    CBitmapHandle owned(bitmap);
    DIBSECTION dib = {};
    if (::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBits == nullptr ||
        dib.dsBm.bmBitsPixel != 32) {
        return;
    }
    glGenTextures(1, &starTexture_);
    glBindTexture(GL_TEXTURE_2D, starTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    const float border[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, dib.dsBm.bmWidth,
                 std::abs(dib.dsBm.bmHeight), 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, dib.dsBm.bmBits);
}

void CInstaView::DrawStar(const ResultRecord& newest, bool oneCopy) {
    if (starTexture_ == 0) {
        MakeStarTexture();
    }
    const float v = MeasureOf(newest);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, starTexture_);
    glPushMatrix();
    glRotatef(spinDegrees_, 0.0f, 0.0f, 1.0f);
    if (oneCopy) {
        Colour(AnalysisStyle::Star2Colour(v));
        DrawSprite();
    } else {
        const int copies = AnalysisStyle::StarCopies(v);
        const float step = copies > 0 ? AnalysisStyle::kSpreadDegrees / copies : 0.0f;
        for (int i = copies - 1; i >= 0; --i) {
            Colour(AnalysisStyle::kPalette[i]);
            glRotatef(step, 0.0f, 0.0f, 1.0f);
            DrawSprite();
        }
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    if (newest.level > 0.0f) {
        // Kept within a turn so hours of singing do not wear the angle's precision away.
        spinDegrees_ = std::fmod(spinDegrees_ + AnalysisStyle::kSpinStepDegrees, 360.0f);
    }
}

void CInstaView::DrawCircle(const std::vector<ResultRecord>& oldestFirst, int historyLength) {
    const int n = ring_->PointsPerQuarter();
    Colour(AnalysisStyle::kRing);
    glBegin(GL_QUAD_STRIP);
    for (int q = 0; q < 4; ++q) {
        for (int k = 0; k < n; ++k) {
            Vertex(ring_->RingPoint(q, k, RingGeometry::kInnerRadius));
            Vertex(ring_->RingPoint(q, k, RingGeometry::kOuterRadius));
        }
    }
    if (n > 0) {
        Vertex(ring_->RingPoint(0, 0, RingGeometry::kInnerRadius));
        Vertex(ring_->RingPoint(0, 0, RingGeometry::kOuterRadius));
    }
    glEnd();
    const int count = static_cast<int>(oldestFirst.size());
    for (int i = 0; i < count; ++i) {
        const float f = AnalysisStyle::AgeFactor(i, count, historyLength);
        const float v = MeasureOf(oldestFirst[i]);
        Colour(AnalysisStyle::Fade(AnalysisStyle::ValueColour(v), AnalysisStyle::kRing, f));
        glLineWidth(2.0f * f + 0.25f);
        glBegin(GL_LINE_STRIP);
        for (const AnalysisStyle::Point& p : ring_->StarOutline(v)) {
            Vertex(p);
        }
        glEnd();
    }
    glLineWidth(1.0f);
}

void CInstaView::DrawCell(int semitone, const ViewColour& colour) {
    Colour(colour);
    glBegin(GL_QUAD_STRIP);
    for (const RingGeometry::RingIndex& i : ring_->CellPoints(semitone)) {
        Vertex(ring_->RingPoint(i.quadrant, i.k, RingGeometry::kInnerRadius));
        Vertex(ring_->RingPoint(i.quadrant, i.k, RingGeometry::kOuterRadius));
    }
    glEnd();
}

void CInstaView::DrawCellBorder(int semitone) {
    const std::vector<RingGeometry::RingIndex> cell = ring_->CellPoints(semitone);
    if (cell.empty()) {
        return;
    }
    Colour(AnalysisStyle::kDivider);
    glLineWidth(0.5f);
    glLineStipple(1, 0x00FF);
    glEnable(GL_LINE_STIPPLE);
    glBegin(GL_LINES);
    Vertex(ring_->RingPoint(cell[0].quadrant, cell[0].k, RingGeometry::kInnerRadius));
    Vertex(ring_->RingPoint(cell[0].quadrant, cell[0].k, RingGeometry::kOuterRadius));
    glEnd();
    glDisable(GL_LINE_STIPPLE);
}

void CInstaView::DrawClock(const std::vector<ResultRecord>& oldestFirst, int historyLength) {
    bool lit[12] = {};
    const int count = static_cast<int>(oldestFirst.size());
    // Newest first: the most recently sung note's cell is the lightest.
    float factor = 1.0f;
    for (int i = count - 1; i >= 0; --i, factor -= 1.0f / static_cast<float>(historyLength)) {
        const ResultRecord& record = oldestFirst[i];
        const int s = record.note.semitone;
        if (record.pitchHz == 0.0f || s < 0 || s > 11 || lit[s]) {
            continue;
        }
        lit[s] = true;
        DrawCell(s, AnalysisStyle::Fade(AnalysisStyle::kRing, AnalysisStyle::kEmptyCell, factor));
        DrawCellBorder(s);
    }
    for (int i = 0; i < count; ++i) {
        const ResultRecord& record = oldestFirst[i];
        const int s = record.note.semitone;
        if (record.pitchHz == 0.0f || s < 0 || s > 11) {
            continue;
        }
        const float f = AnalysisStyle::AgeFactor(i, count, historyLength);
        const float v = MeasureOf(record);
        Colour(AnalysisStyle::Fade(AnalysisStyle::ValueColour(v), AnalysisStyle::kCellLine, f));
        glLineWidth(0.25f);
        glBegin(GL_LINE_STRIP);
        for (const AnalysisStyle::Point& p : ring_->CellZigZag(s, v)) {
            Vertex(p);
        }
        glEnd();
    }
    for (int s = 0; s < 12; ++s) {
        if (lit[s]) {
            continue;
        }
        DrawCell(s, AnalysisStyle::kEmptyCell);
        Colour(AnalysisStyle::kCellLine);
        glLineWidth(0.5f);
        glBegin(GL_LINE_STRIP);
        for (const AnalysisStyle::Point& p : ring_->EmptyCellZigZag(s)) {
            Vertex(p);
        }
        glEnd();
        DrawCellBorder(s);
    }
    glLineWidth(1.0f);
}

void CInstaView::DrawTube(const std::vector<ResultRecord>& oldestFirst, int historyLength,
                          bool knife) {
    const int count = static_cast<int>(oldestFirst.size());
    const int n = ring_->PointsPerQuarter();
    for (int i = 0; i + 1 < count; ++i) {
        const ResultRecord& older = oldestFirst[i];
        const ResultRecord& newer = oldestFirst[i + 1];
        const int d = count - 2 - i;  // depth of the newer record
        const float newerOffset = AnalysisStyle::DepthOffset(d);
        const float olderOffset = AnalysisStyle::DepthOffset(d + 1);
        const float vNewer = MeasureOf(newer);
        const float vOlder = MeasureOf(older);
        const ViewColour cNewer =
            AnalysisStyle::Fade(AnalysisStyle::ValueColour(vNewer), AnalysisStyle::kBackground,
                                AnalysisStyle::AgeFactor(i + 1, count, historyLength));
        const ViewColour cOlder =
            AnalysisStyle::Fade(AnalysisStyle::ValueColour(vOlder), AnalysisStyle::kBackground,
                                AnalysisStyle::AgeFactor(i, count, historyLength));
        glBegin(GL_QUAD_STRIP);
        if (knife) {
            AnalysisStyle::Point newerBlade[5];
            AnalysisStyle::Point olderBlade[5];
            AnalysisStyle::KnifeBlade(vNewer, newerBlade);
            AnalysisStyle::KnifeBlade(vOlder, olderBlade);
            for (int step = 0; step < 5; ++step) {
                const bool base = step == 0 || step == 4;
                Colour(base ? AnalysisStyle::kBackground : cNewer);
                Vertex(newerBlade[step], newerOffset);
                Colour(base ? AnalysisStyle::kBackground : cOlder);
                Vertex(olderBlade[step], olderOffset);
            }
        } else {
            const float newerRadii[2] = {AnalysisStyle::StarOuterRadius(vNewer),
                                         AnalysisStyle::StarInnerRadius(vNewer)};
            const float olderRadii[2] = {AnalysisStyle::StarOuterRadius(vOlder),
                                         AnalysisStyle::StarInnerRadius(vOlder)};
            for (int q = 0; q < 4; ++q) {
                for (int k = 0; k < n; k += 3) {
                    Colour(cNewer);
                    Vertex(ring_->RingPoint(q, k, newerRadii[k % 2]), newerOffset);
                    Colour(cOlder);
                    Vertex(ring_->RingPoint(q, k, olderRadii[k % 2]), olderOffset);
                }
            }
            if (n > 0) {
                Colour(cNewer);
                Vertex(ring_->RingPoint(0, 0, newerRadii[0]), newerOffset);
                Colour(cOlder);
                Vertex(ring_->RingPoint(0, 0, olderRadii[0]), olderOffset);
            }
        }
        glEnd();
    }
}

void CInstaView::DrawNoteName(const ResultRecord& newest) {
    if (newest.pitchHz == 0.0f) {
        return;
    }
    const std::wstring name = Utf8ToWide(newest.note.Name(true, Options().noteLetters != 0));
    const float width = TextLayout().Width(name);
    if (width <= 0.0f) {
        return;
    }
    Colour(AnalysisStyle::kNoteText);
    glPushMatrix();
    glTranslatef(-0.15f, -0.15f, 0.0f);
    glScalef(0.3f / width, textScale_, 1.0f);
    DrawText(name);
    glPopMatrix();
}

void CInstaView::DrawPanelText(const std::wstring& text, float x, float y, float unitsWide,
                               float scaleX, float scaleY) {
    glPushMatrix();
    glTranslatef(x + TextLayout().CentringOffset(text, unitsWide) * scaleX, y, 0.0f);
    glScalef(scaleX, scaleY, 1.0f);
    DrawText(text);
    glPopMatrix();
}

void CInstaView::DrawPanel(const ResultRecord& newest) {
    const float left = static_cast<float>(layout_.SquareSize());
    const float top = static_cast<float>(HeightPixels()) - layout_.PanelMargin();
    constexpr float kLabelScale = 25.0f;
    constexpr float kLabelUnits = 10.0f;  // 250 pixels at the label scale
    constexpr float kValueScaleX = 60.0f;
    constexpr float kValueScaleY = 30.0f;
    constexpr float kValueUnits = 4.1666665f;  // 250 pixels at the value scale
    const int language = Language();

    Colour(AnalysisStyle::kLabel);
    DrawPanelText(LoadText(IDS_PITCH, language), left, top - 25.0f, kLabelUnits, kLabelScale,
                  kLabelScale);
    Colour(newest.pitchHz != 0.0f ? AnalysisStyle::kHigh : AnalysisStyle::kLow);
    DrawPanelText(InstaViewLayout::PitchText(newest.pitchHz), left, top - 50.0f, kValueUnits,
                  kValueScaleX, kValueScaleY);

    const int labels[3] = {IDS_TESSIM, IDS_JITTER, IDS_SHIMMER};
    const float values[3] = {newest.tessim, newest.jitter, newest.shimmer};
    const Region regions[3] = {Region::kTessim, Region::kJitter, Region::kShimmer};
    for (int m = 0; m < 3; ++m) {
        const float y = top - static_cast<float>(InstaViewLayout::kBlockHeight * (m + 1));
        const bool selected = m == selectedMeasure_;
        if (selected || hotRegion_ == regions[m]) {
            Colour(selected ? AnalysisStyle::kSelectedFrame : AnalysisStyle::kHoverFrame);
            glLineWidth(5.0f);
            glBegin(GL_LINE_LOOP);
            glVertex2f(left + 3.0f, y - 3.0f);
            glVertex2f(left + 3.0f, y - 55.0f);
            glVertex2f(left + 247.0f, y - 55.0f);
            glVertex2f(left + 247.0f, y - 3.0f);
            glEnd();
            glLineWidth(1.0f);
        }
        Colour(selected ? AnalysisStyle::kSelectedLabel : AnalysisStyle::kLabel);
        DrawPanelText(LoadText(labels[m], language), left, y - 25.0f, kLabelUnits, kLabelScale,
                      kLabelScale);
        Colour(AnalysisStyle::ValueColour(values[m]));
        DrawPanelText(InstaViewLayout::MeasureText(values[m]), left, y - 50.0f, kValueUnits,
                      kValueScaleX, kValueScaleY);
    }
}

std::wstring CInstaView::RegionToolTipText() const {
    const int id = InstaViewLayout::ToolTipStringId(hotRegion_, selectedMeasure_);
    return id != 0 ? LoadText(id, Language()) : std::wstring(L"??");
}

void CInstaView::OnMouseMove(int x, int y) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    POINT cursor = {x, y};
    ::ClientToScreen(Handle(), &cursor);
    if (::WindowFromPoint(cursor) != Handle()) {
        ::ReleaseCapture();
        if (hotRegion_ != Region::kNone) {
            hotRegion_ = Region::kNone;
            Invalidate(false);
        }
        ActivateToolTip(false);
        return;
    }
    if (::GetCapture() != Handle()) {
        ::SetCapture(Handle());
    }
    const Region region = layout_.HitTest(x, y);
    if (region == hotRegion_) {
        return;
    }
    ActivateToolTip(false);
    hotRegion_ = region;
    if (region != Region::kNone) {
        ActivateToolTip(true);
    }
    Invalidate(false);
}

void CInstaView::OnLButtonDown() {
    const int measure = InstaViewLayout::MeasureOfRegion(hotRegion_);
    if (measure >= 0 && measure != selectedMeasure_) {
        selectedMeasure_ = measure;
        Invalidate(false);
    }
    HWND dialog = ::GetAncestor(Handle(), GA_ROOT);
    if (dialog != nullptr) {
        ::SetActiveWindow(dialog);
    }
}

LRESULT CInstaView::OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown();
            return 0;
        default:
            return COpenGLWnd::OnViewMessage(message, wParam, lParam);
    }
}

}  // namespace melvora

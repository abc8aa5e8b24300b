#pragma once

#include <memory>
#include <vector>

#include "analysis/result_record.h"
#include "views/insta_view_layout.h"
#include "views/ring_geometry.h"
#include "views/view_owner.h"
#include "views/win32/open_gl_wnd.h"

namespace melvora {

// The analysis animation: on the left a square that draws one of six styles from the recent
// averages (the style, history length and circle resolution come from the options), the
// note name in its centre; on the right a 250-pixel panel with the pitch and the Tessim,
// jitter and shimmer values. A click on a measure's block makes it the animated one.
class CInstaView : public COpenGLWnd {
  public:
    explicit CInstaView(const ViewOwner& owner);
    ~CInstaView() override;

    int SelectedMeasure() const { return selectedMeasure_; }
    InstaViewLayout::Region HotRegion() const { return hotRegion_; }
    const InstaViewLayout& Layout() const { return layout_; }

  protected:
    void OnGLCreate(HDC dc) override;
    void OnGLSize(int cx, int cy) override;
    void OnGLPaint() override;
    void OnGLDestroy() override;
    void OnSized(int cx, int cy) override;
    bool UsesDepth() const override { return true; }
    ToolTipKind ToolTipStyle() const override { return ToolTipKind::kByRegion; }
    std::wstring RegionToolTipText() const override;
    LRESULT OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    float MeasureOf(const ResultRecord& record) const;
    void DrawStar(const ResultRecord& newest, bool oneCopy);
    void DrawCircle(const std::vector<ResultRecord>& oldestFirst, int historyLength);
    void DrawClock(const std::vector<ResultRecord>& oldestFirst, int historyLength);
    void DrawTube(const std::vector<ResultRecord>& oldestFirst, int historyLength, bool knife);
    void DrawCell(int semitone, const ViewColour& colour);
    void DrawCellBorder(int semitone);
    void DrawNoteName(const ResultRecord& newest);
    void DrawPanel(const ResultRecord& newest);
    void DrawPanelText(const std::wstring& text, float x, float y, float unitsWide, float scaleX,
                       float scaleY);
    void MakeStarTexture();
    void OnMouseMove(int x, int y);
    void OnLButtonDown();

    const ViewOwner& owner_;
    InstaViewLayout layout_;
    std::unique_ptr<RingGeometry> ring_;
    InstaViewLayout::Region hotRegion_ = InstaViewLayout::Region::kNone;
    int selectedMeasure_ = InstaViewLayout::kTessimMeasure;
    unsigned int starTexture_ = 0;
    float spinDegrees_ = 0.0f;
    float textScale_ = 0.0f;
};

}  // namespace melvora

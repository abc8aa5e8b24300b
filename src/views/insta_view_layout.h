#pragma once

#include <string>

namespace melvora {

// Where the analysis view puts things, in pixels: the animation square of side S at the top
// left (S = min(width - 250, height), at least 100), the 250-pixel text panel to its right
// with its four 58-pixel blocks (pitch, Tessim, jitter, shimmer) from the panel margin
// down, and the regions under the mouse that choose the tool-tip text.
class InstaViewLayout {
  public:
    static constexpr int kPanelWidth = 250;
    static constexpr int kBlockHeight = 58;
    static constexpr int kBlocksHeight = 240;
    static constexpr int kMinimumSquare = 100;

    enum class Region { kNone = -1, kAnimation, kNote, kPitch, kTessim, kJitter, kShimmer };
    // The measure the animation shows: 0 Tessim, 1 jitter, 2 shimmer.
    enum Measure { kTessimMeasure = 0, kJitterMeasure = 1, kShimmerMeasure = 2 };

    void Resize(int widthPixels, int heightPixels);

    int SquareSize() const { return square_; }
    float Radius() const { return radius_; }
    float PanelMargin() const { return margin_; }

    // The region under the mouse at (x, y), y from the top of the view.
    Region HitTest(int x, int y) const;

    // The measure chosen by a click on `region`, or -1 when the click chooses none.
    static int MeasureOfRegion(Region region);
    // The string id of the tool-tip text of `region` (0 for none: the text is "??").
    static int ToolTipStringId(Region region, int selectedMeasure);

    // The value texts of the panel: the pitch as "%3.0f", a measure rounded down to steps of
    // 0.05 as "%3.2f".
    static std::wstring PitchText(float pitchHz);
    static std::wstring MeasureText(float value);

  private:
    int square_ = kMinimumSquare;
    float radius_ = kMinimumSquare * 0.5f;
    float margin_ = 0.0f;
};

}  // namespace melvora

#pragma once

#include "views/view_colour.h"

namespace melvora {

// The shape and colour parameters of the analysis animation's six styles, as functions of
// the selected measure's value v (0 roughest and orange, 1 smoothest and blue). The formulas
// hold outside 0..1 as they stand.
class AnalysisStyle {
  public:
    enum Style { kStar = 0, kStar2 = 1, kCircle = 2, kCircle2 = 3, kCircle3D = 4, kKnife3D = 5 };
    static constexpr int kStyleCount = 6;
    static constexpr int kPaletteSize = 5;

    static constexpr ViewColour kLow{1.0f, 0.3f, 0.0f, 1.0f};
    static constexpr ViewColour kHigh{0.0f, 0.0f, 1.0f, 1.0f};
    static constexpr ViewColour kRing{0.85f, 0.85f, 1.0f, 1.0f};
    static constexpr ViewColour kEmptyCell{0.4f, 0.4f, 0.6f, 1.0f};
    static constexpr ViewColour kCellLine{0.6f, 0.6f, 0.7f, 1.0f};
    static constexpr ViewColour kDivider{1.0f, 0.0f, 0.0f, 1.0f};
    static constexpr ViewColour kBackground{0.4f, 0.5f, 0.6f, 1.0f};
    static constexpr ViewColour kNoteText{0.0f, 1.0f, 0.0f, 1.0f};
    static constexpr ViewColour kLabel{0.2f, 0.2f, 0.7f, 1.0f};
    static constexpr ViewColour kSelectedLabel{0.0f, 1.0f, 0.4f, 1.0f};
    static constexpr ViewColour kSelectedFrame{0.5f, 0.5f, 1.0f, 1.0f};
    static constexpr ViewColour kHoverFrame{0.0f, 0.0f, 1.0f, 1.0f};
    static constexpr ViewColour kGrey{0.7f, 0.7f, 0.7f, 0.5f};
    static constexpr ViewColour kGreen{0.0f, 1.0f, 0.0f, 1.0f};
    // Yellow, pink, blue, green, red: the copies of "Star (Default)".
    static const ViewColour kPalette[kPaletteSize];

    static constexpr float kSpinStepDegrees = 5.0f;
    static constexpr float kSpreadDegrees = 30.0f;

    // Results kept for the style: 1 for the stars, 5 for the circles, 10 for the 3-D styles
    // (5, the option's default, for a value outside 0..5).
    static int HistoryLengthFor(int style);

    // c(v) = (1 - v) x low + v x high, alpha 1.
    static ViewColour ValueColour(float v);
    // "Star 2": (1 - v) x grey + v x green, alpha 1.
    static ViewColour Star2Colour(float v);
    // Fades `colour` toward `target` by f: (1 - f) x target + f x colour, alpha 1.
    static ViewColour Fade(const ViewColour& colour, const ViewColour& target, float f);

    // Age factor of record `indexFromOldest` (0 = oldest) of `count` records in a history of
    // `historyLength`: 1 - (count - 1 - index) / historyLength; the newest has 1.
    static float AgeFactor(int indexFromOldest, int count, int historyLength);

    // Star outline radii: outer 0.6 + (1 - v) x 0.35, inner 0.6 - (1 - v) x 0.35.
    static float StarOuterRadius(float v);
    static float StarInnerRadius(float v);

    // "Star (Default)": copies trunc(5 v) + 1, at most the palette size; 0 or less draws none.
    static int StarCopies(float v);

    // "3D Knife": the blade outline of v, five points from the right base corner through
    // the right shoulder, the tip and the left shoulder to the left base corner. Half width
    // 0.6 / (v + 1), tip at 0.2 + 0.6 v.
    struct Point {
        float x = 0.0f;
        float y = 0.0f;
    };
    static void KnifeBlade(float v, Point points[5]);

    // Offset of depth index d in the 3-D styles: 0.03 d, applied as (x + o, y + o, -o).
    static float DepthOffset(int depthIndex) { return 0.03f * static_cast<float>(depthIndex); }
};

}  // namespace melvora

#include "views/analysis_style.h"

#include <cmath>

namespace melvora {

const ViewColour AnalysisStyle::kPalette[kPaletteSize] = {{1.0f, 1.0f, 0.0f, 1.0f},
                                                          {0.99f, 0.06f, 0.75f, 1.0f},
                                                          {0.0f, 0.0f, 1.0f, 1.0f},
                                                          {0.0f, 1.0f, 0.0f, 1.0f},
                                                          {1.0f, 0.0f, 0.0f, 1.0f}};

int AnalysisStyle::HistoryLengthFor(int style) {
    switch (style) {
        case kStar:
        case kStar2:
            return 1;
        case kCircle3D:
        case kKnife3D:
            return 10;
        default:
            return 5;
    }
}

namespace {

ViewColour Mix(const ViewColour& zero, const ViewColour& one, float v) {
    return ViewColour{(1.0f - v) * zero.r + v * one.r, (1.0f - v) * zero.g + v * one.g,
                      (1.0f - v) * zero.b + v * one.b, 1.0f};
}

}  // namespace

ViewColour AnalysisStyle::ValueColour(float v) {
    return Mix(kLow, kHigh, v);
}

ViewColour AnalysisStyle::Star2Colour(float v) {
    return Mix(kGrey, kGreen, v);
}

ViewColour AnalysisStyle::Fade(const ViewColour& colour, const ViewColour& target, float f) {
    return Mix(target, colour, f);
}

float AnalysisStyle::AgeFactor(int indexFromOldest, int count, int historyLength) {
    if (historyLength <= 0) {
        return 1.0f;
    }
    return 1.0f -
           static_cast<float>(count - 1 - indexFromOldest) / static_cast<float>(historyLength);
}

float AnalysisStyle::StarOuterRadius(float v) {
    return 0.6f + (1.0f - v) * 0.35f;
}

float AnalysisStyle::StarInnerRadius(float v) {
    return 0.6f - (1.0f - v) * 0.35f;
}

int AnalysisStyle::StarCopies(float v) {
    const float copies = std::trunc(5.0f * v) + 1.0f;
    if (!(copies < static_cast<float>(kPaletteSize))) {
        return kPaletteSize;
    }
    return copies > 0.0f ? static_cast<int>(copies) : 0;
}

void AnalysisStyle::KnifeBlade(float v, Point points[5]) {
    const float w = 0.6f / (v + 1.0f);
    const float shoulder = 0.2f;
    points[0] = Point{w, -0.95f};
    points[1] = Point{w, shoulder};
    points[2] = Point{0.0f, shoulder + 0.6f * v};
    points[3] = Point{-w, shoulder};
    points[4] = Point{-w, -0.95f};
}

}  // namespace melvora

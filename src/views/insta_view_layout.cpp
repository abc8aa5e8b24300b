#include "views/insta_view_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace melvora {

namespace {

// String ids of the tool tips (English; Turkish + 1000).
constexpr int kTessimAnimationString = 161;
constexpr int kDetectedNoteString = 164;
constexpr int kDetectedPitchString = 160;
constexpr int kTessimTitleString = 116;
constexpr int kJitterTitleString = 157;
constexpr int kShimmerTitleString = 158;

std::wstring Widen(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

}  // namespace

void InstaViewLayout::Resize(int widthPixels, int heightPixels) {
    square_ = std::max(std::min(widthPixels - kPanelWidth, heightPixels), kMinimumSquare);
    radius_ = static_cast<float>(square_) * 0.5f;
    margin_ = std::max(0.0f, static_cast<float>(square_ - kBlocksHeight) * 0.5f);
}

InstaViewLayout::Region InstaViewLayout::HitTest(int x, int y) const {
    if (x < square_) {
        if (y >= square_) {
            return Region::kNone;
        }
        if (std::fabs(x - radius_) / radius_ < 0.15f && std::fabs(y - radius_) / radius_ < 0.15f) {
            return Region::kNote;
        }
        return Region::kAnimation;
    }
    if (static_cast<float>(y) <= margin_ || static_cast<float>(y) >= margin_ + kBlocksHeight) {
        return Region::kNone;
    }
    const int block = static_cast<int>(std::trunc(static_cast<float>(y) - margin_)) / kBlockHeight;
    switch (block) {
        case 0:
            return Region::kPitch;
        case 1:
            return Region::kTessim;
        case 2:
            return Region::kJitter;
        case 3:
            return Region::kShimmer;
        default:
            return Region::kNone;
    }
}

int InstaViewLayout::MeasureOfRegion(Region region) {
    switch (region) {
        case Region::kTessim:
            return kTessimMeasure;
        case Region::kJitter:
            return kJitterMeasure;
        case Region::kShimmer:
            return kShimmerMeasure;
        default:
            return -1;
    }
}

int InstaViewLayout::ToolTipStringId(Region region, int selectedMeasure) {
    switch (region) {
        case Region::kAnimation:
            return kTessimAnimationString + std::clamp(selectedMeasure, 0, 2);
        case Region::kNote:
            return kDetectedNoteString;
        case Region::kPitch:
            return kDetectedPitchString;
        case Region::kTessim:
            return kTessimTitleString;
        case Region::kJitter:
            return kJitterTitleString;
        case Region::kShimmer:
            return kShimmerTitleString;
        default:
            return 0;
    }
}

std::wstring InstaViewLayout::PitchText(float pitchHz) {
    char text[32];
    std::snprintf(text, sizeof(text), "%3.0f", static_cast<double>(pitchHz));
    return Widen(text);
}

std::wstring InstaViewLayout::MeasureText(float value) {
    char text[32];
    const double rounded = std::trunc(20.0f * value) * 0.05f;
    std::snprintf(text, sizeof(text), "%3.2f", rounded);
    return Widen(text);
}

}  // namespace melvora

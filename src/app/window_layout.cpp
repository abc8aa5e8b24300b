#include "app/window_layout.h"

#include <algorithm>

namespace melvora {

std::array<ScreenRect, 6> WindowLayout::Strip(const ScreenRect& mainWindow,
                                              const ScreenRect& mediaPlayer,
                                              const ScreenRect& volumeWindow,
                                              int stripWidthPixels) {
    const int mainWidth = mainWindow.Width();
    const int mainHeight = mainWindow.Height();
    const int playerHeight = mediaPlayer.Height();
    const int volumeWidth = volumeWindow.Width();
    const int upperHeight = playerHeight + mainHeight;

    std::array<ScreenRect, 6> slots{};
    slots[5] = ScreenRect::FromPosition(stripWidthPixels - mainWidth, 0, mainWidth, mainHeight);
    slots[1] = ScreenRect::FromPosition(stripWidthPixels - mainWidth, mainHeight,
                                        mediaPlayer.Width(), playerHeight);
    slots[4] = ScreenRect::FromPosition(0, 0, volumeWidth, upperHeight);
    slots[0] = ScreenRect::FromPosition(volumeWidth, 0, stripWidthPixels - volumeWidth - mainWidth,
                                        upperHeight);
    slots[3] = ScreenRect::FromPosition(0, upperHeight, stripWidthPixels, kStaffHeightPixels);
    slots[2] = ScreenRect::FromPosition(0, upperHeight + kStaffHeightPixels, stripWidthPixels,
                                        kKeyboardHeightPixels);
    return slots;
}

int WindowLayout::StripWidthForScreen(int screenWidthPixels, int mainWidthPixels,
                                      int volumeWidthPixels) {
    if (screenWidthPixels <= 0 || screenWidthPixels >= kStripWidthPixels) {
        return kStripWidthPixels;
    }
    const int narrowest = mainWidthPixels + volumeWidthPixels + kMinAnalysisWidthPixels;
    return std::min(kStripWidthPixels, std::max(screenWidthPixels, narrowest));
}

std::array<ScreenRect, 4> WindowLayout::TitleRow(int clientWidthPixels) {
    const int buttons = 3 * kTitleButtonWidthPixels;
    std::array<ScreenRect, 4> row{};
    row[0] = ScreenRect{0, 0, std::max(0, clientWidthPixels - buttons), kTitleRowHeightPixels};
    for (int b = 0; b < 3; ++b) {
        const int left = clientWidthPixels - buttons + b * kTitleButtonWidthPixels;
        row[b + 1] =
            ScreenRect::FromPosition(left, 0, kTitleButtonWidthPixels, kTitleRowHeightPixels);
    }
    return row;
}

std::vector<ScreenRect> WindowLayout::MenuButtonRow(const std::vector<int>& captionWidthsPixels) {
    std::vector<ScreenRect> row;
    row.reserve(captionWidthsPixels.size());
    int left = 0;
    for (int width : captionWidthsPixels) {
        const int w = std::max(0, width);
        row.push_back(
            ScreenRect::FromPosition(left, kMenuButtonTopPixels, w, kMenuButtonHeightPixels));
        left += w;
    }
    return row;
}

}  // namespace melvora

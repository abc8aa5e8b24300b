#pragma once

#include <array>
#include <vector>

#include "app/screen_rect.h"

namespace melvora {

// Where the windows of the window set go, from their sizes alone. Window slots follow the
// window set: 0 analysis, 1 media player, 2 keyboard, 3 staff, 4 volume, 5 main window.
class WindowLayout {
  public:
    static constexpr int kStripWidthPixels = 1024;
    static constexpr int kStaffHeightPixels = 152;
    static constexpr int kKeyboardHeightPixels = 198;
    // The analysis window keeps at least this width when the strip must shrink.
    static constexpr int kMinAnalysisWidthPixels = 64;
    static constexpr int kTitleRowHeightPixels = 29;
    static constexpr int kTitleButtonWidthPixels = 18;
    static constexpr int kMenuButtonTopPixels = 29;
    static constexpr int kMenuButtonHeightPixels = 18;

    // The start-up strip of `stripWidthPixels` from the screen's top left corner, given the
    // sizes of the main window, the media player and the volume window as created (only
    // their widths and heights are used). The main window and the media player keep their
    // size, the volume window its width.
    static std::array<ScreenRect, 6> Strip(const ScreenRect& mainWindow,
                                           const ScreenRect& mediaPlayer,
                                           const ScreenRect& volumeWindow,
                                           int stripWidthPixels = kStripWidthPixels);

    // The strip is 1024 pixels wide. A narrower screen (work area width > 0) gets a strip of
    // its own width, so the main window, which holds every command, stays on the screen;
    // the strip never becomes too narrow for the main, volume and analysis windows side by
    // side. A wider screen keeps the 1024-pixel strip at its left.
    static int StripWidthForScreen(int screenWidthPixels, int mainWidthPixels,
                                   int volumeWidthPixels);

    // The title row of a window `clientWidthPixels` wide: the title bar from x 0 up to three
    // 18 x 29 buttons at the right edge. Returns title bar, then the buttons left to right.
    static std::array<ScreenRect, 4> TitleRow(int clientWidthPixels);

    // The menu buttons side by side from x 0 at y 29, 18 high, each as wide as its caption.
    static std::vector<ScreenRect> MenuButtonRow(const std::vector<int>& captionWidthsPixels);
};

}  // namespace melvora

#pragma once

#include <windows.h>

namespace melvora {

// The look shared by every skinned window.
constexpr COLORREF kDialogBackground = RGB(204, 224, 247);
constexpr COLORREF kTitleActiveText = RGB(255, 255, 255);
constexpr COLORREF kTitleInactiveText = RGB(100, 120, 160);
// Bitmaps of every floating window's title bar.
constexpr UINT kTitleBackgroundActive = 185;
constexpr UINT kTitleBackgroundInactive = 199;
constexpr UINT kTitleEndActive = 376;
constexpr UINT kTitleEndInactive = 375;
constexpr int kTitleRowHeight = 29;
constexpr int kTitleButtonWidth = 18;

// Face of the button and message fonts, used at 8 points.
extern const wchar_t kShellDlgFace[];

// One brush of the dialog background for the whole program (never deleted).
HBRUSH DialogBackgroundBrush();

}  // namespace melvora

#pragma once

#include <windows.h>

namespace melvora {

// The look shared by every skinned window.
constexpr COLORREF kDialogBackground = RGB(204, 224, 247);
constexpr COLORREF kTitleActiveText = RGB(255, 255, 255);
constexpr COLORREF kTitleInactiveText = RGB(100, 120, 160);
constexpr int kTitleRowHeight = 29;
constexpr int kTitleButtonWidth = 18;

// Face of the button and message fonts, used at 8 points.
extern const wchar_t kShellDlgFace[];

// One brush of the dialog background for the whole program (never deleted).
HBRUSH DialogBackgroundBrush();

}  // namespace melvora

#include "ui/win32/skin_colours.h"

namespace melvora {

const wchar_t kShellDlgFace[] = L"MS Shell Dlg";

HBRUSH DialogBackgroundBrush() {
    static HBRUSH brush = ::CreateSolidBrush(kDialogBackground);
    return brush;
}

}  // namespace melvora

#include "ui/win32/tool_tip_relay.h"

namespace melvora {

void RelayToolTipMessage(MSG* message, HWND dialog, const std::vector<HWND>& children,
                         const CToolTip& toolTip) {
    if (message == nullptr || toolTip.Handle() == nullptr) {
        return;
    }
    const HWND originalWindow = message->hwnd;
    const LPARAM originalPoint = message->lParam;
    if (message->message == WM_MOUSEMOVE && message->hwnd == dialog) {
        POINT point = {static_cast<short>(LOWORD(message->lParam)),
                       static_cast<short>(HIWORD(message->lParam))};
        for (HWND child : children) {
            if (child == nullptr) {
                continue;
            }
            RECT rect = {};
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
            if (::PtInRect(&rect, point)) {
                POINT childPoint = point;
                ::MapWindowPoints(dialog, child, &childPoint, 1);
                message->hwnd = child;
                message->lParam = MAKELPARAM(childPoint.x, childPoint.y);
                break;
            }
        }
    }
    toolTip.RelayEvent(*message);
    toolTip.Activate(true);
    message->hwnd = originalWindow;
    message->lParam = originalPoint;
}

}  // namespace melvora

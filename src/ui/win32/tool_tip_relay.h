#pragma once

#include <windows.h>

#include <vector>

#include "platform/win32/tool_tip.h"

namespace melvora {

// Shows the tool tips of a dialog's child controls even for disabled controls, which get
// no mouse messages: a mouse move addressed to the dialog over one of `children` is
// readdressed to that child (point in its client coordinates) and relayed to the tool tip,
// then the message is restored for normal dispatch. Other messages are relayed as they are.
void RelayToolTipMessage(MSG* message, HWND dialog, const std::vector<HWND>& children,
                         const CToolTip& toolTip);

}  // namespace melvora

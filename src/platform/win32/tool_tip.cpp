#include "platform/win32/tool_tip.h"

#include <commctrl.h>

namespace melvora {
namespace {

TTTOOLINFOW ToolInfo(HWND parent, HWND tool, const std::wstring* text) {
    TTTOOLINFOW ti = {};
    // The short layout is accepted by every common-controls version.
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = parent;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = text != nullptr ? const_cast<wchar_t*>(text->c_str()) : nullptr;
    return ti;
}

}  // namespace

CToolTip::~CToolTip() {
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

bool CToolTip::Create(HWND parent) {
    if (hwnd_ != nullptr) {
        return false;
    }
    parent_ = parent;
    hwnd_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    return hwnd_ != nullptr;
}

void CToolTip::SetDelays(int autoPopMs, int initialMs, int reshowMs) const {
    if (hwnd_ == nullptr) {
        return;
    }
    ::SendMessageW(hwnd_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(autoPopMs, 0));
    ::SendMessageW(hwnd_, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(initialMs, 0));
    ::SendMessageW(hwnd_, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(reshowMs, 0));
}

bool CToolTip::AddTool(HWND tool, const std::wstring& text) const {
    if (hwnd_ == nullptr) {
        return false;
    }
    TTTOOLINFOW ti = ToolInfo(parent_, tool, &text);
    return ::SendMessageW(hwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

void CToolTip::UpdateTipText(HWND tool, const std::wstring& text) const {
    if (hwnd_ == nullptr) {
        return;
    }
    TTTOOLINFOW ti = ToolInfo(parent_, tool, &text);
    ::SendMessageW(hwnd_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTip::Activate(bool active) const {
    if (hwnd_ != nullptr) {
        ::SendMessageW(hwnd_, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
    }
}

void CToolTip::RelayEvent(const MSG& message) const {
    if (hwnd_ != nullptr) {
        ::SendMessageW(hwnd_, TTM_RELAYEVENT, 0,
                       reinterpret_cast<LPARAM>(const_cast<MSG*>(&message)));
    }
}

}  // namespace melvora

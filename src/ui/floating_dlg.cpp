#include "ui/floating_dlg.h"

#include "ui/help_launcher.h"
#include "ui/help_topic.h"
#include "ui/skin_colours.h"

namespace melvora {
namespace {

constexpr UINT kCloseId = 1063;
constexpr UINT kHelpId = 1064;
constexpr UINT kTitleId = 1065;
constexpr UINT kMinimizeId = 1072;

}  // namespace

CFloatingDlg::CFloatingDlg(UINT templateId, HWND parent) : CDialog(templateId, parent) {}

void CFloatingDlg::CreateTitleRow(int buttons) {
    titleButtons_ = buttons;
    HWND dialog = Handle();
    // Placeholders of the template give way to the skinned controls.
    for (UINT id : {kTitleId, kCloseId, kHelpId, kMinimizeId}) {
        HWND placeholder = ::GetDlgItem(dialog, static_cast<int>(id));
        if (placeholder != nullptr) {
            ::DestroyWindow(placeholder);
        }
    }
    RECT none = {0, 0, 0, 0};
    titleBar_.Create(dialog, none, kTitleId);
    titleBar_.SetFloatingWindowLook();
    if (buttons & kCloseButton) {
        closeBox_.Create(dialog, none, kCloseId, "CLOSE", true);
    }
    if (buttons & kHelpButton) {
        helpBox_.Create(dialog, none, kHelpId, "HELP", true);
    }
    if (buttons & kMinimizeButton) {
        minimizeBox_.Create(dialog, none, kMinimizeId, "MINIMIZE", true);
    }
    LayoutTitleRow();
}

void CFloatingDlg::LayoutTitleRow() {
    RECT client = ClientRect();
    int right = client.right;
    for (CNewDeckButton* box : {&closeBox_, &helpBox_, &minimizeBox_}) {
        if (box->Handle() != nullptr) {
            right -= kTitleButtonWidth;
            box->MoveTo(right, 0, kTitleButtonWidth, kTitleRowHeight);
        }
    }
    titleBar_.MoveTo(0, 0, right, kTitleRowHeight);
}

void CFloatingDlg::TakeOwnerIcon() {
    HWND owner = ::GetWindow(Handle(), GW_OWNER);
    HICON big = nullptr;
    HICON small = nullptr;
    if (owner != nullptr) {
        big = reinterpret_cast<HICON>(::SendMessageW(owner, WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(::SendMessageW(owner, WM_GETICON, ICON_SMALL, 0));
    }
    if (big != nullptr) {
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
    if (small != nullptr) {
        ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

INT_PTR CFloatingDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kCloseId:
                    OnCloseBox();
                    return TRUE;
                case kHelpId:
                    OnHelpBox();
                    return TRUE;
                case kMinimizeId:
                    ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
                    return TRUE;
                default:
                    return CDialog::DialogProc(message, wParam, lParam);
            }
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return FALSE;
        case WM_WINDOWPOSCHANGING:
            OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
            return FALSE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            ::SetBkColor(reinterpret_cast<HDC>(wParam), kDialogBackground);
            return reinterpret_cast<INT_PTR>(DialogBackgroundBrush());
        default:
            return CDialog::DialogProc(message, wParam, lParam);
    }
}

void CFloatingDlg::OnCloseBox() {
    ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CFloatingDlg::OnHelpBox() {
    std::string page = HelpPage();
    if (!page.empty()) {
        OpenHelpTopic(Handle(), HelpTopic(page, Language()));
    }
}

void CFloatingDlg::OnActivate(bool active) {
    titleBar_.Invalidate(true);
    for (CNewDeckButton* box : {&closeBox_, &helpBox_, &minimizeBox_}) {
        if (box->Handle() != nullptr) {
            box->SetLatched(!active);
        }
    }
    OnActivated(active);
}

}  // namespace melvora

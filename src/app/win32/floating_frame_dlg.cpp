#include "app/win32/floating_frame_dlg.h"

#include "platform/string_table.h"
#include "string_ids.h"

namespace melvora {

CFloatingFrameDlg::CFloatingFrameDlg(const FloatingWindowDescriptor& description,
                                     FloatingWindowOwner& owner)
    : CFloatingDlg(static_cast<UINT>(description.dialogId), nullptr),
      description_(description),
      owner_(owner) {}

CFloatingFrameDlg::~CFloatingFrameDlg() {
    DestroyWindow();
}

bool CFloatingFrameDlg::Create(HWND owner) {
    return CreateModeless(owner);
}

BOOL CFloatingFrameDlg::OnInitDialog() {
    TakeOwnerIcon();
    CreateTitleRow(kCloseButton | kHelpButton);
    if (toolTip_.Create(Handle())) {
        toolTip_.SetDelays(60000, 100, 100);
        toolTip_.AddTool(CloseBox().Handle(), LoadText(IDS_CLOSE, Language()));
        toolTip_.AddTool(HelpBox().Handle(), LoadText(IDS_HELP, Language()));
        toolTip_.Activate(true);
    }
    ApplyLanguage(Language());
    return TRUE;
}

void CFloatingFrameDlg::ApplyLanguage(int language) {
    if (description_.captionStringId != 0) {
        ::SetWindowTextW(Handle(), LoadText(description_.captionStringId, language).c_str());
    }
    if (toolTip_.Handle() != nullptr) {
        toolTip_.UpdateTipText(CloseBox().Handle(), LoadText(IDS_CLOSE, language));
        toolTip_.UpdateTipText(HelpBox().Handle(), LoadText(IDS_HELP, language));
    }
    TitleBar().Invalidate(true);
}

void CFloatingFrameDlg::OnCancel() {
    ::SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

bool CFloatingFrameDlg::PreTranslateMessage(MSG* message) {
    if ((message->message == WM_KEYDOWN || message->message == WM_KEYUP) &&
        (message->hwnd == Handle() || ::IsChild(Handle(), message->hwnd))) {
        const WPARAM key = message->wParam;
        const bool pianoKey = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') ||
                              (key >= VK_F1 && key <= VK_F8);
        if (pianoKey) {
            owner_.PianoKey(message->message == WM_KEYDOWN, static_cast<int>(key),
                            (message->lParam & 0x40000000) != 0);
            return true;
        }
    }
    return CFloatingDlg::PreTranslateMessage(message);
}

void CFloatingFrameDlg::OnActivated(bool active) {
    if (!active) {
        owner_.PianoKeysLost();
    }
    if (active) {
        owner_.FloatingActivated(description_.window);
    }
}

void CFloatingFrameDlg::OnWindowPosChanging(WINDOWPOS* position) {
    const bool keep = (position->flags & SWP_NOMOVE) != 0;
    WindowSet::Position proposed{position->x, position->y, position->cx, position->cy};
    if ((position->flags & SWP_NOSIZE) != 0) {
        // A pure move carries no size; snapping needs the real one.
        const RECT r = RectInParent();
        proposed.widthPixels = RectWidth(r);
        proposed.heightPixels = RectHeight(r);
    }
    const WindowSet::Position adjusted = owner_.FloatingMoving(description_.window, proposed, keep);
    if (!keep) {
        position->x = adjusted.x;
        position->y = adjusted.y;
    }
}

INT_PTR CFloatingFrameDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_WINDOWPOSCHANGING:
            OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
            return FALSE;
        case WM_CLOSE:
            // Hidden, never destroyed by the user: the View menu shows it again.
            owner_.FloatingClosed(description_.window);
            ::ShowWindow(Handle(), SW_HIDE);
            return TRUE;
        case WM_SIZE:
            LayoutTitleRow();
            return FALSE;
        case WM_NCHITTEST:
            // The title bar itself forwards its clicks; this covers the gaps.
            return HitTestTitleRow(lParam);
        default:
            return CFloatingDlg::DialogProc(message, wParam, lParam);
    }
}

}  // namespace melvora

#include "ui/win32/new_deck_button.h"

#include <vector>

#include "ui/win32/skin_colours.h"

namespace melvora {
namespace {

const wchar_t kDeckButtonClass[] = L"MelvoraDeckButton";

}  // namespace

CNewDeckButton::CNewDeckButton() {
    colours_[0] = RGB(0, 0, 0);
    colourSet_[0] = true;
    colours_[3] = RGB(128, 128, 128);
    colourSet_[3] = true;
}

CNewDeckButton::~CNewDeckButton() {
    // The window goes first (the base destructor would only run after the bitmaps).
    if (Handle() != nullptr) {
        HWND hwnd = Handle();
        Detach();
        ::DestroyWindow(hwnd);
    }
}

bool CNewDeckButton::Create(HWND parent, const RECT& rect, UINT id, const std::string& skinName,
                            bool sizeToBitmap) {
    if (!RegisterWindowClass(kDeckButtonClass, CS_PARENTDC, nullptr, nullptr)) {
        return false;
    }
    parent_ = parent;
    id_ = id;
    skinName_ = skinName;
    sizeToBitmap_ = sizeToBitmap;
    return CWnd::Create(0, kDeckButtonClass, L"OpenGL", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                        rect, parent, id);
}

bool CNewDeckButton::CreateOverPlaceholder(HWND dialog, UINT id, const std::string& skinName,
                                           bool sizeToBitmap) {
    return Create(dialog, TakePlaceholder(dialog, id), id, skinName, sizeToBitmap);
}

void CNewDeckButton::SetTextColour(COLORREF colour, int slot) {
    if (slot < 0 || slot >= kDeckSlotCount) {
        return;
    }
    colours_[static_cast<size_t>(slot)] = colour;
    colourSet_[static_cast<size_t>(slot)] = true;
}

void CNewDeckButton::SetText(const std::wstring& text) {
    text_ = text;
    Invalidate(true);
}

void CNewDeckButton::FitToText() {
    TextFit fit = melvora::FitToText(
        text_, [this](wchar_t ch) { return font_.CharWidth(ch); }, font_.Metrics().tmHeight);
    if (fit.resize) {
        Resize(fit.width, fit.height);
    }
}

void CNewDeckButton::SetLatched(bool latched) {
    alternate_ = latched;
    Invalidate(true);
}

void CNewDeckButton::PreviewState(DeckButtonState state) {
    previewing_ = true;
    previewState_ = state;
    Invalidate(true);
}

void CNewDeckButton::Enable(bool enable) const {
    if (Handle() != nullptr) {
        ::EnableWindow(Handle(), enable ? TRUE : FALSE);
        Invalidate(true);
    }
}

bool CNewDeckButton::HasBitmap(int slot) const {
    return slot >= 0 && slot < kDeckSlotCount && bitmaps_[static_cast<size_t>(slot)];
}

LRESULT CNewDeckButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate();
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(
                POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLButtonDown();
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp();
            return 0;
        case WM_KILLFOCUS:
            OnLostMouse();
            return 0;
        case WM_CAPTURECHANGED:
            // Someone else took the mouse (a menu, a dialog): no click can finish here.
            if (reinterpret_cast<HWND>(lParam) != Handle()) {
                OnLostMouse();
            }
            return 0;
        case WM_ENABLE:
            Invalidate(true);
            return 0;
        case WM_DESTROY:
            if (::GetCapture() == Handle()) {
                ::ReleaseCapture();
            }
            return Default(message, wParam, lParam);
        default:
            return Default(message, wParam, lParam);
    }
}

int CNewDeckButton::OnCreate() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (int slot = 0; slot < kDeckSlotCount; ++slot) {
        std::string name = skinName_ + DeckSlotSuffix(slot);
        bitmaps_[static_cast<size_t>(slot)].Reset(::LoadBitmapA(instance, name.c_str()));
    }
    if (sizeToBitmap_ && bitmaps_[kSlotUp]) {
        SIZE size = BitmapSize(bitmaps_[kSlotUp].Get());
        ::SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    font_.Reset(Handle(), CreatePointFont(80, kShellDlgFace));
    return 0;
}

void CNewDeckButton::OnPaint() {
    CPaintDC dc(Handle());
    ++paintCount_;
    std::array<bool, kDeckSlotCount> present = {};
    for (int slot = 0; slot < kDeckSlotCount; ++slot) {
        present[static_cast<size_t>(slot)] = static_cast<bool>(bitmaps_[static_cast<size_t>(slot)]);
    }
    bool enabled = ::IsWindowEnabled(Handle()) != FALSE;
    const DeckButtonState state = previewing_ ? previewState_ : tracker_.State();
    lastPaint_ = ChooseDeckPaint(alternate_, enabled, state, present, colourSet_);
    lastTextColour_ = colours_[static_cast<size_t>(lastPaint_.colourSlot)];
    HBITMAP bitmap = bitmaps_[static_cast<size_t>(lastPaint_.bitmapSlot)].Get();
    if (bitmap == nullptr) {
        // A skin without its "U" image draws nothing.
        return;
    }
    RECT client = ClientRect();
    SIZE size = BitmapSize(bitmap);
    {
        CMemoryDC memory(dc.Get());
        CSelectObject select(memory.Get(), bitmap);
        ::SetStretchBltMode(dc.Get(), COLORONCOLOR);
        ::StretchBlt(dc.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, size.cx,
                     size.cy, SRCCOPY);
    }
    if (text_.empty()) {
        return;
    }
    CSelectObject selectFont(dc.Get(), font_.Get());
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), lastTextColour_);
    const int shift = state == DeckButtonState::kPressed ? 1 : 0;
    // Lines are centred one by one; the block of lines is centred as a whole.
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (true) {
        size_t end = text_.find(L'\n', start);
        lines.push_back(text_.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
    SIZE lineSize = {};
    ::GetTextExtentPoint32W(dc.Get(), L"Ag", 2, &lineSize);
    int y = (client.bottom - static_cast<int>(lines.size()) * lineSize.cy) / 2 + shift;
    for (const std::wstring& line : lines) {
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc.Get(), line.c_str(), static_cast<int>(line.size()), &extent);
        int x = (client.right - extent.cx) / 2 + shift;
        ::ExtTextOutW(dc.Get(), x, y, 0, nullptr, line.c_str(), static_cast<UINT>(line.size()),
                      nullptr);
        y += lineSize.cy;
    }
}

void CNewDeckButton::OnMouseMove(POINT point) {
    ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    POINT screen = point;
    ::ClientToScreen(Handle(), &screen);
    bool over = ::WindowFromPoint(screen) == Handle();
    Apply(tracker_.OnMouseMove(over));
}

void CNewDeckButton::OnLButtonDown() {
    Apply(tracker_.OnButtonDown());
}

void CNewDeckButton::OnLButtonUp() {
    Apply(tracker_.OnButtonUp());
}

void CNewDeckButton::OnLostMouse() {
    Apply(tracker_.OnLostMouse());
}

void CNewDeckButton::Apply(const DeckButtonReaction& reaction) {
    if (reaction.sendCommand && parent_ != nullptr) {
        ::PostMessageW(parent_, WM_COMMAND, MAKEWPARAM(id_, 0), reinterpret_cast<LPARAM>(Handle()));
    }
    if (reaction.captureMouse) {
        ::SetCapture(Handle());
    }
    if (reaction.releaseMouse && ::GetCapture() == Handle()) {
        ::ReleaseCapture();
    }
    if (reaction.activateParent && parent_ != nullptr) {
        ::SetActiveWindow(::GetAncestor(parent_, GA_ROOT));
    }
    if (reaction.repaint) {
        Invalidate(true);
    }
}

}  // namespace melvora

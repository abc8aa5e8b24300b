#include "app/win32/floating_window_set.h"

#include "app/app_options.h"
#include "app/win32/floating_frame_dlg.h"
#include "app/window_layout.h"
#include "music/win32/keyboard_dlg.h"
#include "music/win32/mci_player.h"
#include "platform/win32/wnd.h"

namespace melvora {

namespace {

ScreenRect ToScreenRect(const RECT& r) {
    return ScreenRect{r.left, r.top, r.right, r.bottom};
}

bool IsFloating(int windowId) {
    return windowId >= 0 && windowId < kFloatingWindowCount;
}

}  // namespace

CFloatingWindowSet::CFloatingWindowSet(const CWnd& main, const WindowMaker& make)
    : main_(main), windowSet_(*this) {
    for (const FloatingWindowDescriptor& d : FloatingWindows()) {
        std::unique_ptr<CFloatingFrameDlg> window = make ? make(d, *this) : nullptr;
        if (window == nullptr) {
            window = std::make_unique<CFloatingFrameDlg>(d, *this);
        }
        floating_[static_cast<size_t>(IndexOf(d.window))] = std::move(window);
    }
}

CFloatingWindowSet::~CFloatingWindowSet() = default;

CFloatingFrameDlg& CFloatingWindowSet::Window(FloatingWindow window) {
    return *floating_[static_cast<size_t>(IndexOf(window))];
}

HWND CFloatingWindowSet::HandleOf(int windowId) const {
    if (IsFloating(windowId)) {
        return floating_[static_cast<size_t>(windowId)]->Handle();
    }
    if (windowId == kMainWindow) {
        return main_.Handle();
    }
    if (windowId == kExerciseWindow && exercise_ != nullptr) {
        return exercise_->Handle();
    }
    return nullptr;
}

void CFloatingWindowSet::CreateAndPlace(HWND owner) {
    // The windows placed below must neither snap to where the others happen to be nor drag
    // them along.
    AppOptions& options = Options();
    const uint8_t docking = options.docking;
    const uint8_t snapping = options.snapping;
    options.docking = 0;
    options.snapping = 0;

    for (auto& window : floating_) {
        window->Create(owner);
    }
    const RECT main = main_.RectInParent();
    CFloatingFrameDlg& volume = Window(FloatingWindow::Volume);
    const RECT volumeRect = volume.Handle() != nullptr ? volume.RectInParent() : RECT{};
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int strip =
        WindowLayout::StripWidthForScreen(RectWidth(work), RectWidth(main), RectWidth(volumeRect));
    windowSet_.PlaceAtStart(strip);
    windowSet_.SetRememberedRect(WindowRect(kMainWindow));

    ::ShowWindow(main_.Handle(), SW_SHOW);
    for (const FloatingWindowDescriptor& d : FloatingWindows()) {
        HWND hwnd = Window(d.window).Handle();
        if (hwnd != nullptr) {
            ::ShowWindow(hwnd, windowSet_.IsShown(IndexOf(d.window)) ? SW_SHOWNA : SW_HIDE);
        }
    }
    options.docking = docking;
    options.snapping = snapping;
}

void CFloatingWindowSet::Toggle(FloatingWindow window, int language) {
    const int index = IndexOf(window);
    const bool wasShown = windowSet_.IsShown(index);
    windowSet_.ToggleWindow(index);
    // A window hidden during a language switch still speaks the old language.
    if (!wasShown && windowSet_.IsShown(index) && Window(window).Handle() != nullptr) {
        Window(window).ApplyLanguage(language);
    }
}

void CFloatingWindowSet::ApplyLanguage(int language) {
    for (const FloatingWindowDescriptor& d : FloatingWindows()) {
        if (windowSet_.IsShown(IndexOf(d.window)) && Window(d.window).Handle() != nullptr) {
            Window(d.window).ApplyLanguage(language);
        }
    }
}

std::array<bool, kFloatingWindowCount> CFloatingWindowSet::ShownFlags() const {
    std::array<bool, kFloatingWindowCount> shown{};
    for (const FloatingWindowDescriptor& d : FloatingWindows()) {
        shown[static_cast<size_t>(IndexOf(d.window))] = windowSet_.IsShown(IndexOf(d.window));
    }
    return shown;
}

void CFloatingWindowSet::MainMoved() {
    windowSet_.Dock(WindowRect(kMainWindow), ::IsIconic(main_.Handle()) != FALSE,
                    Options().docking != 0);
}

void CFloatingWindowSet::MainSized(bool minimised, bool restored) {
    if (minimised) {
        minimised_ = true;
        windowSet_.MainMinimised(true);
    } else if (restored && minimised_) {
        minimised_ = false;
        windowSet_.MainMinimised(false);
    }
}

void CFloatingWindowSet::MainActivated() {
    windowSet_.StackBehindMain();
}

void CFloatingWindowSet::SetExerciseWindow(const CWnd* window) {
    exercise_ = window;
    windowSet_.SetExerciseRunning(window != nullptr);
}

void CFloatingWindowSet::ExerciseMoved() {
    if (exercise_ != nullptr && exercise_->Handle() != nullptr) {
        windowSet_.Dock(WindowRect(kExerciseWindow), ::IsIconic(exercise_->Handle()) != FALSE,
                        Options().docking != 0);
    }
}

void CFloatingWindowSet::SettingsChanged(SettingsChange change) {
    for (auto& window : floating_) {
        window->SettingsChanged(change);
    }
}

void CFloatingWindowSet::EnableAll(bool enable) {
    for (auto& window : floating_) {
        if (window->Handle() != nullptr) {
            ::EnableWindow(window->Handle(), enable ? TRUE : FALSE);
        }
    }
}

void CFloatingWindowSet::DestroyAll() {
    for (auto& window : floating_) {
        window->DestroyWindow();
    }
}

// ---- WindowSetHost ----

bool CFloatingWindowSet::HasWindow(int windowId) const {
    return HandleOf(windowId) != nullptr;
}

ScreenRect CFloatingWindowSet::WindowRect(int windowId) const {
    HWND hwnd = HandleOf(windowId);
    RECT r = {};
    if (hwnd != nullptr) {
        ::GetWindowRect(hwnd, &r);
    }
    return ToScreenRect(r);
}

void CFloatingWindowSet::PlaceWindow(int windowId, const ScreenRect& rect) {
    ::SetWindowPos(HandleOf(windowId), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFloatingWindowSet::OffsetWindow(int windowId, int dxPixels, int dyPixels) {
    if (!IsFloating(windowId)) {
        return;
    }
    const ScreenRect r = WindowRect(windowId);
    ::SetWindowPos(HandleOf(windowId), nullptr, r.left + dxPixels, r.top + dyPixels, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
}

void CFloatingWindowSet::ShowWindow(int windowId, bool show, bool activate) {
    if (!IsFloating(windowId)) {
        return;
    }
    ::ShowWindow(HandleOf(windowId), show ? (activate ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
}

void CFloatingWindowSet::PlaceBehind(int windowId, int afterWindowId) {
    ::SetWindowPos(HandleOf(windowId), HandleOf(afterWindowId), 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- FloatingWindowOwner ----

WindowSet::Position CFloatingWindowSet::FloatingMoving(FloatingWindow window,
                                                       const WindowSet::Position& proposed,
                                                       bool keepPosition) {
    return windowSet_.Snap(IndexOf(window), proposed, keepPosition, Options().snapping != 0);
}

void CFloatingWindowSet::FloatingActivated(FloatingWindow window) {
    windowSet_.BringToFront(IndexOf(window));
}

void CFloatingWindowSet::FloatingClosed(FloatingWindow window) {
    windowSet_.SetShown(IndexOf(window), false);
}

int CFloatingWindowSet::Language() const {
    return Options().UiLanguage();
}

bool CFloatingWindowSet::PianoKey(bool down, int virtualKey, bool repeat) {
    auto* keyboard = dynamic_cast<CKeyboardDlg*>(&Window(FloatingWindow::Keyboard));
    if (keyboard == nullptr || keyboard->Keyboard().Handle() == nullptr) {
        return false;
    }
    return keyboard->Keyboard().PlayPcKey(down, virtualKey, repeat);
}

void CFloatingWindowSet::PianoKeysLost() {
    auto* keyboard = dynamic_cast<CKeyboardDlg*>(&Window(FloatingWindow::Keyboard));
    if (keyboard != nullptr && keyboard->Keyboard().Handle() != nullptr) {
        keyboard->Keyboard().ReleasePcKeys();
    }
}

}  // namespace melvora

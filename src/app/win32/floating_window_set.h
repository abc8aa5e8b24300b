#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "app/floating_window.h"
#include "app/floating_window_owner.h"
#include "app/window_set.h"
#include "app/window_set_host.h"
#include "settings/settings_listener.h"

namespace melvora {

class CFloatingFrameDlg;
class CWnd;

// The five floating windows and the main controls window kept together on the screen: owns
// the floating windows (one per entry of the descriptor table), carries out what the window
// set decides on their rectangles, and answers the floating windows' moves, activations and
// closes. The main controls window owns one and forwards its own moves, sizes and activation.
class CFloatingWindowSet : public WindowSetHost, public FloatingWindowOwner {
  public:
    // Makes the window of one descriptor (the windows with views of their own are classes
    // derived from the frame); an empty maker, or one that returns null, gives a plain frame.
    using WindowMaker = std::function<std::unique_ptr<CFloatingFrameDlg>(
        const FloatingWindowDescriptor& descriptor, FloatingWindowOwner& owner)>;

    // `main` is the main controls window; its handle is read when needed.
    explicit CFloatingWindowSet(const CWnd& main, const WindowMaker& make = WindowMaker());
    ~CFloatingWindowSet() override;

    WindowSet& Windows() { return windowSet_; }
    const WindowSet& Windows() const { return windowSet_; }
    CFloatingFrameDlg& Window(FloatingWindow window);

    // Creates every floating window hidden, owned by `owner`, places the set on the start-up
    // strip and shows the windows whose shown flag is set, without activating them.
    void CreateAndPlace(HWND owner);
    // Shows or hides `window` (View menu); a window shown again speaks `language`.
    void Toggle(FloatingWindow window, int language);
    // Texts of every shown floating window in `language`.
    void ApplyLanguage(int language);
    // Hands a changed setting to every floating window.
    void SettingsChanged(SettingsChange change);
    // Enables or disables every floating window (while a modal window is open).
    void EnableAll(bool enable);
    // Tells every floating window's shown flag (for the View menu's checks).
    std::array<bool, kFloatingWindowCount> ShownFlags() const;

    // The main window moved, was minimised or restored, or was activated.
    void MainMoved();
    void MainSized(bool minimised, bool restored);
    void MainActivated();

    // The running exercise window (null: none). While it is set the window set treats it
    // as the main window; its moves drag the windows stuck to it.
    void SetExerciseWindow(const CWnd* window);
    void ExerciseMoved();

    // Destroys the floating windows (the program ends).
    void DestroyAll();

    // WindowSetHost
    bool HasWindow(int windowId) const override;
    ScreenRect WindowRect(int windowId) const override;
    void PlaceWindow(int windowId, const ScreenRect& rect) override;
    void OffsetWindow(int windowId, int dxPixels, int dyPixels) override;
    void ShowWindow(int windowId, bool show, bool activate) override;
    void PlaceBehind(int windowId, int afterWindowId) override;

    // FloatingWindowOwner
    WindowSet::Position FloatingMoving(FloatingWindow window, const WindowSet::Position& proposed,
                                       bool keepPosition) override;
    void FloatingActivated(FloatingWindow window) override;
    void FloatingClosed(FloatingWindow window) override;
    int Language() const override;
    bool PianoKey(bool down, int virtualKey, bool repeat) override;
    void PianoKeysLost() override;

  private:
    HWND HandleOf(int windowId) const;

    const CWnd& main_;
    const CWnd* exercise_ = nullptr;
    WindowSet windowSet_;
    std::array<std::unique_ptr<CFloatingFrameDlg>, kFloatingWindowCount> floating_;
    bool minimised_ = false;
};

}  // namespace melvora

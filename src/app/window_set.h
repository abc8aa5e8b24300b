#pragma once

#include <array>

#include "app/screen_rect.h"
#include "app/stuck_matrix.h"
#include "app/window_set_host.h"

namespace melvora {

// The main controls window and its five floating windows kept together on the screen:
// start-up placement, snapping, docking, activation order, minimise and restore, and the
// shown flags of the View menu. Works on rectangles only; the windows are reached through
// the host. The snapping and docking settings are passed in by the caller at each call.
class WindowSet {
  public:
    static constexpr int kFloatingCount = 5;
    // Snap distances: near windows jump together, or, with snapping off, only exact contact
    // counts.
    static constexpr int kSnapDistancePixels = 10;
    static constexpr int kExactSnapDistancePixels = 1;

    // A proposed or adjusted window position.
    struct Position {
        int x = 0;
        int y = 0;
        int widthPixels = 0;
        int heightPixels = 0;
    };

    explicit WindowSet(WindowSetHost& host);

    const StuckMatrix& Stuck() const { return stuck_; }
    StuckMatrix& Stuck() { return stuck_; }

    // Shown flags of the floating windows; all set at construction. Out-of-range indices
    // read as not shown and are ignored.
    bool IsShown(int index) const;
    void SetShown(int index, bool shown);

    // While an exercise runs its window takes the main window's place as snap target.
    bool ExerciseRunning() const { return exerciseRunning_; }
    void SetExerciseRunning(bool running) { exerciseRunning_ = running; }

    // Places the windows on the start-up strip (`stripWidthPixels` wide from the screen's top
    // left corner) from the current sizes of the main window, the media player and the volume
    // window, main window first. Missing windows are skipped.
    void PlaceAtStart(int stripWidthPixels);

    // A floating window `index` is about to move to `proposed`. Returns the adjusted
    // position and updates the stuck matrix. `keepPosition` is the no-move case, which is left
    // alone; `snapping` selects the 10-pixel distance over exact contact.
    Position Snap(int index, const Position& proposed, bool keepPosition, bool snapping);

    // The main window (or the exercise window in its place) moved to `newRect`. Moves the
    // floating windows stuck to it, directly or through a chain, by the same offset when
    // `docking` is set. Nothing happens while the window is minimised.
    void Dock(const ScreenRect& newRect, bool minimised, bool docking);

    // The last rectangle seen by Dock; the next offset is measured from it.
    const ScreenRect& RememberedRect() const { return rememberedRect_; }
    void SetRememberedRect(const ScreenRect& rect) { rememberedRect_ = rect; }

    // Floating window `index` was activated: it becomes element 0 of the activation order.
    void BringToFront(int index);
    // The activation order, most recently activated first.
    const std::array<int, kFloatingCount>& ActivationOrder() const { return activationOrder_; }
    // The main window was activated: stacks the floating windows right behind it, in their
    // activation order.
    void StackBehindMain();

    // The main window was minimised (hide the shown floating windows) or restored (show them
    // again). The shown flags do not change.
    void MainMinimised(bool minimised);

    // Flips the shown flag of floating window `index` and shows or hides it.
    void ToggleWindow(int index);

  private:
    bool SnapTargetExists(int slot) const;
    int WindowIdOfSlot(int slot) const;

    WindowSetHost& host_;
    StuckMatrix stuck_;
    std::array<bool, kFloatingCount> shown_{};
    std::array<int, kFloatingCount> activationOrder_{};
    ScreenRect rememberedRect_{};
    bool exerciseRunning_ = false;
};

}  // namespace melvora

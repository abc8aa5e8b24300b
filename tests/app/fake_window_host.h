#pragma once

#include <array>
#include <utility>
#include <vector>

#include "app/window_set.h"
#include "app/window_set_host.h"

namespace melvora {

// Windows on an imaginary screen that behave like the system's: a placed floating window
// passes through the window set's snapping first, a moved main window docks its chain.
class FakeWindowHost : public WindowSetHost {
  public:
    static constexpr int kIdCount = 7;

    FakeWindowHost() {
        exists.fill(true);
        exists[kExerciseWindow] = false;
        visible.fill(true);
    }

    void Attach(WindowSet* set) { windowSet = set; }

    bool HasWindow(int windowId) const override {
        return windowId >= 0 && windowId < kIdCount && exists[windowId];
    }
    ScreenRect WindowRect(int windowId) const override { return rects[windowId]; }

    void PlaceWindow(int windowId, const ScreenRect& rect) override {
        if (windowId < WindowSet::kFloatingCount && windowSet != nullptr) {
            WindowSet::Position p{rect.left, rect.top, rect.Width(), rect.Height()};
            p = windowSet->Snap(windowId, p, false, snapping);
            rects[windowId] = ScreenRect::FromPosition(p.x, p.y, p.widthPixels, p.heightPixels);
            return;
        }
        rects[windowId] = rect;
        if (windowId == kMainWindow && windowSet != nullptr) {
            windowSet->Dock(rect, false, docking);
        }
    }

    void OffsetWindow(int windowId, int dxPixels, int dyPixels) override {
        ScreenRect& r = rects[windowId];
        r = ScreenRect::FromPosition(r.left + dxPixels, r.top + dyPixels, r.Width(), r.Height());
    }

    void ShowWindow(int windowId, bool show, bool activate) override {
        showCalls.push_back({windowId, show});
        activations.push_back(activate);
        visible[windowId] = show;
    }

    void PlaceBehind(int windowId, int afterWindowId) override {
        zOrder.push_back({windowId, afterWindowId});
    }

    // A user drag of window `windowId` to (x, y), keeping its size.
    void Drag(int windowId, int x, int y) {
        const ScreenRect& r = rects[windowId];
        PlaceWindow(windowId, ScreenRect::FromPosition(x, y, r.Width(), r.Height()));
    }
    void DragMain(int x, int y) { Drag(kMainWindow, x, y); }

    WindowSet* windowSet = nullptr;
    bool snapping = true;
    bool docking = true;
    std::array<bool, kIdCount> exists{};
    std::array<bool, kIdCount> visible{};
    std::array<ScreenRect, kIdCount> rects{};
    std::vector<std::pair<int, bool>> showCalls;
    std::vector<bool> activations;
    std::vector<std::pair<int, int>> zOrder;
};

}  // namespace melvora

#include "app/window_set.h"

#include <cstdlib>

#include "app/window_layout.h"

namespace melvora {

namespace {

bool ValidIndex(int index) {
    return index >= 0 && index < WindowSet::kFloatingCount;
}

}  // namespace

WindowSet::WindowSet(WindowSetHost& host) : host_(host) {
    shown_.fill(true);
    for (int i = 0; i < kFloatingCount; ++i) {
        activationOrder_[i] = i;
    }
}

bool WindowSet::IsShown(int index) const {
    return ValidIndex(index) && shown_[index];
}

void WindowSet::SetShown(int index, bool shown) {
    if (ValidIndex(index)) {
        shown_[index] = shown;
    }
}

int WindowSet::WindowIdOfSlot(int slot) const {
    if (slot == StuckMatrix::kMainSlot) {
        return exerciseRunning_ ? WindowSetHost::kExerciseWindow : WindowSetHost::kMainWindow;
    }
    return slot;
}

bool WindowSet::SnapTargetExists(int slot) const {
    if (slot != StuckMatrix::kMainSlot && !shown_[slot]) {
        return false;
    }
    return host_.HasWindow(WindowIdOfSlot(slot));
}

void WindowSet::PlaceAtStart(int stripWidthPixels) {
    const int main = WindowSetHost::kMainWindow;
    const int player = 1;
    const int volume = 4;
    const ScreenRect none{};
    const ScreenRect mainRect = host_.HasWindow(main) ? host_.WindowRect(main) : none;
    const ScreenRect playerRect = host_.HasWindow(player) ? host_.WindowRect(player) : none;
    const ScreenRect volumeRect = host_.HasWindow(volume) ? host_.WindowRect(volume) : none;
    const std::array<ScreenRect, 6> slots =
        WindowLayout::Strip(mainRect, playerRect, volumeRect, stripWidthPixels);
    // The order matters for the stuck matrix: each window is compared with the ones already
    // in place, and every pair is settled when the later of the two arrives.
    const int order[] = {main, player, volume, 0, 3, 2};
    for (int id : order) {
        if (host_.HasWindow(id)) {
            host_.PlaceWindow(id, slots[id]);
        }
    }
}

WindowSet::Position WindowSet::Snap(int index, const Position& proposed, bool keepPosition,
                                    bool snapping) {
    if (keepPosition || !ValidIndex(index)) {
        return proposed;
    }
    const int d = snapping ? kSnapDistancePixels : kExactSnapDistancePixels;
    Position p = proposed;
    const int w = p.widthPixels;
    const int h = p.heightPixels;
    for (int j = 0; j < StuckMatrix::kSlotCount; ++j) {
        if (j == index) {
            stuck_.SetSelf(index);
            continue;
        }
        if (!SnapTargetExists(j)) {
            stuck_.SetStuck(index, j, false);
            continue;
        }
        const ScreenRect r = host_.WindowRect(WindowIdOfSlot(j));
        bool matched = false;
        // Each test sees the position as adjusted by the tests before it.
        if (std::abs(r.left - w - p.x) < d && p.y <= r.bottom && p.y + h >= r.top) {
            p.x = r.left - w;
            matched = true;
        }
        if (std::abs(p.x - r.right) < d && p.y <= r.bottom && p.y + h >= r.top) {
            p.x = r.right;
            matched = true;
        }
        if (std::abs(p.y - r.bottom) < d && p.x + w >= r.left && p.x <= r.right) {
            p.y = r.bottom;
            matched = true;
        }
        if (std::abs(r.top - h - p.y) < d && p.x + w >= r.left && p.x <= r.right) {
            p.y = r.top - h;
            matched = true;
        }
        stuck_.SetStuck(index, j, matched);
    }
    return p;
}

void WindowSet::Dock(const ScreenRect& newRect, bool minimised, bool docking) {
    if (minimised) {
        return;
    }
    const int dx = newRect.left - rememberedRect_.left;
    const int dy = newRect.top - rememberedRect_.top;
    rememberedRect_ = newRect;
    if (!docking || (dx == 0 && dy == 0)) {
        return;
    }
    const unsigned chained = stuck_.ChainedToMain();
    for (int i = 0; i < kFloatingCount; ++i) {
        if ((chained & (1u << i)) != 0 && host_.HasWindow(i)) {
            host_.OffsetWindow(i, dx, dy);
        }
    }
}

void WindowSet::BringToFront(int index) {
    if (!ValidIndex(index)) {
        return;
    }
    int at = 0;
    while (at < kFloatingCount && activationOrder_[at] != index) {
        ++at;
    }
    if (at == kFloatingCount) {
        return;
    }
    for (; at > 0; --at) {
        activationOrder_[at] = activationOrder_[at - 1];
    }
    activationOrder_[0] = index;
}

void WindowSet::StackBehindMain() {
    int previous = WindowSetHost::kMainWindow;
    for (int index : activationOrder_) {
        if (!host_.HasWindow(index)) {
            continue;
        }
        host_.PlaceBehind(index, previous);
        previous = index;
    }
}

void WindowSet::MainMinimised(bool minimised) {
    for (int i = 0; i < kFloatingCount; ++i) {
        if (shown_[i] && host_.HasWindow(i)) {
            host_.ShowWindow(i, !minimised, false);
        }
    }
}

void WindowSet::ToggleWindow(int index) {
    if (!ValidIndex(index)) {
        return;
    }
    shown_[index] = !shown_[index];
    if (host_.HasWindow(index)) {
        host_.ShowWindow(index, shown_[index], true);
    }
}

}  // namespace melvora

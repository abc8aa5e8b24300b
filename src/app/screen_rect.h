#pragma once

namespace melvora {

// A window's rectangle in screen pixels; right and bottom lie just outside the window, as in
// the system's own rectangles.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }

    static ScreenRect FromPosition(int x, int y, int widthPixels, int heightPixels) {
        return ScreenRect{x, y, x + widthPixels, y + heightPixels};
    }

    bool operator==(const ScreenRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
    bool operator!=(const ScreenRect& other) const { return !(*this == other); }
};

}  // namespace melvora

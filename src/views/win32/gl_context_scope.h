#pragma once

#include <windows.h>

namespace melvora {

// Makes a rendering context current on a device context for one scope and releases it at
// the end, so no return path leaves a context current between messages.
class CGLContextScope {
  public:
    CGLContextScope(HDC dc, HGLRC context)
        : current_(dc != nullptr && context != nullptr && ::wglMakeCurrent(dc, context) != FALSE) {}
    ~CGLContextScope() {
        if (current_) {
            ::wglMakeCurrent(nullptr, nullptr);
        }
    }
    CGLContextScope(const CGLContextScope&) = delete;
    CGLContextScope& operator=(const CGLContextScope&) = delete;

    // False when the context could not be made current (GetLastError says why).
    bool IsCurrent() const { return current_; }

  private:
    bool current_;
};

}  // namespace melvora

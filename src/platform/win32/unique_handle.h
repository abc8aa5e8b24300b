#pragma once

#include <windows.h>

namespace melvora {

// Owns one handle and frees it with `Traits::Free` when it goes out of scope or is replaced;
// moves, never copies.
template <typename Handle, typename Traits>
class CUniqueHandle {
  public:
    CUniqueHandle() = default;
    explicit CUniqueHandle(Handle handle) : handle_(handle) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(CUniqueHandle&& other) noexcept : handle_(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            Traits::Free(handle_);
        }
        handle_ = handle;
    }
    Handle Release() {
        Handle h = handle_;
        handle_ = nullptr;
        return h;
    }

  private:
    Handle handle_ = nullptr;
};

struct MenuTraits {
    static void Free(HMENU menu) { ::DestroyMenu(menu); }
};
struct IconTraits {
    static void Free(HICON icon) { ::DestroyIcon(icon); }
};
struct KernelHandleTraits {
    static void Free(HANDLE handle) { ::CloseHandle(handle); }
};
struct GdiObjectTraits {
    static void Free(HGDIOBJ object) { ::DeleteObject(object); }
};

// A menu loaded or created by the program (not one attached to a window, which the window
// destroys).
using CMenuHandle = CUniqueHandle<HMENU, MenuTraits>;
// An icon loaded with LoadImage without LR_SHARED, or created.
using CIconHandle = CUniqueHandle<HICON, IconTraits>;
// A thread, event or file handle (null when there is none).
using CKernelHandle = CUniqueHandle<HANDLE, KernelHandleTraits>;
// A GDI object (bitmap, font, brush, pen) the program created, deleted with DeleteObject.
template <typename Handle>
using CGdiObject = CUniqueHandle<Handle, GdiObjectTraits>;
using CBitmapHandle = CGdiObject<HBITMAP>;
using CFontHandle = CGdiObject<HFONT>;
using CBrushHandle = CGdiObject<HBRUSH>;

}  // namespace melvora

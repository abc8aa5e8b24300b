#include "win32/shot.h"

#include <cstdio>

#include "views/win32/open_gl_wnd.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace guitest {
namespace {

std::string g_folder;

std::string Folder() {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"MELVORA_SHOTS", value, MAX_PATH);
    return !g_folder.empty() ? g_folder
                             : (length > 0 && length < MAX_PATH ? WideToUtf8(value) : "");
}

FILE* OpenIn(const std::string& name, const wchar_t* mode) {
    return _wfopen(Utf8ToWide(Folder() + "\\" + name).c_str(), mode);
}

}  // namespace

void SetShotFolder(const std::string& folder) {
    g_folder = folder;
}

bool ShotsWanted() {
    return !Folder().empty();
}

bool TakeShot(HWND window, const std::string& name, COpenGLWnd* view) {
    if (name.empty() || !ShotsWanted()) {
        return false;
    }
    PumpMessages(500);  // the last drawing reaches the screen
    const RECT r = ScreenRectOf(window);
    FILE* f = nullptr;
    if ((view != nullptr && !SaveFrame(*view, name + ".view", window)) ||
        (f = OpenIn(name + ".tmp", L"w")) == nullptr) {
        return false;
    }
    std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(f);
    const std::wstring base = Utf8ToWide(Folder() + "\\" + name);
    ::MoveFileW((base + L".tmp").c_str(), (base + L".ready").c_str());
    return PumpUntil(
        [&] { return ::GetFileAttributesW((base + L".done").c_str()) != INVALID_FILE_ATTRIBUTES; },
        60000);
}

bool SaveFrame(COpenGLWnd& view, const std::string& name, HWND window) {
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    FILE* f = nullptr;
    if (!view.CaptureFrame(&rgb, &width, &height) || rgb.empty() ||
        (f = OpenIn(name + ".ppm", L"wb")) == nullptr) {
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y) {
        std::fwrite(&rgb[static_cast<size_t>(y) * width * 3], 1, static_cast<size_t>(width) * 3, f);
    }
    std::fclose(f);
    if (window != nullptr) {
        const RECT outer = ScreenRectOf(window), inner = ScreenRectOf(view.Handle());
        if ((f = OpenIn(name + ".at", L"w")) == nullptr) {
            return false;
        }
        std::fprintf(f, "%ld %ld\n", inner.left - outer.left, inner.top - outer.top);
        std::fclose(f);
    }
    return true;
}

}  // namespace guitest
}  // namespace melvora

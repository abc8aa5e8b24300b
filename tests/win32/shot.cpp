#include "win32/shot.h"

#include <cstdio>

#include "platform/win32/resource_strings.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace guitest {

namespace {

std::wstring ShotFolder() {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"MELVORA_SHOTS", value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value) : std::wstring();
}

}  // namespace

bool ShotsWanted() {
    return !ShotFolder().empty();
}

bool TakeShot(HWND window, const std::string& name) {
    const std::wstring folder = ShotFolder();
    if (folder.empty()) {
        return false;
    }
    PumpMessages(500);
    RECT r = {};
    ::GetWindowRect(window, &r);
    const std::wstring base = folder + L"\\" + Utf8ToWide(name);
    const std::wstring temporary = base + L".tmp";
    FILE* f = _wfopen(temporary.c_str(), L"w");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(f);
    ::MoveFileW(temporary.c_str(), (base + L".ready").c_str());
    for (int waited = 0; waited < 30000; waited += 50) {
        if (::GetFileAttributesW((base + L".done").c_str()) != INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        PumpMessages(50);
    }
    return false;
}

}  // namespace guitest
}  // namespace melvora

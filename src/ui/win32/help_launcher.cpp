#include "ui/win32/help_launcher.h"

#include <atomic>
#include <mutex>

#include "platform/program_directory.h"
#include "platform/text_encoding.h"

namespace melvora {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
// The wide entry of the control (HtmlHelpA is 14): the program folder may hold letters
// outside the system code page.
constexpr WORD kHtmlHelpW = 15;
constexpr UINT kCloseAll = 0x12;  // HH_CLOSE_ALL

// Set by the first topic opened: closing needs no library that was never loaded.
std::atomic<bool> g_topicOpened{false};

HtmlHelpFunction Resolve() {
    static std::once_flag once;
    static HtmlHelpFunction function = nullptr;
    std::call_once(once, []() {
        HMODULE library = nullptr;
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT,
                            "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", 0,
                            KEY_READ, &key) == ERROR_SUCCESS) {
            char path[260] = {};
            DWORD size = sizeof(path) - 1;
            DWORD type = 0;
            if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path),
                                   &size) == ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ)) {
                char expanded[260] = {};
                if (type == REG_EXPAND_SZ &&
                    ::ExpandEnvironmentStringsA(path, expanded, sizeof(expanded)) > 0) {
                    library = ::LoadLibraryA(expanded);
                } else {
                    library = ::LoadLibraryA(path);
                }
            }
            ::RegCloseKey(key);
        }
        if (library == nullptr) {
            library = ::LoadLibraryA("hhctrl.ocx");
        }
        if (library != nullptr) {
            function = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void*>(::GetProcAddress(library, MAKEINTRESOURCEA(kHtmlHelpW))));
        }
    });
    return function;
}

}  // namespace

std::string HelpTopicPath(const std::string& topic) {
    return ProgramDirectory() + topic;
}

bool HtmlHelpAvailable() {
    return Resolve() != nullptr;
}

HWND OpenHelpTopic(HWND caller, const std::string& topic) {
    HtmlHelpFunction function = Resolve();
    if (function == nullptr) {
        return nullptr;
    }
    const std::wstring path = Utf8ToWide(HelpTopicPath(topic));
    g_topicOpened.store(true);
    return function(caller, path.c_str(), kDisplayTopic, 0);
}

void CloseAllHelpWindows() {
    if (!g_topicOpened.load()) {
        return;
    }
    if (HtmlHelpFunction function = Resolve()) {
        function(nullptr, nullptr, kCloseAll, 0);
    }
}

}  // namespace melvora

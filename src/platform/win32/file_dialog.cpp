#include "platform/win32/file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace melvora {

bool ShowFileDialog(bool open, HWND owner, const std::wstring& defaultExtension,
                    const std::wstring& filter, DWORD flags, std::wstring* path) {
    // The API wants the parts separated by NULs and the list ended by two.
    std::wstring filterList = filter;
    for (wchar_t& c : filterList) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    filterList.push_back(L'\0');
    std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filterList.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    ofn.Flags = flags | OFN_EXPLORER;
    BOOL ok = open ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (!ok) {
        return false;
    }
    *path = file.data();
    return true;
}

}  // namespace melvora

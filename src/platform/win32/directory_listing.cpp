#include "platform/win32/directory_listing.h"

#include <windows.h>

namespace melvora {

std::vector<std::wstring> ListDirectory(const std::wstring& pattern, bool folders) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        std::wstring name = data.cFileName;
        bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name == L"." || name == L".." || isFolder != folders) {
            continue;
        }
        names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

}  // namespace melvora

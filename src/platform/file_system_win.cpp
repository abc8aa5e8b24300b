// The wide C runtime calls behind the UTF-8 file functions (no window API needed).
#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include <cwctype>

#include "platform/file_system.h"
#include "platform/text_encoding.h"

namespace melvora {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
}

bool MoveFileTo(const std::string& from, const std::string& to) {
    return _wrename(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str()) == 0;
}

bool DeleteFileAt(const std::string& path) {
    return _wremove(Utf8ToWide(path).c_str()) == 0;
}

bool PathExists(const std::string& path) {
    return _waccess(Utf8ToWide(path).c_str(), 0) == 0;
}

bool MakeDirectory(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    if (_wmkdir(wide.c_str()) == 0) {
        return true;
    }
    struct _stat64 info = {};
    return _wstat64(wide.c_str(), &info) == 0 && (info.st_mode & _S_IFDIR) != 0;
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::wstring pattern = Utf8ToWide(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';
    struct _wfinddata64_t entry = {};
    const intptr_t find = _wfindfirst64(pattern.c_str(), &entry);
    if (find == -1) {
        return names;
    }
    do {
        if ((entry.attrib & _A_SUBDIR) == 0) {
            names.push_back(WideToUtf8(entry.name));
        }
    } while (_wfindnext64(find, &entry) == 0);
    _findclose(find);
    return names;
}

bool SamePath(const std::string& a, const std::string& b) {
    // Windows file names ignore case and accept either separator.
    const std::wstring wa = Utf8ToWide(a);
    const std::wstring wb = Utf8ToWide(b);
    if (wa.size() != wb.size()) {
        return false;
    }
    for (size_t i = 0; i < wa.size(); ++i) {
        const wchar_t ca = wa[i] == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(wa[i]));
        const wchar_t cb = wb[i] == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(wb[i]));
        if (ca != cb) {
            return false;
        }
    }
    return true;
}

}  // namespace melvora

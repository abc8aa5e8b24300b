// The running program's own path from the wide API: the ANSI one turns letters outside the
// system code page into '?', and no file beside the program could then be opened.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/text_encoding.h"

namespace melvora {

std::string SystemProgramPath() {
    // Paths may be longer than MAX_PATH; the buffer grows until the whole path fits.
    std::vector<wchar_t> path(MAX_PATH + 1);
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) {
            return std::string();
        }
        if (length < size) {
            return WideToUtf8(std::wstring(path.data(), length));
        }
        if (path.size() >= 32768) {
            return std::string();
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace melvora

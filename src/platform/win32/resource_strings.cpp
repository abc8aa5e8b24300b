#include "platform/win32/resource_strings.h"

#include "platform/string_table.h"

namespace melvora {

std::wstring LoadResourceString(HINSTANCE module, UINT id) {
    wchar_t buffer[257] = {};
    int length = ::LoadStringW(module, id, buffer, 257);
    if (length <= 0) {
        return std::wstring();
    }
    return std::wstring(buffer, static_cast<size_t>(length));
}

void InstallResourceStringProvider(HINSTANCE module) {
    HINSTANCE source = module != nullptr ? module : ::GetModuleHandleW(nullptr);
    SetStringProvider([source](int tableEntry) {
        if (tableEntry < 0 || tableEntry > 0xFFFF) {
            return std::wstring();
        }
        return LoadResourceString(source, static_cast<UINT>(tableEntry));
    });
}

}  // namespace melvora

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

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0],
                          length);
    return result;
}

std::string WideToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0],
                          length, nullptr, nullptr);
    return result;
}

}  // namespace melvora

#pragma once

#include <windows.h>

#include <string>

namespace melvora {

// Text of string table entry `id` in the module's resources, at most 256 characters; empty
// when the entry does not exist.
std::wstring LoadResourceString(HINSTANCE module, UINT id);

// Makes LoadText() read the string table of `module` (the running program when null).
void InstallResourceStringProvider(HINSTANCE module = nullptr);

// UTF-8 and UTF-16 conversions for paths and texts crossing into the portable core.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

}  // namespace melvora

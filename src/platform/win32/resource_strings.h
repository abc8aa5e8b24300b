#pragma once

#include <windows.h>

#include <string>

#include "platform/text_encoding.h"

namespace melvora {

// Text of string table entry `id` in the module's resources, at most 256 characters; empty
// when the entry does not exist.
std::wstring LoadResourceString(HINSTANCE module, UINT id);

// Makes LoadText() read the string table of `module` (the running program when null).
void InstallResourceStringProvider(HINSTANCE module = nullptr);

}  // namespace melvora

#pragma once

#include <string>

namespace melvora {

// Exercise files hold 8-bit texts. Ours are UTF-8; a file written in a single-byte code page
// is not valid UTF-8 and is read as Latin-1 instead, so no text is ever lost to a decoder
// error. Line breaks stay "\n".
std::wstring ExerciseTextToWide(const std::string& text);

// A string-table format written with "%s" made ready for the wide printf family, which wants
// "%ls" for a wide string on every runtime.
std::wstring WideStringFormat(std::wstring format);

}  // namespace melvora

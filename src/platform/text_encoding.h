#pragma once

#include <string>

namespace melvora {

// The one place where text changes encoding. Paths and texts inside the program are UTF-8;
// the system's wide functions take UTF-16 (wchar_t is 16 bits on Windows, 32 elsewhere, and
// the conversions follow the width of wchar_t).

// UTF-8 to wide text. Bytes that are not valid UTF-8 (stray continuation bytes, cut-off or
// overlong sequences, surrogates, code points above U+10FFFF) each become U+FFFD.
std::wstring Utf8ToWide(const std::string& text);
// Wide text to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string WideToUtf8(const std::wstring& text);

// True when `text` is well-formed UTF-8 (plain ASCII is).
bool IsValidUtf8(const std::string& text);

// Windows-1254 (Turkish) bytes to UTF-8. The seven bytes that code page leaves undefined
// (0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E) map to the C1 control of the same value.
std::string Windows1254ToUtf8(const std::string& bytes);

// An 8-bit string read from one of the program's own files (options.dat, unfinished.dat):
// the program writes UTF-8, so valid UTF-8 is taken as it is; anything else was written by
// an older build through the system's ANSI functions, which on the Turkish and Western
// systems this program serves means Windows-1254 (it differs from Windows-1252 in six
// letters only, all of them Turkish), and is converted from that.
std::string StoredTextToUtf8(const std::string& bytes);

}  // namespace melvora

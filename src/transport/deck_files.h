#pragma once

#include <string>

namespace melvora {

// File chores of the deck on UTF-8 paths (wide paths on Windows), without the window API.

// Copies `from` over `to`, replacing an existing `to`. A copy onto the same path, or one that
// fails part way, fails; a partly written target is removed.
bool CopyFileOverwriting(const std::string& from, const std::string& to);
// Whether two paths name the same file as the system compares names (on Windows: case and
// separator ignored).
bool SamePath(const std::string& a, const std::string& b);
// Removes a file; false when it could not be removed (or did not exist).
bool DeleteFileAt(const std::string& path);
// UTF-8 to wide text, for paths shown in messages (bad bytes become U+FFFD).
std::wstring WideFromUtf8(const std::string& text);

}  // namespace melvora

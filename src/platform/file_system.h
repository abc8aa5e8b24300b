#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace melvora {

// Files by UTF-8 path. On Windows every call goes through the wide (UTF-16) functions, so a
// path with letters outside the system's ANSI code page works; elsewhere the bytes are the
// path. Failures are returned, never thrown.

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// A C stream closed when it goes out of scope (a close whose result matters is done by hand:
// `std::fclose(file.release())`).
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// fopen by UTF-8 path with an fopen mode ("rb", "wb", "r+b"...); null when it failed.
[[nodiscard]] std::FILE* OpenFile(const std::string& path, const char* mode);

// Copies `from` over `to`, replacing an existing `to`. A copy onto the same path, or one that
// fails part way, fails; a partly written target is removed.
[[nodiscard]] bool CopyFileOverwriting(const std::string& from, const std::string& to);

// Renames or moves a file; fails when `to` exists.
[[nodiscard]] bool MoveFileTo(const std::string& from, const std::string& to);

// Removes a file; false when it could not be removed (or did not exist). Not [[nodiscard]]:
// removing a leftover that is already gone is no failure for most callers.
bool DeleteFileAt(const std::string& path);

// True when `path` names an existing file or folder.
bool PathExists(const std::string& path);

// Makes one folder; true when it exists afterwards (made now or before).
[[nodiscard]] bool MakeDirectory(const std::string& path);

// Names (not paths) of the plain files in `folder`, in the order the system gives them; empty
// when the folder is missing.
std::vector<std::string> ListFiles(const std::string& folder);

// True when the two paths name the same file by their text: on Windows case is ignored and
// either separator is accepted.
bool SamePath(const std::string& a, const std::string& b);

}  // namespace melvora
